// The dialogs unit from C++Script: a message with a set of buttons, the two
// prompts (the written-back parameter after OK and after Cancel), the print and
// set-up dialogs through the one Execute of TCommonDialog, an open dialog.
// answer message: 7
// answer input: Петров
// answer input: новое
// cancel input
// printers: Office, Epson LX-300
// answer print: printer=1 copies=2 range=2 from=3 to=5
// answer print: orientation=1
// answer file: /tmp/chosen.txt
string s; TPrintDialog p; TPrinterSetupDialog u; TOpenDialog d;
{
  Print(MessageDlg("Удалить?", mtConfirmation, [mbYes, mbNo], 0));  // expect: 7
  Print(InputBox("Имя", "Введите имя", "никто"));    // expect: Петров
  s = "было";
  Print(InputQuery("Имя", "Введите имя", s));        // expect: True
  Print(s);                                          // expect: новое
  Print(InputQuery("Имя", "Введите имя", s));        // expect: False
  Print(s);                                          // expect: новое
  Print(mbOK + mbCancel);                            // expect: 12
  Print(ofEnableSizing);                             // expect: 524288
  Print(fdApplyButton);                              // expect: 32768
  p = TPrintDialog.Create(nil);
  p.Options = [poPageNums];
  p.MaxPage = 9;
  Print(p.Execute());                                // expect: True
  Print(p.Copies);                                   // expect: 2
  Print(p.PrintRange == prPageNums);                 // expect: True
  Print(IntToStr(p.FromPage) + "-" + IntToStr(p.ToPage));  // expect: 3-5
  p.Free();
  u = TPrinterSetupDialog.Create(nil);
  Print(u.Execute());                                // expect: True
  u.Free();
  d = TOpenDialog.Create(nil);
  Print(d.Execute());                                // expect: True
  Print(d.FileName);                                 // expect: /tmp/chosen.txt
  d.Free();
}
// expect message: Удалить?
