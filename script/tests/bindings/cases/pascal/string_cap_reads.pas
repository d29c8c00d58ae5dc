// Texts read out of a stream or a list are script strings: past the string cap
// they are refused with the engine's error, before the memory is taken.
var s: String; m: TMemoryStream; l: TStringList; i: Integer;
begin
  s := 'x';
  for i := 1 to 25 do
    s := s + s;
  m := TMemoryStream.Create;
  m.Write(s, Length(s));
  m.Write(s, Length(s));
  m.Write('!', 1);
  m.Position := 0;
  try
    m.Read(s, m.Size);
  except
    Print('refused');                 // expect: refused
  end;
  Print(m.Position);                  // expect: 0
  Print(m.Read(s, 3));                // expect: 3
  l := TStringList.Create;
  l.Add(s);
  s := 'x';
  for i := 1 to 25 do
    s := s + s;
  l.Add(s);
  l.Add(s);
  Print(l.Count);                     // expect: 3
  Print(Length(l.Text));
end.
// expect runtime error line 28: Строка слишком длинная: 67108873 символов (не более 67108864)
