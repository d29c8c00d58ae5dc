// Members of an object held in a Variant are found when they run: indexed
// properties take their index in brackets, var parameters are written back.
var v: Variant; n: Integer;
begin
  v := Thing;
  v.Caption := 'abc';
  Print(v.Items[2]);          // expect: abc#2
  v.Items[0] := 'set by index';
  Print(Thing.Caption);       // expect: set by index
  Print(v[5]);                // expect: set by index#5
  Print(v.Caption[1]);        // expect: s
  v.Caption[1] := 'S';
  Print(Thing.Caption);       // expect: Set by index
  n := 41;
  v.Bump(n);
  Print(n);                   // expect: 42
  Print(v.Twice(n));          // expect: 84
  Print(v.Caption[99]);          // expect runtime error line 18: Индекс строки 99 вне допустимых границ (1..12)
end.
