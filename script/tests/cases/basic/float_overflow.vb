' A floating result beyond the range of a double is an error, in every form of the
' operation, not an infinity printed as "INF".
Dim d As Double, e As Double, v
d = 1e308
Try
  e = d * 10
  Print(e)
Catch
  Print("product")   ' expect: product
End Try
Try
  e = d + d
  Print(e)
Catch
  Print("sum")       ' expect: sum
End Try
Try
  d *= 10
  Print(d)
Catch
  Print("in place")  ' expect: in place
End Try
Try
  v = -d
  v = v - d
  Print(v)
Catch
  Print("variant")   ' expect: variant
End Try
Print(d / 2 * 1.5)   ' expect: 7,5E307
Print(d / 1e-10)     ' expect runtime error line 31: Floating point overflow
