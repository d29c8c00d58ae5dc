// A character written through a chain of indexes goes back, step by step, into
// the text it came from: a property, an item of a default property, a Variant.
var s: String; v: Variant;
begin
  s := 'hello';
  s[2][1] := 'Q';
  Print(s);                       // expect: hQllo
  Thing.Caption := 'abc';
  Thing.Caption[1][1] := 'Z';
  Print(Thing.Caption);           // expect: Zbc
  v := 'abc';
  v[3][1] := 'Z';
  Print(v);                       // expect: abZ
  v := Thing;
  Thing.Caption := 'abc';
  v.Items[0][1] := 'x';
  Print(Thing.Caption);           // expect: xbc#0
  v[0][2] := 'y';
  Print(Thing.Caption);           // expect: xyc#0#0
end.
