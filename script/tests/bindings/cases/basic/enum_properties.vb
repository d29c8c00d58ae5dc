' Every enumeration the controls' properties use, set and read through its property.
Dim f, e, m, l, c, b, lb, g, s
f = TForm.Create(Nothing)
e = TEdit.Create(f)
m = TMemo.Create(f)
l = TListBox.Create(f)
c = TComboBox.Create(f)
b = TCheckBox.Create(f)
lb = TLabel.Create(f)
g = TGroupBox.Create(f)
s = TScrollBox.Create(f)
e.BevelInner = bvLowered
Print(e.BevelInner)                                  ' expect: 1
m.BevelInner = bvRaised
Print(m.BevelInner)                                  ' expect: 2
l.BevelInner = bvSpace
Print(l.BevelInner)                                  ' expect: 3
c.BevelInner = bvNone
Print(c.BevelInner)                                  ' expect: 0
l.BorderStyle = bsNone
Print(l.BorderStyle)                                 ' expect: 0
e.BorderStyle = bsNone
Print(e.BorderStyle)                                 ' expect: 0
m.BorderStyle = bsNone
Print(m.BorderStyle)                                 ' expect: 0
s.BorderStyle = bsNone
Print(s.BorderStyle)                                 ' expect: 0
f.BorderStyle = bsDialog
Print(f.BorderStyle)                                 ' expect: 3
g.Align = alTop
Print(g.Align)                                       ' expect: 1
m.Alignment = taCenter
Print(m.Alignment)                                   ' expect: 2
lb.Alignment = taRightJustify
Print(lb.Alignment)                                  ' expect: 1
b.Alignment = taLeftJustify
Print(b.Alignment)                                   ' expect: 0
lb.Layout = tlCenter
Print(lb.Layout)                                     ' expect: 1
e.CharCase = ecUpperCase
Print(e.CharCase)                                    ' expect: 1
m.ScrollBars = ssBoth
Print(m.ScrollBars)                                  ' expect: 3
c.Style = csDropDownList
Print(c.Style)                                       ' expect: 2
l.Style = lbOwnerDrawFixed
Print(l.Style)                                       ' expect: 1
b.State = cbGrayed
Print(b.State)                                       ' expect: 2
f.WindowState = wsMaximized
Print(f.WindowState)                                 ' expect: 2
f.FormStyle = fsStayOnTop
Print(f.FormStyle)                                   ' expect: 3
f.Position = poScreenCenter
Print(f.Position)                                    ' expect: 4
e.Anchors = [akLeft, akRight]
Print(e.Anchors)                                     ' expect: 5
f.BorderIcons = [biSystemMenu]
Print(f.BorderIcons)                                 ' expect: 1
f.Free
