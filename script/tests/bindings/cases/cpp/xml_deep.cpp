// An XML tree a script builds as deep as it likes is built, freed and written
// without one nested call per level: a tree the reader takes loads back whole,
// a deeper one is refused before anything is written.
TscXMLDocument d, e; TscXMLItem x; TMemoryStream m; int i;
{
  d = new TscXMLDocument;
  d.Root.Name = "r";
  x = d.Root;
  for (i = 1; i <= 1000; i++) { x = x.Add; x.Name = "a"; }
  m = new TMemoryStream;
  d.SaveToStream(m);
  m.Position = 0;
  e = new TscXMLDocument;
  e.LoadFromStream(m);
  x = e.Root;
  i = 0;
  while (x.Count > 0) { x = x.Items[0]; i++; }
  Print(i);                                // expect: 1000
  for (i = 1; i <= 200000; i++) { x = x.Add; x.Name = "b"; }
  e.Root.Clear;
  Print(e.Root.Count);                     // expect: 0
  x = e.Root;
  for (i = 1; i <= 200000; i++) { x = x.Add; x.Name = "b"; }
  m = new TMemoryStream;
  try { e.SaveToStream(m); } except { Print("refused"); } // expect: refused
  Print(m.Size);                           // expect: 0
  e.SaveToStream(m);
}
// expect runtime error line 27: XML elements nested deeper than 1000 levels cannot be saved: they could not be read back
