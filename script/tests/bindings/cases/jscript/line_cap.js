// A loaded line past the string cap is refused by every read that would hand
// it to the script whole, as every other string operation is.
var s, m, l, i;
s = "x";
for (i = 1; i <= 25; i++)
  s = s + s;
m = TMemoryStream.Create;
m.Write("k=", 2);
m.Write(s, Length(s));
m.Write(s, Length(s));
m.Write("!", 1);
m.Position = 0;
l = TStringList.Create;
l.LoadFromStream(m);
m.Free;
Print(l.Count);                       // expect: 1
Print(l.Names[0]);                    // expect: k
try {
  s = l[0];
} except {
  Print("default refused");           // expect: default refused
}
try {
  s = l.Values["k"];
} except {
  Print("value refused");             // expect: value refused
}
Print(Length(l.Strings[0]));
// expect runtime error line 28: Строка слишком длинная: 67108867 символов (не более 67108864)
