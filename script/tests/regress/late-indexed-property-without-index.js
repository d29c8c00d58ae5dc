// An indexed property of an object in an untyped variable, v.Items[1], was
// called without its index and stopped with "not enough parameters".
var v;
v = Thing;
v.Caption = "x";
Print(v.Items[1]);         // expect: x#1
