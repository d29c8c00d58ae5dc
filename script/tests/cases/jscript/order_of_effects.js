// x = x op e and x op= e where e changes x: the target's value is read first, as the
// left operand of every operator is; x = e op x reads e first.
var x, s;
function F() { x = 100; return 1; }
function Grow() { s = "changed"; return "!"; }
x = 1;
x = x + F();
Print(x);            // expect: 2
x = 1;
x += F();
Print(x);            // expect: 2
x = 1;
x *= F() + 1;
Print(x);            // expect: 2
x = 1;
x = F() + x;
Print(x);            // expect: 101
s = "a";
s = s + Grow();
Print(s);            // expect: a!
s = "a";
s += Grow();
Print(s);            // expect: a!
s = "a";
s = s + "-" + Grow();
Print(s);            // expect: a-!
