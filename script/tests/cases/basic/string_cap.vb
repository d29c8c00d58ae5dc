' Strings have a size cap, as arrays do: going past it is a run-time error.
s = "ab"
SetLength(s, 35000000)
Try
  s = s & s
Catch
  Print("refused")              ' expect: refused
End Try
SetLength(s, 2000000000)        ' expect runtime error line 9: Строка слишком длинная: 2000000000 символов (не более 67108864)
