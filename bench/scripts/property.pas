// n reads and n writes of a host object's published property; the answer is its last value.
function Run(n: Integer): Integer;
var i: Integer;
begin
  Counter.Value := 0;
  for i := 1 to n do
    Counter.Value := Counter.Value + i mod 10;
  Result := Counter.Total;
end;

begin
end.
