procedure P(a, b: Integer);
begin
end;
begin
  P(1);
end.
// expect compile error 5:4: Недостаточно параметров
