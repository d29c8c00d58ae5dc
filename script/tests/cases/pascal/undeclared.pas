begin
  x := 1;
end.
// expect compile error 2:4: Неопределенный идентификатор: 'x'
