int a;
void Inc2(int &x) { x = x + 2; }
int Fact(int n) { if (n <= 1) return 1; else return n * Fact(n - 1); }
int Fib(int n) { if (n < 2) return n; return Fib(n - 1) + Fib(n - 2); }
int Twice(int n) { return Later(n) * 2; }
int Later(int n) { return n * n; }
string Greet(string Name, string Greeting = "Hello") { return Greeting + ", " + Name; }
{
  a = 1;
  Inc2(a);
  Print(a);            // expect: 3
  Print(Fact(5));      // expect: 120
  Print(Fib(10));      // expect: 55
  Print(Twice(3));     // expect: 18
  Print(Greet("Ann")); // expect: Hello, Ann
  Print(Greet("Bob", "Hi"));  // expect: Hi, Bob
}
