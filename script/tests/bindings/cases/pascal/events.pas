var f: TForm; e: TEdit; l: TListBox; c: TComboBox; closes: Integer;

procedure EditKeyPress(Sender: TObject; var Key: Char);
begin
  if Key = 'a' then
    Key := 'b';
end;

procedure EditClick(Sender: TObject);
begin
  Print('edit holds ' + e.Text);
end;

procedure FormClose(Sender: TObject; var Action: TCloseAction);
begin
  closes := closes + 1;
  Print('close ' + IntToStr(Action));
  if closes = 1 then
    Action := caNone;
end;

begin
  f := TForm.Create(Application);
  f.Name := 'Form5';
  e := TEdit.Create(f);
  e.Name := 'Edit1';
  e.Parent := f;
  e.OnKeyPress := 'EditKeyPress';
  e.OnClick := 'EditClick';
  l := TListBox.Create(f);
  l.Parent := f;
  l.Items.Add('one');
  l.Items.Add('two');
  l.Selected[1] := True;
  Print(l.ItemIndex);               // expect: 1
  Print(l.Selected[1]);             // expect: True
  Print(l.Selected[0]);             // expect: False
  c := TComboBox.Create(f);
  c.Parent := f;
  c.Items.CommaText := 'x,y,z';
  c.ItemIndex := 2;
  Print(c.Text);                    // expect: z
  f.OnClose := 'FormClose';
  f.Show;
  f.Close;                          // expect: close 1
  Print(f.Visible);                 // expect: True
  f.Close;                          // expect: close 1
  Print(f.Visible);                 // expect: False
  f.Show;
  try
    l.Selected[5] := True;
  except
    Print('index checked');         // expect: index checked
  end;
end.
// then press Form5.Edit1 cat
// then click Form5.Edit1
// expect: edit holds cbt
