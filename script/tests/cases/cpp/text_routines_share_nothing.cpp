// Insert and SetLength change their variable alone, whoever else holds the same text or
// array, and a call that fails leaves the variable as it was (Delete is a keyword here).
string s, t; Variant x, y, a, b; int i;
{
  s = "abc"; t = s; Insert("-", s, 4);
  Print(s + " " + t);                  // expect: abc- abc
  x = "abc"; y = x; Insert(x, x, 2);
  Print(x + " " + y);                  // expect: aabcbc abc
  s = "abc";
  try { SetLength(s, 2147483647); } except { Print("refused"); }  // expect: refused
  Print(s);                            // expect: abc
  a = VarArrayCreate([0, 2], varVariant); a[0] = "p"; b = a;
  SetLength(a, 5); a[4] = "q";
  Print(IntToStr(Length(a)) + " " + IntToStr(Length(b)) + " " + b[0] + a[0] + a[4]);  // expect: 5 3 ppq
  try { SetLength(a, -5); } except { Print("refused"); }  // expect: refused
  Print(Length(a));                    // expect: 5
  for (i = 1; i <= 3; i++) Insert(IntToStr(i), s, 1);
  Print(s);                            // expect: 321abc
}
