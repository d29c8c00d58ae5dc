// Texts read out of a stream or a list are script strings: past the string cap
// they are refused with the engine's error, before the memory is taken.
string s; TMemoryStream m; TStringList l; int i;
{
  s = "x";
  for (i = 1; i <= 25; i++)
    s = s + s;
  m = TMemoryStream.Create();
  m.Write(s, Length(s));
  m.Write(s, Length(s));
  m.Write("!", 1);
  m.Position = 0;
  try {
    m.Read(s, m.Size);
  } except {
    Print("refused");                 // expect: refused
  }
  Print(m.Position);                  // expect: 0
  l = TStringList.Create();
  l.Add("a");
  l.Add(s);
  l.Add(s);
  Print(l.Count);                     // expect: 3
  Print(Length(l.CommaText));
}
// expect runtime error line 24: Строка слишком длинная: 67108867 символов (не более 67108864)
