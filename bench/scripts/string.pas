// Appends the decimal text of 1..n to one string; the answer is its length.
function Run(n: Integer): Integer;
var i: Integer;
    s: String;
begin
  s := '';
  for i := 1 to n do
    s := s + IntToStr(i);
  Result := Length(s);
end;

begin
end.
