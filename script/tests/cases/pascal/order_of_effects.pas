// x := x op e where e changes x: the target's value is read first, as the left operand
// of every operator is; x := e op x reads e first.
var x: Integer;
    s: String;
    v: Variant;

function F: Integer;
begin
  x := 100;
  Result := 1;
end;

function Grow: String;
begin
  s := 'changed';
  Result := '!';
end;

function GrowV: String;
begin
  v := 'changed';
  Result := '!';
end;

begin
  x := 1;
  x := x + F;
  Print(x);            // expect: 2
  x := 1;
  x := x - F;
  Print(x);            // expect: 0
  x := 1;
  x := F + x;
  Print(x);            // expect: 101
  s := 'a';
  s := s + Grow;
  Print(s);            // expect: a!
  s := 'a';
  s := s + '-' + Grow;
  Print(s);            // expect: a-!
  v := 'a';
  v := v + GrowV;
  Print(v);            // expect: a!
end.
