// A constructor takes one handle for the object it makes, none besides.
var a, b, c: TStringList; v, w, x: Variant;
begin
  a := TStringList.Create;
  b := TStringList.Create;
  c := TStringList.Create;
  v := a; w := b; x := c;
  Print(w - v);                       // expect: 1
  Print(x - w);                       // expect: 1
end.
