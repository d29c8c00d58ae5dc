// Insert and SetLength change their variable alone, whoever else holds the same text or
// array, and a call that fails leaves the variable as it was (Delete is a keyword here).
var s, x, y, a, b, i;
s = "abc"; Insert(s, s, 2);
Print(s);                              // expect: aabcbc
x = "abc"; y = x; Insert("-", x, 4);
Print(x + " " + y);                    // expect: abc- abc
x = "abc";
try { SetLength(x, 2147483647); } except { Print("refused"); }  // expect: refused
Print(x);                              // expect: abc
a = VarArrayCreate([0, 2], varVariant); a[0] = "p"; b = a;
SetLength(a, 5); a[4] = "q";
Print(IntToStr(Length(a)) + " " + IntToStr(Length(b)) + " " + b[0] + a[0] + a[4]);  // expect: 5 3 ppq
try { SetLength(a, -5); } except { Print("refused"); }  // expect: refused
Print(Length(a));                      // expect: 5
x = "abc";
for (i = 1; i <= 3; i++) Insert(IntToStr(i), x, 1);
Print(x);                              // expect: 321abc
