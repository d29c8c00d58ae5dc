// An array made by VarArrayCreate with an element type holds values of that type.
var a, d[3];
a = VarArrayCreate([0, 2], varInteger);
a[1] = "7";
Print(a[1] + a[1]);                 // expect: 14
a[2] = 2.7;
Print(a[2]);                        // expect: 3
a[0] += 2.6;
Print(a[0]);                        // expect: 3
a = VarArrayCreate([0, 1], varVariant);
a[0] = "7";
Print(a[0] + a[0]);                 // expect: 77
d = VarArrayCreate([0, 2], varInteger);     // a declared array given a typed one
a = "7";
d[1] = a;
Print(d[1] + d[1]);                 // expect: 14
a = VarArrayCreate([0, 1], varInteger);
a[0] = "abc";                       // expect runtime error line 18: Could not convert variant of type (String) into type (Integer)
