// answer file: /tmp/chosen.txt
var d: TOpenDialog; s: TSaveDialog;
begin
  d := TOpenDialog.Create(nil);
  d.Filter := 'Text (*.txt)|*.txt';
  d.Options := ofFileMustExist + ofHideReadOnly;
  Print(d.Execute);                 // expect: True
  Print(d.FileName);                // expect: /tmp/chosen.txt
  s := TSaveDialog.Create(d);
  Print(s.Owner = d);               // expect: True
  d.Free;
  Print(s.FileName);                // expect runtime error line 12: Объект уже уничтожен или ссылка на него неверна: FileName
end.
