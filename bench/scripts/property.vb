' n reads and n writes of a host object's published property; the answer is its last value.
Function Run(n As Integer) As Integer
  Dim i As Integer
  Counter.Value = 0
  For i = 1 To n
    Counter.Value = Counter.Value + i Mod 10
  Next
  Return Counter.Total
End Function
