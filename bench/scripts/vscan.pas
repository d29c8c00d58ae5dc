// Walks a text of n characters held in a Variant one at a time, as a script reads and
// mends a memo's text: per step a character read by index and, for a blank, one written
// by index. The answer counts the blanks.
function Run(n: Integer): Integer;
var i, c: Integer;
    x: Variant;
begin
  x := '';
  for i := 1 to n div 10 do
    x := x + 'abcd efgh ';
  c := 0;
  for i := 1 to Length(x) do
    if x[i] = ' ' then begin
      x[i] := '_';
      c := c + 1;
    end;
  if Pos(' ', x) > 0 then
    c := -1;
  Result := c;
end;

begin
end.
