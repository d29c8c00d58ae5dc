' An upper- or lower-case edit keeps its text in that case however it is set:
' Text from code, the memo's lines, the combo box's items, and a change of case.
Dim f, e, m, c
f = TForm.Create(Nothing)
e = TEdit.Create(f)
e.CharCase = ecUpperCase
e.Text = "Склад abc"
Print(e.Text)                        ' expect: СКЛАД ABC
e.CharCase = ecLowerCase
Print(e.Text)                        ' expect: склад abc
m = TMemo.Create(f)
m.CharCase = ecUpperCase
m.Lines.Add("one")
Print(m.Lines[0])                    ' expect: ONE
c = TComboBox.Create(f)
c.Parent = f
c.Items.Add("beta")
c.CharCase = ecLowerCase
c.Text = "BETA"
Print(c.Text)                        ' expect: beta
Print(c.ItemIndex)                   ' expect: 0
f.Free
