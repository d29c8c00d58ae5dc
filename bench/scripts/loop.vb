' Sum of i mod 7 for i = 1..n.
Function Run(n As Integer) As Integer
  Dim i As Integer, s As Integer
  s = 0
  For i = 1 To n
    s = s + i Mod 7
  Next
  Return s
End Function
