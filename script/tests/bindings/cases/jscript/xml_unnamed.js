// A document saved and loaded again comes back as it was; one whose root was
// never named is refused, where it used to load back empty.
var d, e, x, m;
d = new TscXMLDocument;
x = d.Root.Add;
x.Name = "row";
x.Text = "id=\"1\"";
m = new TMemoryStream;
try { d.SaveToStream(m); } except { Print("refused"); }   // expect: refused
Print(m.Size);                             // expect: 0
d.Root.Name = "rows";
d.SaveToStream(m);
m.Position = 0;
e = new TscXMLDocument;
e.LoadFromStream(m);
Print(e.Root.Items[0].Prop("id"));         // expect: 1
d.Root.Name = "";
d.SaveToStream(m);
// expect runtime error line 18: An XML element without a name cannot be saved: it could not be read back
