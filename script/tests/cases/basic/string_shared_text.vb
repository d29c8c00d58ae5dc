' A String variable shares its text with what is read from it (another variable, an
' argument, Length, Copy, Pos, Ord): changing either afterwards, a character at a time
' or by appending, leaves the other as it was, and a recursive call's String locals
' are back as they were when it returns.
Dim s As String, t As String, c As String, i
Function Swap
  s = "zzz"
  Return 1
End Function
Function Mark(k, acc)
  Dim local As String
  local = acc
  If k > 0 Then
    local[1] = Chr(Ord("0") + k)
    Mark(k - 1, local)
  End If
  Return local
End Function
Sub Prefix(ByRef x As String)
  Insert("-", x, 1)
End Sub
s = "abcdef"
t = s
s[1] = "X"
Print(s & " " & t)                ' expect: Xbcdef abcdef
t[2] = "Y"
Print(s & " " & t)                ' expect: Xbcdef aYcdef
t = s
s = s & "!"
Print(s & " " & t)                ' expect: Xbcdef! Xbcdef
t = s
Prefix(s)
Print(s & " " & t)                ' expect: -Xbcdef! Xbcdef!
Print(Length(s) * 10 + Pos("f", s))  ' expect: 87
Print(Copy(s, 2, 3) & IntToStr(Ord(s[8])))  ' expect: Xbc33
c = s[2]
s[2] = "Q"
Print(c & s)                      ' expect: X-Qbcdef!
s = "abc"
Print(s[Swap] & s)                ' expect: zzzz
s = "abc"
Print(Mark(3, s) & " " & s)       ' expect: 3bc abc
t = ""
For i = 1 To Length(s)
  t = t & Copy(s, Length(s) - i + 1, 1)
Next
Print(t)                          ' expect: cba
