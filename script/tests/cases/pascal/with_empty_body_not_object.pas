// A with whose body is empty still checks its objects.
var i: Integer;
begin
  with i do ;
end.
// expect compile error 4:9: Ожидается класс
