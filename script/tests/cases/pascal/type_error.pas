var i: Integer;
begin
  i := 'text';
end.
// expect compile error 3:14: Несовместимые типы: 'Integer', 'String'
