// Appends the decimal text of i, i = 1..n, to a String through a routine's var parameter,
// as a report script builds its lines; the answer is the text's length.
procedure Add(var s: String; t: String);
begin
  s := s + t;
end;

function Run(n: Integer): Integer;
var i: Integer;
    s: String;
begin
  s := '';
  for i := 1 to n do
    Add(s, IntToStr(i));
  Result := Length(s);
end;

begin
end.
