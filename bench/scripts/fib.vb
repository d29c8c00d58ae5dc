' The n-th Fibonacci number, computed by plain recursion.
Function Fib(n As Integer) As Integer
  If n < 2 Then Return n
  Return Fib(n - 1) + Fib(n - 2)
End Function
Function Run(n As Integer) As Integer
  Return Fib(n)
End Function
