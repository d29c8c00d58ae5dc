// A form's scroll bars: the range reaches the controls, Position moves them and stops
// at the end, setting the range ends AutoScroll.
var f, b, s, c;
f = TForm.Create(nil);
f.ClientWidth = 300;
f.ClientHeight = 200;
b = TButton.Create(f);
b.Parent = f;
b.SetBounds(500, 20, 80, 25);
Print(f.HorzScrollBar.Range);          // expect: 580
f.HorzScrollBar.Position = 100;
Print(b.Left);                         // expect: 400
f.HorzScrollBar.Position = 1000;
Print(f.HorzScrollBar.Position);       // expect: 280
Print(b.Left);                         // expect: 220
f.VertScrollBar.Range = 900;
Print(f.AutoScroll);                   // expect: False
Print(f.VertScrollBar.Increment);      // expect: 8
s = TScrollBox.Create(f);
s.Parent = f;
s.BorderStyle = bsNone;
s.SetBounds(0, 0, 100, 50);
c = TButton.Create(s);
c.Parent = s;
c.SetBounds(0, 120, 40, 20);
s.VertScrollBar.Position = 500;
Print(s.VertScrollBar.Position);       // expect: 90
Print(c.Top);                          // expect: 30
s.VertScrollBar.Visible = false;
Print(c.Top);                          // expect: 120
f.Free();
