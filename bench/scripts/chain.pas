// Joins ', ' and the decimal text of i onto one string, i = 1..n; the answer is its length.
function Run(n: Integer): Integer;
var i: Integer;
    s: String;
begin
  s := '';
  for i := 1 to n do
    s := s + ', ' + IntToStr(i);
  Result := Length(s);
end;

begin
end.
