' A character written at the end of a chain of indexes goes back through every
' step as that step was read, also when an index on the way runs the same
' property, helper or array for another object or element first.
Dim t As TTestThing, a[2], v, s As String, m[2, 2]
t = New TTestThing(nil)
t.Caption = "abcdef"
Thing.Caption = "host"
Thing.Caption[2][Length(t.Caption) - 5] = "Y"     ' the last index reads Caption of t
Print(Thing.Caption)                              ' expect: hYst
Thing.Caption[Length(t.Caption) - 3][1] = "Z"     ' an index on the way reads it
Print(Thing.Caption)                              ' expect: hYZt
With Thing
  Caption[1][Length(t.Caption) - 5] = "H"
End With
Print(Thing.Caption)                              ' expect: HYZt
Print(t.Caption)                                  ' expect: abcdef
s = "ab"
s[1][Length(t.Caption) - 5] = "Q"                 ' a string variable
Print(s)                                          ' expect: Qb
a[0] = "hello"
a[1] = "ab"
a[0][3][Length(a[1]) - 1] = "Q"                   ' an element, then late indexes
v = VarArrayCreate([0, 1], varVariant)
v[0] = "hello"
v[1] = "ab"
v[0][4][Length(v[1]) - 1] = "Q"                   ' three late indexes back into v
Print(a[0] & " " & a[1])                          ' expect: heQlo ab
Print(v[0] & " " & v[1])                          ' expect: helQo ab
m[0, 1] = 1
m[1, 1] = 5
Inc(m[1, m[0, 1]], 10)                            ' a var argument written back
Print(m[1, 1] + m[0, 1] * 100)                    ' expect: 115
Insert("Z", a[Length(a[1]) - 2], 2)
Print(a[0] & " " & a[1])                          ' expect: hZeQlo ab
Delete t
