' A character changed in a memo's text or in one of its lines is written back
' into that memo, also when the index reads another memo's lines.
Dim f As TForm, m As TMemo, n As TMemo, v
f = New TForm(Nothing)
m = New TMemo(f)
n = New TMemo(f)
m.Text = "abc"
m.Text[1] = "X"
Print(m.Text)                      ' expect: Xbc
m.Lines.Add("first")
n.Lines.Add("one")
n.Lines.Add("three")
m.Lines[1][Length(n.Lines[1])] = "T"
Print(m.Lines[1])                  ' expect: firsT
Print(n.Lines[1])                  ' expect: three
v = m
v.Lines[1][1] = "F"
Print(m.Lines[1])                  ' expect: FirsT
Delete f
