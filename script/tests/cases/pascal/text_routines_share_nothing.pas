// Delete, Insert and SetLength change their variable alone, whoever else holds the same
// text or array, and a call that fails leaves the variable as it was.
var s, t: String; x, y, a, b: Variant; i: Integer;
begin
  s := 'abcdef'; t := s; Delete(s, 2, 2);
  Print(s + ' ' + t);                  // expect: adef abcdef
  x := 'abcdef'; y := x; Delete(x, 5, 9);
  Print(x + ' ' + y);                  // expect: abcd abcdef
  s := 'abc'; Insert(s, s, 2);
  Print(s);                            // expect: aabcbc
  x := 'abc'; y := x; Insert('-', x, 4);
  Print(x + ' ' + y);                  // expect: abc- abc
  s := 'abc';
  try SetLength(s, 2147483647) except Print('refused') end;  // expect: refused
  Print(s);                            // expect: abc
  x := 'abc';
  try SetLength(x, 2147483647) except Print('refused') end;  // expect: refused
  Print(x);                            // expect: abc
  a := VarArrayCreate([0, 2], varVariant); a[0] := 'p'; b := a;
  SetLength(a, 5); a[4] := 'q';
  Print(IntToStr(Length(a)) + ' ' + IntToStr(Length(b)) + ' ' + b[0] + a[0] + a[4]);  // expect: 5 3 ppq
  try SetLength(a, -5) except Print('refused') end;  // expect: refused
  Print(Length(a));                    // expect: 5
  x := 5;
  try SetLength(x, 3) except Print('not an array') end;  // expect: not an array
  Print(x);                            // expect: 5
  s := 'abc';
  for i := 1 to 3 do Insert(IntToStr(i), s, 1);
  Print(s);                            // expect: 321abc
  x := 'abc';
  for i := 1 to 3 do Delete(x, Length(x), 1);
  Print('[' + x + ']');                // expect: []
end.
