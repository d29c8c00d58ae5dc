// n calls of a host object's method; the answer is the total it kept.
function Run(n: Integer): Integer;
var i: Integer;
begin
  Counter.Clear;
  for i := 1 to n do
    Counter.Add(i mod 10);
  Result := Counter.Total;
end;

begin
end.
