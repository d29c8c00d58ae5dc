' Walks a text of n characters one at a time, as a report script reads a long memo: per
' step Length, a character by index, Copy of one character and Ord. The answer counts
' the blanks.
Function Run(n As Integer) As Integer
  Dim i As Integer, c As Integer, s As String
  s = ""
  While Length(s) < n
    s = s & "abcd efgh "
  Wend
  c = 0
  i = 1
  While i <= Length(s)
    If (s[i] = " ") And (Copy(s, i, 1) = " ") And (Ord(s[i]) = 32) Then
      c = c + 1
    End If
    i = i + 1
  Wend
  Return c
End Function
