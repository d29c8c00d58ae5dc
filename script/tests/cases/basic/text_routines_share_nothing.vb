' Insert and SetLength change their variable alone, whoever else holds the same text or
' array, and a call that fails leaves the variable as it was (Delete is a keyword here).
Dim s As String, x, y, a, b, i
s = "abc"
Insert(s, s, 2)
Print(s)                               ' expect: aabcbc
x = "abc"
y = x
Insert("-", x, 4)
Print(x & " " & y)                     ' expect: abc- abc
s = "abc"
Try
  SetLength(s, 2147483647)
Catch
  Print("refused")                     ' expect: refused
End Try
Print(s)                               ' expect: abc
a = VarArrayCreate([0, 2], varVariant)
a[0] = "p"
b = a
SetLength(a, 5)
a[4] = "q"
Print(IntToStr(Length(a)) & " " & IntToStr(Length(b)) & " " & b[0] & a[0] & a[4])  ' expect: 5 3 ppq
x = "abc"
For i = 1 To 3
  Insert(IntToStr(i), x, 1)
Next
Print(x)                               ' expect: 321abc
