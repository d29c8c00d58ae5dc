var t: TTestThing; n: Integer;
begin
  Print(Thing.Caption);      // expect: host
  Thing.Caption := 'changed';
  Print(Thing.Caption);      // expect: changed
  Print(Thing.Twice(21));    // expect: 42
  n := 1;
  Thing.Bump(n);
  Print(n);                  // expect: 2
  Print(Thing[3]);           // expect: changed#3
  Thing[0] := 'via index';
  Print(Thing.Caption);      // expect: via index
  with Thing do
  begin
    Count := 9;
    Print(Count);            // expect: 9
  end;
  Print(Thing is TTestThing);  // expect: True
  t := TTestThing.Create(nil);
  t.Caption := 'mine';
  Print(t.Caption);          // expect: mine
  t.Free;
  Print(t.Caption);          // expect runtime error line 23: Объект уже уничтожен или ссылка на него неверна: Caption
end.
