// The step of a C-style for loop: a counter stepped in place stores what i++ stores
// anywhere, and a step that fails is reported at its own position.
var i, n, d, v;
n = 0;
for (v = 2147483646; v <= 2147483648; v++) n++;
Print(v);  // expect: 2147483649
Print(n);  // expect: 3
d = 0.5;
for (d = d; d < 2.5; d++) n++;
Print(d);  // expect: 2,5
Print(n);  // expect: 5
for (i = 3; i > 0; i--) { if (i == 2) continue; Print(i); }  // expect: 3
// expect: 1
for (v = "a"; v != "ab"; v++) Print(v);  // expect: a
// expect runtime error line 14: Could not convert variant of type (String) into type (Double)
