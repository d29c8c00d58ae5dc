' Appends the decimal text of 1..n to one string; the answer is its length.
Function Run(n As Integer) As Integer
  Dim i As Integer, s As String
  s = ""
  For i = 1 To n
    s = s & IntToStr(i)
  Next
  Return Length(s)
End Function
