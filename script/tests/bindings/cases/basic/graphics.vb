' The graphics unit: colour constants, enumerations, fonts, pens, brushes,
' a bitmap's canvas and its pixels, stretching, and a metafile canvas.
Dim f, p, br, bmp, c, m, mc, pic, b2
Print(clRed)                                                 ' expect: 255
Print(clBlue)                                                ' expect: 16711680
Print(clWindowText)                                          ' expect: -2147483640
Print(clNone)                                                ' expect: 536870911
Print(clDefault)                                             ' expect: 536870912
Print(fsItalic)                                              ' expect: 2
Print(psDot)                                                 ' expect: 2
Print(bsClear)                                               ' expect: 1
Print(pmXor)                                                 ' expect: 14
Print(fpFixed)                                               ' expect: 2
f = New TFont
f.Name = "Arial"
f.Size = 12
f.Style = [fsBold, fsUnderline]
f.Color = clRed
Print(f.Name & " " & IntToStr(f.Size) & " " & IntToStr(f.Style) & " " & IntToStr(f.Color)) ' expect: Arial 12 5 255
p = New TPen
p.Width = 3
p.Style = psDash
Print(p.Width * 10 + p.Style)                                ' expect: 31
br = New TBrush
br.Color = clYellow
Print(br.Color)                                              ' expect: 65535
bmp = New TBitmap
bmp.Width = 20
bmp.Height = 10
Print(bmp.Width * 100 + bmp.Height)                          ' expect: 2010
c = bmp.Canvas
c.Brush.Color = clBlue
c.Pen.Color = clBlue
c.Rectangle(0, 0, 5, 5)
Print(c.Pixels[2, 2] = clBlue)                               ' expect: True
c.Pixels[10, 8] = clLime
Print(c.Pixels[10, 8])                                       ' expect: 65280
c.StretchDraw(0, 0, 20, 10, bmp)
b2 = New TBitmap
b2.Width = 120
b2.Height = 60
b2.Canvas.StretchDraw(0, 0, 100, 50, bmp)
Print(b2.Canvas.Pixels[20, 20] = clBlue)                     ' expect: True
Print(b2.Canvas.Pixels[52, 42])                              ' expect: 65280
Print(b2.Canvas.Pixels[100, 25] = clWhite)                   ' expect: True
m = New TMetafile
mc = New TMetafileCanvas(m, 0)
mc.Rectangle(0, 0, 30, 20)
mc.Free
Print(m.Width * 100 + m.Height)                              ' expect: 3020
pic = New TPicture
Print(pic.Width)                                             ' expect: 0
Print(bmp.ClassName)                                         ' expect: TBitmap
