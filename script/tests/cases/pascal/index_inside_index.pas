// An index may itself read the array, the property or the text it indexes:
// the element or character written is the one the outer index names.
var t: TTestThing; m: array[0..2, 0..2] of Integer; a: array[0..1] of String; i, j: Integer;
begin
  for i := 0 to 2 do
    for j := 0 to 2 do
      m[i, j] := i * 10 + j;
  Print(m[2, m[0, 1]]);           // expect: 21
  m[2, m[0, 1]] := 99;
  Print(m[2, 1]);                 // expect: 99
  Print(m[0, 1]);                 // expect: 1
  t := TTestThing.Create(nil);
  t.Caption := 'abcdef';
  Thing.Caption := 'host';
  Thing.Caption[Length(t.Caption) - 2] := 'Y';
  Print(Thing.Caption);           // expect: hosY
  Print(t.Caption);               // expect: abcdef
  a[0] := 'hello';
  a[1] := 'ab';
  a[0][Length(a[1])] := 'Z';
  Print(a[0]);                    // expect: hZllo
  Print(a[1]);                    // expect: ab
  t.Free;
end.
