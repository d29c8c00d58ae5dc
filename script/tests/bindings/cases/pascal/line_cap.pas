// A loaded line past the string cap is refused by every read that would hand
// it to the script whole, as every other string operation is.
var s: String; m: TMemoryStream; l: TStringList; i: Integer;
begin
  s := 'x';
  for i := 1 to 25 do
    s := s + s;
  m := TMemoryStream.Create;
  m.Write('k=', 2);
  m.Write(s, Length(s));
  m.Write(s, Length(s));
  m.Write('!', 1);
  m.Position := 0;
  l := TStringList.Create;
  l.LoadFromStream(m);
  m.Free;
  Print(l.Count);                     // expect: 1
  Print(l.Names[0]);                  // expect: k
  try
    s := l[0];
  except
    Print('default refused');         // expect: default refused
  end;
  try
    s := l.Values['k'];
  except
    Print('value refused');           // expect: value refused
  end;
  Print(Length(l.Strings[0]));
end.
// expect runtime error line 29: Строка слишком длинная: 67108867 символов (не более 67108864)
