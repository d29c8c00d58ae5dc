var f: TForm; b: TButton;
begin
  f := TForm.Create(nil);
  f.ClientWidth := 300;
  f.ClientHeight := 200;
  b := TButton.Create(f);
  b.Parent := f;
  b.SetBounds(500, 20, 80, 25);
  Print(f.HorzScrollBar.Range);          // expect: 580
  f.HorzScrollBar.Position := 100;
  Print(b.Left);                         // expect: 400
  f.HorzScrollBar.Position := 1000;
  Print(f.HorzScrollBar.Position);       // expect: 280
  Print(b.Left);                         // expect: 220
  f.VertScrollBar.Range := 900;
  Print(f.AutoScroll);                   // expect: False
  Print(f.VertScrollBar.Increment);      // expect: 8
  f.Free;
end.
