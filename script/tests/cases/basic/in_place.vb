' Joining onto the variable itself: in place when the right side cannot touch the
' variable, as written otherwise (the variable is read before a routine on the right
' changes it).
Dim s As String, t As String, v
Function Grow
  s = "changed"
  Return "!"
End Function
s = "ab"
t = s
s = s & "cd" & 1
Print(s)          ' expect: abcd1
Print(t)          ' expect: ab
s = "a"
s = s & Grow
Print(s)          ' expect: a!
v = "x"
v = v & 2
v = v & 3
Print(v)          ' expect: x23
v = 1
v = v & 2
Print(v)          ' expect: 3
