// A name that no object of a with list has, nor the script, is undeclared.
begin
  with Thing, Thing, Thing do
    Print(Missing);   // expect compile error 4:18: Неопределенный идентификатор: 'Missing'
end.
