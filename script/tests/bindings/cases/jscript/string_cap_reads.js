// Texts read out of a stream or a list are script strings: past the string cap
// they are refused with the engine's error, before the memory is taken.
var s, m, l, i;
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
Print(Length(l.Text));
// expect runtime error line 23: Строка слишком длинная: 67108871 символов (не более 67108864)
