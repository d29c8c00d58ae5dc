// A character changed in a memo's text or in one of its lines is written back
// into that memo, also when the index reads another memo's lines.
TForm f; TMemo m, n;
{
  f = new TForm(nil);
  m = new TMemo(f);
  n = new TMemo(f);
  m.Text = "abc";
  m.Text[1] = "X";
  Print(m.Text);                      // expect: Xbc
  m.Lines.Add("first");
  n.Lines.Add("one");
  n.Lines.Add("three");
  m.Text[Length(n.Lines[0])] = "Y";
  Print(m.Lines[0]);                  // expect: XbY
  Print(n.Lines[1]);                  // expect: three
  delete f;
}
