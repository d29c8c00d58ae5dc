' An index may itself read the array, the property or the text it indexes:
' the element or character written is the one the outer index names.
Dim t As TTestThing, m[3, 3], a[2] As String, i, j
For i = 0 To 2
  For j = 0 To 2
    m[i, j] = i * 10 + j
  Next
Next
Print(m[2, m[0, 1]])           ' expect: 21
m[2, m[0, 1]] = 99
Print(m[2, 1])                 ' expect: 99
Print(m[0, 1])                 ' expect: 1
t = New TTestThing(nil)
t.Caption = "abcdef"
Thing.Caption = "host"
Thing.Caption[Length(t.Caption) - 2] = "Y"
Print(Thing.Caption)           ' expect: hosY
Print(t.Caption)               ' expect: abcdef
a[0] = "hello"
a[1] = "ab"
a[0][Length(a[1])] = "Z"
Print(a[0])                    ' expect: hZllo
Print(a[1])                    ' expect: ab
Delete t
