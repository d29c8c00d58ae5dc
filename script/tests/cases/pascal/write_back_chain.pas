// A character written at the end of a chain of indexes goes back through every
// step as that step was read, also when an index on the way runs the same
// property, helper or array for another object or element first.
var t: TTestThing; a: array[0..1] of Variant; v: Variant; s: array[0..1] of String;
    m: array[0..1, 0..1] of Integer;
begin
  t := TTestThing.Create(nil);
  t.Caption := 'abcdef';
  Thing.Caption := 'host';
  Thing.Caption[2][Length(t.Caption) - 5] := 'Y';   // the last index reads Caption of t
  Print(Thing.Caption);                             // expect: hYst
  Thing.Caption[Length(t.Caption) - 3][1] := 'Z';   // an index on the way reads it
  Print(Thing.Caption);                             // expect: hYZt
  with Thing do Caption[1][Length(t.Caption) - 5] := 'H';
  Print(Thing.Caption);                             // expect: HYZt
  Print(t.Caption);                                 // expect: abcdef
  s[0] := 'hello';
  s[1] := 'ab';
  s[0][2][Length(s[1]) - 1] := 'Q';                 // a typed array's element helper
  a[0] := 'hello';
  a[1] := 'ab';
  a[0][3][Length(a[1]) - 1] := 'Q';                 // an untyped element, then late indexes
  v := VarArrayCreate([0, 1], varVariant);
  v[0] := 'hello';
  v[1] := 'ab';
  v[0][4][Length(v[1]) - 1] := 'Q';                 // three late indexes back into v
  Print(s[0] + ' ' + s[1]);                         // expect: hQllo ab
  Print(a[0] + ' ' + a[1]);                         // expect: heQlo ab
  Print(v[0] + ' ' + v[1]);                         // expect: helQo ab
  m[0, 1] := 1;
  m[1, 1] := 5;
  Inc(m[1, m[0, 1]], 10);                           // a var argument written back
  Print(m[1, 1] + m[0, 1] * 100);                   // expect: 115
  Insert('Z', s[Length(s[1]) - 2], 2);
  Print(s[0] + ' ' + s[1]);                         // expect: hZQllo ab
  t.Free;
end.
