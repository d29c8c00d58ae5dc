' Calls of script routines: what a recursive call saves and puts back, what an
' argument becomes in its parameter, and ByRef parameters written back, also when
' the call raises and is caught further out.
Dim g
Function Mix(n)
  Dim i, s, d
  i = n * 10
  d = n / 4
  s = "n" & n
  If n > 0 Then Mix(n - 1)
  Return "" & i & " " & d & " " & s
End Function
Sub Count(n, ByRef acc)
  If n = 0 Then Return
  acc = acc + n
  Count(n - 1, acc)
End Sub
Function Pair(a, b)
  If a = 0 Then Return b
  Return Pair(a - 1, a + b)
End Function
Function Half(x As Double) As Double
  Return x / 2
End Function
Function Inc1(n)
  Return n + 1
End Function
Function Deep(n)
  Dim k, r
  k = n * 100
  If n = 0 Then Return 1 \ n
  If n = 2 Then
    Try
      Deep(n - 1)
    Catch
      r = k + n
    End Try
    Return r
  End If
  Return Deep(n - 1) + k
End Function
Function IsOdd(n)
  If n = 0 Then Return False
  Return IsEven(n - 1)
End Function
Function IsEven(n)
  If n = 0 Then Return True
  Return IsOdd(n - 1)
End Function
Print(Mix(2))                 ' expect: 20 0,5 n2
g = 0
Count(100, g)
Print(g)                      ' expect: 5050
Print(Pair(3, 0))             ' expect: 6
Print(Half(3))                ' expect: 1,5
Print(Inc1(Inc1(Inc1(0))))    ' expect: 3
Print(Deep(3))                ' expect: 502
Print(IsEven(11))             ' expect: False
