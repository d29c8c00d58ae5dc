// The adapters copy var parameters back: a resize the handler changes or
// refuses, a close the handler refuses once, a key the handler replaces or
// swallows (empty text delivers no character).
var f: TForm; e: TEdit; closes: Integer;
procedure CR(Sender: TObject; var NewWidth, NewHeight: Integer; var Resize: Boolean);
begin
  Print('canresize ' + IntToStr(NewWidth) + 'x' + IntToStr(NewHeight));
  if NewWidth = 300 then NewWidth := 250;
  if NewHeight = 333 then Resize := False;
end;
procedure CQ(Sender: TObject; var CanClose: Boolean);
begin
  closes := closes + 1;
  CanClose := closes > 1;
end;
procedure CL(Sender: TObject; var Action: TCloseAction);
begin
  Print('close ' + IntToStr(Action));
end;
procedure KP(Sender: TObject; var Key: Char);
begin
  if Key = 'a' then Key := 'z';
  if Key = 'b' then Key := '';
end;
procedure EClick(Sender: TObject);
begin
  Print('edit holds ' + e.Text);
end;
begin
  f := TForm.Create(Application);
  f.Name := 'F1';
  f.Width := 200;
  f.Height := 100;
  e := TEdit.Create(f);
  e.Name := 'E1';
  e.Parent := f;
  e.OnKeyPress := 'KP';
  e.OnClick := 'EClick';
  f.OnCanResize := 'CR';
  f.OnCloseQuery := 'CQ';
  f.OnClose := 'CL';
  f.Show;
  f.Width := 300;                   // expect: canresize 300x100
  f.Height := 333;                  // expect: canresize 250x333
  Print(IntToStr(f.Width) + 'x' + IntToStr(f.Height)); // expect: 250x100
  f.Close;
  Print(f.Visible);                 // expect: True
  f.Close;                          // expect: close 1
  Print(f.Visible);                 // expect: False
  f.Show;
end.
// then press F1.E1 abc
// then click F1.E1
// expect: edit holds zc
