var a;
function Inc2(&x) { x = x + 2; }
function Fact(n) { if (n <= 1) return 1; else return n * Fact(n - 1); }
function Fib(n) { if (n < 2) return n; return Fib(n - 1) + Fib(n - 2); }
function Twice(n) { return Later(n) * 2; }
function Later(n) { return n * n; }
function Greet(Name) { return "Hello, " + Name; }
a = 1;
Inc2(a);
Print(a);            // expect: 3
Print(Fact(5));      // expect: 120
Print(Fib(10));      // expect: 55
Print(Twice(3));     // expect: 18
Print(Greet("Ann")); // expect: Hello, Ann
