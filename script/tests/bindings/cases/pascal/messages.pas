// answer message: 1
// answer message: 6
// answer input: Иванов
// cancel input
var s: string;
begin
  ShowMessage('Привет');
  Print(MessageDlg('Удалить?', mtConfirmation, [mbYes, mbNo], 0));  // expect: 6
  Print(InputBox('Имя', 'Введите имя', 'никто'));   // expect: Иванов
  s := 'было';
  Print(InputQuery('Имя', 'Введите имя', s));       // expect: False
  Print(s);                                         // expect: было
  Print(mbYes + mbNo);                              // expect: 3
end.
// expect message: Привет
// expect message: Удалить?
