Dim a[3], m[2, 2], i, sum
For i = 0 To 2
  a[i] = (i + 1) * (i + 1)
Next
sum = 0
For i = 0 To 2
  sum = sum + a[i]
Next
Print(sum)        ' expect: 14
m[1, 0] = 5
Print(m[1, 0])    ' expect: 5
Print(a[3])       ' expect runtime error line 12: Индекс массива 3 вне допустимых границ (0..2)
