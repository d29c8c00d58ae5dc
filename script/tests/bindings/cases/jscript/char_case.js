// An upper- or lower-case edit keeps its text in that case however it is set:
// Text from code, the memo's lines, the combo box's items, and a change of case.
var f, e, m, c;
f = TForm.Create(nil);
e = TEdit.Create(f);
e.CharCase = ecUpperCase;
e.Text = "Склад abc";
Print(e.Text);                        // expect: СКЛАД ABC
e.CharCase = ecLowerCase;
Print(e.Text);                        // expect: склад abc
m = TMemo.Create(f);
m.CharCase = ecLowerCase;
m.Lines.Add("ONE");
Print(m.Lines[0]);                    // expect: one
Print(m.Text);                        // expect: one
c = TComboBox.Create(f);
c.Parent = f;
c.Items.Add("alpha");
c.CharCase = ecUpperCase;
c.ItemIndex = 0;
Print(c.Text);                        // expect: ALPHA
f.Free;
