' n steps of a floating-point recurrence with + - * and /.
Function Run(n As Integer) As Double
  Dim i As Integer, x As Double
  x = 0.5
  For i = 1 To n
    x = x * 0.999 + i / 3.0 - 1.1
  Next
  Return x
End Function
