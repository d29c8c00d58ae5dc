// An XML tree a script builds as deep as it likes is built, freed and written
// without one nested call per level: a tree the reader takes loads back whole,
// a deeper one is refused before anything is written.
var d, e: TscXMLDocument; x: TscXMLItem; m: TMemoryStream; i: Integer;
begin
  d := TscXMLDocument.Create;
  d.Root.Name := 'r';
  x := d.Root;
  for i := 1 to 1000 do
  begin
    x := x.Add;
    x.Name := 'a';
  end;
  m := TMemoryStream.Create;
  d.SaveToStream(m);
  m.Position := 0;
  e := TscXMLDocument.Create;
  e.LoadFromStream(m);
  x := e.Root;
  i := 0;
  while x.Count > 0 do
  begin
    x := x.Items[0];
    i := i + 1;
  end;
  Print(i);                                // expect: 1000
  for i := 1 to 200000 do
  begin
    x := x.Add;
    x.Name := 'b';
  end;
  e.Root.Clear;
  Print(e.Root.Count);                     // expect: 0
  x := e.Root;
  for i := 1 to 200000 do
  begin
    x := x.Add;
    x.Name := 'b';
  end;
  m := TMemoryStream.Create;
  try
    e.SaveToStream(m);
  except
    Print('refused');                      // expect: refused
  end;
  Print(m.Size);                           // expect: 0
  e.SaveToStream(m);
end.
// expect runtime error line 47: XML elements nested deeper than 1000 levels cannot be saved: they could not be read back
