// An array made by VarArrayCreate with an element type holds values of that
// type: what is stored into it is converted first, and a value that does not
// convert leaves the element as it was.
var a: Variant; d: array[0..2] of Variant;
begin
  a := VarArrayCreate([0, 2], varInteger);
  a[1] := '7';
  Print(a[1] + a[1]);               // expect: 14
  a[2] := 2.7;
  Print(a[2]);                      // expect: 3
  Inc(a[0], 2);
  Print(VarType(a[0]) = varInteger); // expect: True
  a := VarArrayCreate([0, 1, 0, 1], varDouble);
  a[1, 1] := 3;
  Print(VarType(a[1, 1]) = varDouble); // expect: True
  a := VarArrayCreate([0, 1], varVariant);
  a[0] := '7';
  Print(a[0] + a[0]);               // expect: 77
  d := VarArrayCreate([0, 2], varInteger);  // a declared array given a typed one
  a := '7';
  d[1] := a;
  Print(d[1] + d[1]);               // expect: 14
  a := VarArrayCreate([0, 1], varInteger);
  a[0] := 5;
  a[0] := 'abc';                    // expect runtime error line 25: Could not convert variant of type (String) into type (Integer)
end.
