' n calls of a host object's method; the answer is the total it kept.
Function Run(n As Integer) As Integer
  Dim i As Integer
  Counter.Clear()
  For i = 1 To n
    Counter.Add(i Mod 10)
  Next
  Return Counter.Total
End Function
