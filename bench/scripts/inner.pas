// byvalue with a routine declared inside the one given the text: the inner routine names
// another parameter, not the text, so the text is let go when the call returns as before.
procedure Look(t: String; k: Integer);

  function Twice: Integer;
  begin
    Result := k * 2;
  end;

begin
  Twice;
end;

function Run(n: Integer): Integer;
var i: Integer;
    s: String;
begin
  s := '';
  for i := 1 to n do begin
    s := s + IntToStr(i);
    Look(s, i);
  end;
  Result := Length(s);
end;

begin
end.
