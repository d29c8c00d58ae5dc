' A loaded line past the string cap is refused by every read that would hand
' it to the script whole, as every other string operation is.
Dim s, m, l, i
s = "x"
For i = 1 To 25
  s = s & s
Next
m = TMemoryStream.Create
m.Write("k=", 2)
m.Write(s, Length(s))
m.Write(s, Length(s))
m.Write("!", 1)
m.Position = 0
l = TStringList.Create
l.LoadFromStream(m)
m.Free
Print(l.Count)                     ' expect: 1
Print(l.Names[0])                  ' expect: k
Try
  s = l[0]
Catch
  Print("default refused")         ' expect: default refused
End Try
Try
  s = l.Values["k"]
Catch
  Print("value refused")           ' expect: value refused
End Try
Print(Length(l.Strings[0]))
' expect runtime error line 29: Строка слишком длинная: 67108867 символов (не более 67108864)
