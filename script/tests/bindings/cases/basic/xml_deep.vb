' An XML tree a script builds as deep as it likes is built, freed and written
' without one nested call per level: a tree the reader takes loads back whole,
' a deeper one is refused before anything is written.
Dim d, e, x, m, i
d = New TscXMLDocument
d.Root.Name = "r"
x = d.Root
For i = 1 To 1000
  x = x.Add
  x.Name = "a"
Next
m = New TMemoryStream
d.SaveToStream(m)
m.Position = 0
e = New TscXMLDocument
e.LoadFromStream(m)
x = e.Root
i = 0
While x.Count > 0
  x = x.Items[0]
  i = i + 1
Wend
Print(i)                                   ' expect: 1000
For i = 1 To 200000
  x = x.Add
  x.Name = "b"
Next
e.Root.Clear
Print(e.Root.Count)                        ' expect: 0
x = e.Root
For i = 1 To 200000
  x = x.Add
  x.Name = "b"
Next
m = New TMemoryStream
Try
  e.SaveToStream(m)
Catch
  Print("refused")                         ' expect: refused
End Try
Print(m.Size)                              ' expect: 0
e.SaveToStream(m)
' expect runtime error line 42: XML elements nested deeper than 1000 levels cannot be saved: they could not be read back
