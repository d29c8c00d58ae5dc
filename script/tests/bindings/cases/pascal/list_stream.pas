var l: TList; a, b: TStringList; ms: TMemoryStream; s: string; n: Integer;
begin
  l := TList.Create;
  a := TStringList.Create;
  b := TStringList.Create;
  Print(l.Add(a));                  // expect: 0
  Print(l.Add(b));                  // expect: 1
  Print(l.IndexOf(b));              // expect: 1
  Print(l.Count);                   // expect: 2
  Print(TStringList(l[1]).ClassName);  // expect: TStringList
  Print(l.Remove(a));               // expect: 0
  Print(l.Count);                   // expect: 1
  l.Insert(0, a);
  Print(l.IndexOf(a));              // expect: 0
  ms := TMemoryStream.Create;
  Print(ms.Write('hello world', 5)); // expect: 5
  Print(ms.Write('abc', 100));      // expect: 3
  Print(ms.Size);                   // expect: 8
  ms.Position := 0;
  n := ms.Read(s, 100);
  Print(n);                         // expect: 8
  Print(s);                         // expect: helloabc
  Print(ms.Seek(2, soFromBeginning)); // expect: 2
  n := ms.Read(s, 3);
  Print(s);                         // expect: llo
  a.Text := 'one' + #13#10 + 'two';
  ms.Clear;
  a.SaveToStream(ms);
  ms.Position := 0;
  b.LoadFromStream(ms);
  Print(b.CommaText);               // expect: one,two
  a.Free;
  Print(l.Count);                   // expect: 2
  Print(TStringList(l[0]).Count);   // expect runtime error line 34: Объект уже уничтожен или ссылка на него неверна: Count
end.
