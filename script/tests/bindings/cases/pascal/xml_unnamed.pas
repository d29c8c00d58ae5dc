// A document saved and loaded again comes back as it was; one whose root was
// never named is refused, where it used to load back empty.
var d, e: TscXMLDocument; x: TscXMLItem; m: TMemoryStream;
begin
  d := TscXMLDocument.Create;
  x := d.Root.Add;
  x.Name := 'row';
  x.Text := 'id="1"';
  m := TMemoryStream.Create;
  try
    d.SaveToStream(m);
  except
    Print('refused');                      // expect: refused
  end;
  Print(m.Size);                           // expect: 0
  d.Root.Name := 'rows';
  d.SaveToStream(m);
  m.Position := 0;
  e := TscXMLDocument.Create;
  e.LoadFromStream(m);
  Print(e.Root.Items[0].Prop('id'));       // expect: 1
  d.Root.Name := '';
  d.SaveToStream(m);
end.
// expect runtime error line 23: An XML element without a name cannot be saved: it could not be read back
