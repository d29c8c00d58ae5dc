' Compares a text of 10,000 characters with a short one, n times with each of
' = <> < >, as a report script checks a memo's text against a value. The answer
' counts the comparisons that hold.
Function Run(n As Integer) As Integer
  Dim i As Integer, c As Integer, a As String, b As String
  a = ""
  For i = 1 To 1000
    a = a & "абвгд ЕЖЗИ"
  Next
  b = "б"
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
