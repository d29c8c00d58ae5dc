// An Integer shifts in 32 bits (the count taken mod 32), however its value was
// last stored: a literal, a sum or a step. A Variant keeps its width, and so does
// a Cardinal past the Integer range.
var i, j: Integer; c: Cardinal; v: Variant;
begin
  i := 5; j := i shl 33; Print(j);             // expect: 10
  i := 5; i := i + 0; j := i shl 33; Print(j); // expect: 10
  i := 3; Print(i shl 31);                     // expect: -2147483648
  i := -8; Print(i shr 1);                     // expect: 2147483644
  i := -8; i := i * 1; Print(i shr 1);         // expect: 2147483644
  Print(5 shl 33);                             // expect: 10
  v := 5; Print(v shl 33);                     // expect: 42949672960
  c := 4294967295; Print(c shr 1);             // expect: 2147483647
  c := 4294967295; Print(c shl 1);             // expect: 8589934590
  c := 2147483648; j := 1; Print(c shr j);     // expect: 1073741824
end.
