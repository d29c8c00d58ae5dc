// A floating result beyond the range of a double is an error, in every form of the
// operation, not an infinity printed as "INF".
var d, e: Double; v: Variant;
begin
  d := 1e308;
  try e := d * 10; Print(e); except Print('product'); end;           // expect: product
  try e := d + d; Print(e); except Print('sum'); end;                // expect: sum
  try d := d * 10; Print(d); except Print('in place'); end;          // expect: in place
  try v := -d; v := v - d; Print(v); except Print('variant'); end;   // expect: variant
  Print(d / 2 * 1.5);                                                // expect: 7,5E307
  Print(d / 1e-10);   // expect runtime error line 11: Floating point overflow
end.
