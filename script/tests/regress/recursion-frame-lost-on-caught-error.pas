// A recursive call that raised left the caller with the callee's locals.
procedure P(n: Integer);
var k: Integer;
begin
  k := n * 10;
  if n = 0 then n := 1 div n
  else
  begin
    try P(n - 1); except end;
    Print(k + n);
  end;
end;
begin
  P(2);   // expect: 11
  // expect: 22
end.
