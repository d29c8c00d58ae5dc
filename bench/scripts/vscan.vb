' Walks a text of n characters held in a Variant one at a time, as a script reads and
' mends a memo's text: per step a character read by index and, for a blank, one written
' by index. The answer counts the blanks.
Function Run(n As Integer) As Integer
  Dim i As Integer, c As Integer, x
  x = ""
  While Length(x) < n
    x = x & "abcd efgh "
  Wend
  c = 0
  For i = 1 To Length(x)
    If x[i] = " " Then
      x[i] = "_"
      c = c + 1
    End If
  Next
  If Pos(" ", x) > 0 Then
    c = -1
  End If
  Return c
End Function
