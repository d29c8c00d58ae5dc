' s = s & a & b ...: every join of a chain that starts at the target appends in place,
' with the results, the order and the errors of the joins as written.
Dim i, z, s As String, t As String, v, w
s = ""
For i = 1 To 3
  s = s & ", " & i
Next
Print(s)               ' expect: , 1, 2, 3
t = s
s = s & "!" + "?"
Print(t)               ' expect: , 1, 2, 3
Print(s)               ' expect: , 1, 2, 3!?
s = "a"
z = 0
Try
  s = s & "x" & (1 \ z)
Catch
  Print("caught")      ' expect: caught
End Try
Print(s)               ' expect: a
v = "1"
w = v + "2" + 3
v = v + "2" + 3
Print(v)               ' expect: 15
Print(v = w)           ' expect: True
