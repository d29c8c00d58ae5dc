var i: Integer;
begin
  i := 1
  j := 2;
end.
// expect compile error 4:3: ';' expected
