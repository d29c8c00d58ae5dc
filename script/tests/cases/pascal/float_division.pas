// "/" always yields a floating value, and a Double or Extended variable keeps
// what it is given as a floating value.
var i: Integer; d: Double; e: Extended;
procedure Show(x: Double);
begin
  Print(Format('%.2f', [x]));
end;
function Half(n: Integer): Double;
begin
  Result := n;
  Result := Result / 2;
end;
begin
  i := 7;
  d := i / 2 + 1;
  Print(d);                      // expect: 4,5
  Print(1 / 3 * 3);              // expect: 1
  Print(i / 7 * 2 + 1);          // expect: 3
  d := 5;
  Print(Format('%.2f', [d]));    // expect: 5,00
  e := i;
  Print(Format('%.1f', [e]));    // expect: 7,0
  Show(3);                       // expect: 3,00
  Print(Half(3));                // expect: 1,5
  Print(Format('%.1f', [Half(4)]));  // expect: 2,0
end.
