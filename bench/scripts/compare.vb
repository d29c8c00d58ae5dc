' Compares two texts of 1,001 characters that differ in the last one, n times with each of
' = <> < >, as a report script compares a memo's text with a remembered one. The answer
' counts the comparisons that hold.
Function Run(n As Integer) As Integer
  Dim i As Integer, c As Integer, a As String, b As String
  a = ""
  For i = 1 To 100
    a = a & "абвгд ЕЖЗИ"
  Next
  b = a & "б"
  a = a & "а"
  c = 0
  For i = 1 To n
    If a = b Then
      c = c + 1
    End If
    If a <> b Then
      c = c + 1
    End If
    If a < b Then
      c = c + 1
    End If
    If a > b Then
      c = c + 1
    End If
  Next
  Return c
End Function
