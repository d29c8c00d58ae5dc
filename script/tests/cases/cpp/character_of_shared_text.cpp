// A character written into a Variant's text changes that variable alone, whoever else
// holds the same text: another variable, a parameter, an array element, a string.
Variant x, y, a; string s;

void ByValue(Variant v)
{
  v[1] = "P";
  Print(v);
}

{
  x = "abc"; y = x; x[1] = "Z";
  Print(x + " " + y);           // expect: Zbc abc
  y[3] = "Y";
  Print(x + " " + y);           // expect: Zbc abY
  x = "abc"; ByValue(x);        // expect: Pbc
  Print(x);                     // expect: abc
  s = "abc"; x = s; x[1] = "W";
  Print(s + " " + x);           // expect: abc Wbc
  a = VarArrayCreate([0, 1], varVariant); a[0] = "abc";
  x = a[0]; x[1] = "U";
  Print(a[0] + " " + x);        // expect: abc Ubc
  x = "abc";
  for (y = 1; y <= 3; y++)
    if (x[y] != "b") x[y] = "-";
  Print(x);                     // expect: -b-
  x = "abc";
  x[4] = "d";                   // expect runtime error line 28: Индекс строки 4 вне допустимых границ (1..3)
}
