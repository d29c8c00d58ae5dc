var f: TFont; p: TPen; br: TBrush; bmp: TBitmap; c: TCanvas;
begin
  Print(clRed);                     // expect: 255
  Print(clBlue);                    // expect: 16711680
  Print(clWindowText);              // expect: -2147483640
  Print(clNone);                    // expect: 536870911
  Print(clDefault);                 // expect: 536870912
  Print(fsItalic);                  // expect: 2
  Print(psDot);                     // expect: 2
  Print(bsClear);                   // expect: 1
  f := TFont.Create;
  f.Name := 'Arial';
  f.Size := 12;
  f.Style := fsBold + fsUnderline;
  f.Color := clRed;
  Print(f.Name + ' ' + IntToStr(f.Size) + ' ' + IntToStr(f.Style) + ' ' + IntToStr(f.Color)); // expect: Arial 12 5 255
  p := TPen.Create;
  p.Width := 3;
  p.Style := psDash;
  Print(p.Width * 10 + p.Style);    // expect: 31
  br := TBrush.Create;
  br.Color := clYellow;
  Print(br.Color);                  // expect: 65535
  bmp := TBitmap.Create;
  bmp.Width := 20;
  bmp.Height := 10;
  Print(bmp.Width * 100 + bmp.Height); // expect: 2010
  c := bmp.Canvas;
  c.Brush.Color := clBlue;
  c.Pen.Color := clBlue;
  c.Rectangle(0, 0, 5, 5);
  Print(c.Pixels[2, 2] = clBlue);   // expect: True
  Print(c.Pixels[10, 8] = clWhite); // expect: True
  c.Pixels[10, 8] := clLime;
  Print(c.Pixels[10, 8]);           // expect: 65280
  c.Font.Assign(f);
  Print(c.Font.Name);               // expect: Arial
  Print(c.TextWidth('abc') > 0);    // expect: True
  c.Draw(0, 0, bmp);
  c.StretchDraw(0, 0, 20, 10, bmp);
  f.Free;
  p.Free;
  br.Free;
  c.Font.Free;                      // expect runtime error line 44: Объект TFont принадлежит другому объекту и не может быть уничтожен сценарием
end.
