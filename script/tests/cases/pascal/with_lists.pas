// A with list opens its objects in order; a name is looked for from the last
// object back, then among the script's own names.
var t: TTestThing; v: Variant;
begin
  t := Thing;
  v := Thing;
  with Thing, t, Thing do
    Caption := 'x';
  Print(t.Caption);                           // expect: x
  with t, Thing, t do
    Print(Twice(Count));                      // expect: 14
  with Thing, Thing, Thing do
    Print(Length(Caption) + Count);           // expect: 8
  with v, Thing do
    Print(Caption + 'y');                     // expect: xy
  with Thing, v, v do
    Print(Caption + 'z');                     // expect: xz
end.
