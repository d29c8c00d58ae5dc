var sl: TStringList;
begin
  sl := TStringList.Create;
  sl.Add('only');
  try
    Print(sl[5]);
  except
    Print('caught');                 // expect: caught
  end;
  sl.Free;
  Print(sl[0]);                     // expect runtime error line 11: Объект уже уничтожен или ссылка на него неверна: Strings
end.
