' A var parameter of a method called on an untyped variable kept its old value.
Dim v, n
v = Thing
n = 1
v.Bump(n)
Print(n)                   ' expect: 2
