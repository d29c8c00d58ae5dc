' Arrays, types and initial values in a list are each name's own.
Dim a = 5, b, c[2], d[3], e As Integer = 7
Sub Split(x, y, ByRef sum, ByRef diff)
  sum = x + y
  diff = x - y
End Sub
Print(a + e)        ' expect: 12
c[1] = 1
d[2] = 2
Print(c[1] + d[2])  ' expect: 3
Split(7, 2, a, b)
Print(a)            ' expect: 9
Print(b)            ' expect: 5
Print(c[2])         ' expect runtime error line 14: Индекс массива 2 вне допустимых границ (0..1)
