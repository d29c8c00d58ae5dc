// Appends the decimal text of i, i = 1..n, to a String and passes the text so far to a
// routine by value after each step; the answer is the text's length.
procedure Look(t: String);
begin
end;

function Run(n: Integer): Integer;
var i: Integer;
    s: String;
begin
  s := '';
  for i := 1 to n do begin
    s := s + IntToStr(i);
    Look(s);
  end;
  Result := Length(s);
end;

begin
end.
