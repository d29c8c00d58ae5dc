// A with whose body is empty still checks its objects.
begin
  with Zz do ;
end.
// expect compile error 3:10: Неопределенный идентификатор: 'Zz'
