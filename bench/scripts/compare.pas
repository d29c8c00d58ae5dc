// Compares a text of 10,000 characters with a short one, n times with each of
// = <> < >, as a report script checks a memo's text against a value. The answer
// counts the comparisons that hold.
function Run(n: Integer): Integer;
var i, c: Integer;
    a, b: String;
begin
  a := '';
  for i := 1 to 1000 do
    a := a + 'абвгд ЕЖЗИ';
  b := 'б';
  c := 0;
  for i := 1 to n do begin
    if a = b then c := c + 1;
    if a <> b then c := c + 1;
    if a < b then c := c + 1;
    if a > b then c := c + 1;
  end;
  Result := c;
end;

begin
end.
