var f: TForm; b, other: TButton;

procedure Button1Click(Sender: TObject);
begin
  TButton(Sender).Free;
  Print('after free');
  other.Caption := 'still here';
  Print(other.Caption);
end;

begin
  f := TForm.Create(nil);
  f.Name := 'Form6';
  b := TButton.Create(f);
  b.Name := 'Button1';
  b.Parent := f;
  b.OnClick := 'Button1Click';
  other := TButton.Create(f);
  other.Parent := f;
  f.Show;
end.
// then click Form6.Button1
// expect: after free
// expect: still here
