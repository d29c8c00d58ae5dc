// An upper- or lower-case edit keeps its text in that case however it is set:
// Text from code, the memo's lines, the combo box's items, and a change of case.
TForm f; TEdit e; TMemo m; TComboBox c;
{
  f = TForm.Create(nil);
  e = TEdit.Create(f);
  e.CharCase = ecUpperCase;
  e.Text = "Склад abc";
  Print(e.Text);                      // expect: СКЛАД ABC
  e.CharCase = ecLowerCase;
  Print(e.Text);                      // expect: склад abc
  e.Text = "ЁЖ Xy";
  Print(e.Text);                      // expect: ёж xy
  m = TMemo.Create(f);
  m.CharCase = ecUpperCase;
  m.Text = "one\r\ntwo";
  Print(m.Lines[1]);                  // expect: TWO
  m.Lines.Add("three");
  Print(m.Lines[2]);                  // expect: THREE
  c = TComboBox.Create(f);
  c.Parent = f;
  c.Items.Add("alpha");
  c.Items.Add("beta");
  c.CharCase = ecUpperCase;
  c.Text = "beta";
  Print(c.Text);                      // expect: BETA
  Print(c.ItemIndex);                 // expect: 1
  f.Free;
}
