// A character written into a Variant's text changes that variable alone, whoever else
// holds the same text: another variable, a parameter, an array element, a String.
var x, y, a: Variant; s: String;

procedure ByValue(v: Variant);
begin
  v[1] := 'P';
  Print(v);
end;

procedure ByRef(var v: Variant);
begin
  v[2] := 'R';
end;

begin
  x := 'abc'; y := x; x[1] := 'Z';
  Print(x + ' ' + y);             // expect: Zbc abc
  y[3] := 'Y';
  Print(x + ' ' + y);             // expect: Zbc abY
  x := 'abc'; ByValue(x);         // expect: Pbc
  Print(x);                       // expect: abc
  ByRef(x);
  Print(x);                       // expect: aRc
  s := 'abc'; x := s; x[1] := 'W';
  Print(s + ' ' + x);             // expect: abc Wbc
  x := 'abc'; s := x; x[1] := 'V';
  Print(s + ' ' + x);             // expect: abc Vbc
  a := VarArrayCreate([0, 1], varVariant); a[0] := 'abc';
  x := a[0]; x[1] := 'U';
  Print(a[0] + ' ' + x);          // expect: abc Ubc
  x := 'abc';
  for y := 1 to 3 do
    if x[y] <> 'b' then x[y] := '-';
  Print(x);                       // expect: -b-
  x := 'abc';
  x[4] := 'd';                    // expect runtime error line 37: Индекс строки 4 вне допустимых границ (1..3)
end.
