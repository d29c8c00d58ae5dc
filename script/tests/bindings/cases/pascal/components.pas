var p, c: TComponent;
begin
  p := TComponent.Create(nil);
  p.Name := 'Parent1';
  c := TComponent.Create(p);
  c.Name := 'Child1';
  c.Tag := 7;
  Print(c.Owner.Name);              // expect: Parent1
  Print(c.Tag);                     // expect: 7
  Print(p.Owner = nil);             // expect: True
  Print(c.ClassName);               // expect: TComponent
  p.Free;
  Print(c.Name);                    // expect runtime error line 13: Объект уже уничтожен или ссылка на него неверна: Name
end.
