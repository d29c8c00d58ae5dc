var f: TForm; b: TButton;

procedure Button1Click(Sender: TObject);
begin
  Print('freeing ' + f.Name);
  f.Free;
  Print('freed');
  Print(f.Name);
end;

begin
  f := TForm.Create(Application);
  f.Name := 'Form7';
  b := TButton.Create(f);
  b.Name := 'Button1';
  b.Parent := f;
  b.OnClick := 'Button1Click';
  f.Show;
  Print(f.Visible);                 // expect: True
end.
// then click Form7.Button1
// expect: freeing Form7
// expect: freed
// expect: error dialog: Объект уже уничтожен или ссылка на него неверна: Name.
