Dim a
Sub Inc2(ByRef x)
  x = x + 2
End Sub
Function Fact(n)
  If n <= 1 Then
    Return 1
  Else
    Return n * Fact(n - 1)
  End If
End Function
Function Fib(n)
  If n < 2 Then Return n
  Return Fib(n - 1) + Fib(n - 2)
End Function
Function Twice(n)
  Return Later(n) * 2
End Function
Function Later(n)
  Return n * n
End Function
Function Greet(Name As String, Greeting As String = "Hello") As String
  Return Greeting & ", " & Name
End Function
a = 1
Inc2(a)
Print(a)            ' expect: 3
Print(Fact(5))      ' expect: 120
Print(Fib(10))      ' expect: 55
Print(Twice(3))     ' expect: 18
Print(Greet("Ann")) ' expect: Hello, Ann
Print(Greet("Bob", "Hi"))  ' expect: Hi, Bob
