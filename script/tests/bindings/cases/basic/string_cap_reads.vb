' Texts read out of a stream or a list are script strings: past the string cap
' they are refused with the engine's error, before the memory is taken.
Dim s, m, l, i
s = "x"
For i = 1 To 25
  s = s & s
Next
m = TMemoryStream.Create
m.Write(s, Length(s))
m.Write(s, Length(s))
m.Write("!", 1)
m.Position = 0
Try
  m.Read(s, m.Size)
Catch
  Print("refused")                 ' expect: refused
End Try
Print(m.Position)                  ' expect: 0
l = TStringList.Create
l.Add("a")
l.Add(s)
l.Add(s)
Print(l.Count)                     ' expect: 3
Print(Length(l.Text))
' expect runtime error line 24: Строка слишком длинная: 67108871 символов (не более 67108864)
