' Set constructors into set properties, on a typed font, on a control's font,
' and through an untyped variable.
Dim f As TFont, e, v
f = TFont.Create
f.Style = [fsBold]
Print(f.Style)                        ' expect: 1
f.Style = [fsBold, fsItalic]
Print(f.Style)                        ' expect: 3
f.Style = []
Print(f.Style)                        ' expect: 0
f.Style = [fsItalic..fsStrikeout]
Print(f.Style)                        ' expect: 14
f.Style = f.Style - [fsItalic] + [fsBold]
Print(f.Style)                         ' expect: 13
Print(fsBold In f.Style)               ' expect: True
Print(fsItalic In f.Style)             ' expect: False
e = TEdit.Create(nil)
e.Font.Style = [fsUnderline]
Print(e.Font.Style)                   ' expect: 4
v = e
v.Font.Style = [fsBold, fsStrikeout]
Print(v.Font.Style)                   ' expect: 9
e.Font.Assign(f)
Print(e.Font.Style = f.Style)         ' expect: True
e.Free
f.Free
