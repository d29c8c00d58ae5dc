// The platform's formatting as scripts reach it through the built-ins.
begin
  Print(FormatFloat('.00', 1234.5678));           // expect: 1234,57
  Print(FormatFloat(';-0.00', 1.5));              // expect: 1,5
  Print(FormatFloat('#.###E-0', 0));              // expect: 0E0
  Print(Format('%.1e', [1234.5]));                // expect: 1,2E+003
  Print(FormatDateTime('hhh:nnn Am/Pm', EncodeTime(14, 7, 9, 0)));   // expect: 02:07 Pm
end.
