// Assignments that work on the variable itself (appending, x := x op e) give what the
// general operations give: a text shared with another variable stays as it was, a
// number added to a text adds, the target is read before the right side runs, an
// Integer sum that leaves 32 bits wraps as every Integer sum does, and a recursive
// call's saved locals are back before the caller's append.
var s, t: String; v, w: Variant; i: Integer; d: Double;
function Grow: String;
begin
  s := 'changed';
  Result := '!';
end;
function Depth(k: Integer; acc: String): String;
var local: String;
begin
  local := acc + IntToStr(k);
  if k > 0 then
    local := local + Depth(k - 1, local);
  Result := local;
end;
begin
  s := 'ab';
  t := s;
  s := s + 'cd';
  Print(s);                 // expect: abcd
  Print(t);                 // expect: ab
  v := 'x';
  w := v;
  v := v + 'y';
  v := v + 'z';
  Print(v);                 // expect: xyz
  Print(w);                 // expect: x
  v := '5';
  v := v + 1;
  Print(v);                 // expect: 6
  s := 'a';
  s := s + Grow;
  Print(s);                 // expect: a!
  Print(Depth(2, 'a'));     // expect: a2a21a210
  i := 2147483647;
  i := i + 1;
  Print(i);                 // expect: -2147483648
  i := 7;
  i := i * 3 - 1;
  Print(i);                 // expect: 20
  d := 0.1;
  d := d + 0.2;
  Print(d = 0.3);           // expect: False
  d := 10;
  d := d / 4;
  Print(d);                 // expect: 2,5
  try
    d := d / 0;
  except
    Print('zero');          // expect: zero
  end;
  Print(3000000000 > 2.5e9);  // expect: True
  Print(7 / 2 < 4);         // expect: True
end.
