// Sum of i mod 7 for i = 1..n.
function Run(n: Integer): Integer;
var i, s: Integer;
begin
  s := 0;
  for i := 1 to n do
    s := s + i mod 7;
  Result := s;
end;

begin
end.
