// printers: Office, Epson LX-300
// answer print: printer=1 copies=3 collate=1 range=2 from=2 to=4
// cancel print
// answer print: paper=11 orientation=1
var p: TPrintDialog; s: TPrinterSetupDialog;
begin
  p := TPrintDialog.Create(nil);
  p.Options := [poPageNums, poWarning];
  p.MinPage := 1;
  p.MaxPage := 10;
  Print(p.Copies);                      // expect: 0
  Print(p.Execute);                     // expect: True
  Print(p.Copies);                      // expect: 3
  Print(p.Collate);                     // expect: True
  Print(p.PrintRange = prPageNums);     // expect: True
  Print(IntToStr(p.FromPage) + '-' + IntToStr(p.ToPage));  // expect: 2-4
  Print(p.PrintToFile);                 // expect: False
  Print(p.Execute);                     // expect: False
  p.Free;
  s := TPrinterSetupDialog.Create(nil);
  Print(s.Execute);                     // expect: True
  s.Free;
end.
