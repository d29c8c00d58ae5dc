// A constructor takes one handle for the object it makes, none besides.
var a = TStringList.Create(), b = TStringList.Create(), c = TStringList.Create();
Print(b - a);                         // expect: 1
Print(c - b);                         // expect: 1
