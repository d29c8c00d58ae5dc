// An upper- or lower-case edit keeps its text in that case however it is set:
// Text from code, the memo's lines, the combo box's items, and a change of case.
var f: TForm; e: TEdit; m: TMemo; c: TComboBox;
begin
  f := TForm.Create(nil);
  e := TEdit.Create(f);
  e.CharCase := ecUpperCase;
  e.Text := 'Склад abc';
  Print(e.Text);                      // expect: СКЛАД ABC
  e.CharCase := ecLowerCase;
  Print(e.Text);                      // expect: склад abc
  e.Text := 'ЁЖ Xy';
  Print(e.Text);                      // expect: ёж xy
  e.CharCase := ecNormal;
  e.Text := 'Mixed';
  Print(e.Text);                      // expect: Mixed
  m := TMemo.Create(f);
  m.CharCase := ecUpperCase;
  m.Lines.Add('first');
  m.Text := 'one'#13#10'two';
  Print(m.Lines[1]);                  // expect: TWO
  m.Lines.Add('three');
  Print(m.Lines[2]);                  // expect: THREE
  c := TComboBox.Create(f);
  c.Parent := f;
  c.Items.Add('alpha');
  c.Items.Add('beta');
  c.CharCase := ecUpperCase;
  c.Text := 'beta';
  Print(c.Text);                      // expect: BETA
  Print(c.ItemIndex);                 // expect: 1
  c.ItemIndex := 0;
  Print(c.Text);                      // expect: ALPHA
  f.Free;
end.
