' Joins ", " and the decimal text of i onto one string, i = 1..n; the answer is its length.
Function Run(n As Integer) As Integer
  Dim i As Integer, s As String
  s = ""
  For i = 1 To n
    s = s & ", " & i
  Next
  Return Length(s)
End Function
