begin
  Print(Panels.Count);              // expect: 3
  Print(Panels[1].ClassName);       // expect: TCollectionItem
  Print(Panels.Items[2].ClassName); // expect: TCollectionItem
  Panels[0].Free;
  Print(Panels.Count);              // expect: 2
  try
    Print(Panels[5].ClassName);
  except
    Print('out of range');          // expect: out of range
  end;
  Panels.Clear;
  Print(Panels.Count);              // expect: 0
  Panels.Free;                      // expect runtime error line 14: Объект TCollection принадлежит другому объекту и не может быть уничтожен сценарием
end.
