// The adapters copy var parameters back: a resize the handler changes or
// refuses, a close the handler refuses once, a key the handler replaces or
// swallows (empty text delivers no character).
TForm f; TEdit e; int closes;
void CR(TObject Sender, int &NewWidth, int &NewHeight, bool &Resize)
{
  Print("canresize " + IntToStr(NewWidth) + "x" + IntToStr(NewHeight));
  if (NewWidth == 300) NewWidth = 250;
  if (NewHeight == 333) Resize = false;
}
void CQ(TObject Sender, bool &CanClose) { closes = closes + 1; CanClose = closes > 1; }
void CL(TObject Sender, int &Action) { Print("close " + IntToStr(Action)); }
void KP(TObject Sender, char &Key)
{
  if (Key == "a") Key = "z";
  if (Key == "b") Key = "";
}
void EClick(TObject Sender) { Print("edit holds " + e.Text); }
{
  closes = 0;
  f = new TForm(Application);
  f.Name = "F1";
  f.Width = 200;
  f.Height = 100;
  e = new TEdit(f);
  e.Name = "E1";
  e.Parent = f;
  e.OnKeyPress = "KP";
  e.OnClick = "EClick";
  f.OnCanResize = "CR";
  f.OnCloseQuery = "CQ";
  f.OnClose = "CL";
  f.Show;
  f.Width = 300;                    // expect: canresize 300x100
  f.Height = 333;                   // expect: canresize 250x333
  Print(IntToStr(f.Width) + "x" + IntToStr(f.Height)); // expect: 250x100
  f.Close;
  Print(f.Visible);                 // expect: True
  f.Close;                          // expect: close 1
  Print(f.Visible);                 // expect: False
  f.Show;
}
// then press F1.E1 abc
// then click F1.E1
// expect: edit holds zc
