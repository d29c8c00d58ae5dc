// "var t: TTestThing" stopped with "Statement expected": the grammar had no type.
var t: TTestThing;
t = Thing;
Print(t.Twice(4));         // expect: 8
