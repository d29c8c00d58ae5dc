// n steps of a floating-point recurrence with + - * and /.
function Run(n: Integer): Extended;
var i: Integer;
    x: Extended;
begin
  x := 0.5;
  for i := 1 to n do
    x := x * 0.999 + i / 3.0 - 1.1;
  Result := x;
end;

begin
end.
