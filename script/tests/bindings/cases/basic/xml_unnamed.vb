' A document saved and loaded again comes back as it was; one whose root was
' never named is refused, where it used to load back empty.
Dim d, e, x, m
d = New TscXMLDocument
x = d.Root.Add
x.Name = "row"
x.Text = "id=" & Chr(34) & "1" & Chr(34)
m = New TMemoryStream
Try
  d.SaveToStream(m)
Catch
  Print("refused")                         ' expect: refused
End Try
Print(m.Size)                              ' expect: 0
d.Root.Name = "rows"
d.SaveToStream(m)
m.Position = 0
e = New TscXMLDocument
e.LoadFromStream(m)
Print(e.Root.Items[0].Prop("id"))          ' expect: 1
d.Root.Name = ""
d.SaveToStream(m)
' expect runtime error line 22: An XML element without a name cannot be saved: it could not be read back
