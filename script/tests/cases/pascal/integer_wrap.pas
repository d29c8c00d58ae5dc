// Integer arithmetic is 32 bits in every form: the in-place forms (x := x op e,
// e op x) give what a sum into another variable gives. Variants widen.
var i, j, k: Integer; v: Variant;
procedure Local;
var a, b: Integer;
begin
  a := 2147483647; b := 1;
  a := a + b;
  Print(a);
end;
begin
  i := 2147483647; i := i + 1; Print(i);      // expect: -2147483648
  i := 2147483647; i := 1 + i; Print(i);      // expect: -2147483648
  i := 2147483647; j := i + 1; Print(j);      // expect: -2147483648
  i := -2147483647; i := i - 2; Print(i);     // expect: 2147483647
  i := 2147483647; k := 2; i := i * k; Print(i);  // expect: -2
  i := k * i; Print(i);                       // expect: -4
  Local;                                      // expect: -2147483648
  v := 2147483647; v := v + 1; Print(v);      // expect: 2147483648
  i := 2147483647; v := 1; i := i + v; Print(i);  // expect: 2147483648
end.
