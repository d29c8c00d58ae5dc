// A character changed in a memo's text or in one of its lines is written back
// into that memo, also when the index reads another memo's lines.
var f: TForm, m: TMemo, n: TMemo, v;
f = new TForm(nil);
m = new TMemo(f);
n = new TMemo(f);
m.Text = "abc";
m.Text[1] = "X";
Print(m.Text);                      // expect: Xbc
m.Lines.Add("first");
n.Lines.Add("one");
n.Lines.Add("three");
m.Lines[1][Length(n.Lines[1])] = "T";
Print(m.Lines[1]);                  // expect: firsT
Print(n.Lines[1]);                  // expect: three
v = m;
v.Lines[1][1] = "F";
Print(m.Lines[1]);                  // expect: FirsT
delete f;
