// Compares two texts of 1,001 characters that differ in the last one, n times with each of
// = <> < >, as a report script compares a memo's text with a remembered one. The answer
// counts the comparisons that hold.
function Run(n: Integer): Integer;
var i, c: Integer;
    a, b: String;
begin
  a := '';
  for i := 1 to 100 do
    a := a + 'абвгд ЕЖЗИ';
  b := a + 'б';
  a := a + 'а';
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
