// A constructor takes one handle for the object it makes, none besides.
TStringList a, b, c; Variant v, w, x;
{
  a = TStringList.Create();
  b = TStringList.Create();
  c = TStringList.Create();
  v = a; w = b; x = c;
  Print(w - v);                       // expect: 1
  Print(x - w);                       // expect: 1
}
