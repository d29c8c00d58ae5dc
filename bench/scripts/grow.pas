// Grows a text and an array one step at a time through the routines that change their
// var parameter, as a script collects lines: per step Insert at the text's end and
// SetLength of the array by one, then its new element written. The answer is the two
// lengths added.
function Run(n: Integer): Integer;
var i: Integer;
    s: String;
    a: Variant;
begin
  s := '';
  a := VarArrayCreate([0, 0], varVariant);
  for i := 1 to n do begin
    Insert('x', s, Length(s) + 1);
    SetLength(a, i);
    a[i - 1] := i;
  end;
  Result := Length(s) + Length(a);
end;

begin
end.
