// Walks a text of n characters one at a time, as a report script reads a long memo: per
// step Length, a character by index, Copy of one character and Ord. The answer counts
// the blanks.
function Run(n: Integer): Integer;
var i, c: Integer;
    s: String;
begin
  s := '';
  for i := 1 to n div 10 do
    s := s + 'abcd efgh ';
  c := 0;
  i := 1;
  while i <= Length(s) do begin
    if (s[i] = ' ') and (Copy(s, i, 1) = ' ') and (Ord(s[i]) = 32) then
      c := c + 1;
    i := i + 1;
  end;
  Result := c;
end;

begin
end.
