// A handler declared inside a routine and hooked up there reads the routine's parameter
// when the user clicks, long after the call has returned: the last call's text is kept
// for it. The loop before grows a text through the same routine, as a report script does.
var f: TForm; b: TButton; s: String; i: Integer;

procedure Hook(Title: String);

  procedure TitleClick(Sender: TObject);
  begin
    Print('title ' + Title);
  end;

begin
  b.OnClick := 'TitleClick';
end;

begin
  f := TForm.Create(Application);
  f.Name := 'Form4';
  b := TButton.Create(f);
  b.Name := 'Button1';
  b.Parent := f;
  s := '';
  for i := 1 to 3 do begin
    s := s + IntToStr(i);
    Hook(s);
  end;
  f.Show;
end.
// then click Form4.Button1
// expect: title 123
