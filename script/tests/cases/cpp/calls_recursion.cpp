// Calls of script routines: what a recursive call saves and puts back, what an
// argument becomes in its parameter, and var parameters written back, also when
// the call raises and is caught further out.
int g;

string Mix(int n)
{
  int i; double d; string s;
  i = n * 10; d = n / 4; s = "n" + IntToStr(n);
  if (n > 0) Mix(n - 1);
  return IntToStr(i) + " " + FloatToStr(d) + " " + s;
}

void Count(int n, int &acc)
{
  if (n == 0) return;
  acc = acc + n;
  Count(n - 1, acc);
}

int Pair(int a, int b)
{
  if (a == 0) return b;
  return Pair(a - 1, a + b);
}

double Half(double x) { return x / 2; }
int Kind(double x) { return VarType(x); }

int Wrap(int n, int x)
{
  if (n == 0) return x;
  return Wrap(n - 1, x + 1000000000);
}

int Inc1(int n) { return n + 1; }

int Deep(int n)
{
  int k, r;
  k = n * 100;
  if (n == 0) return 1 div n;
  if (n == 2) {
    try { Deep(n - 1); } except { r = k + n; }
    return r;
  }
  return Deep(n - 1) + k;
}

bool IsOdd(int n) { if (n == 0) return false; return IsEven(n - 1); }
bool IsEven(int n) { if (n == 0) return true; return IsOdd(n - 1); }

{
  Print(Mix(2));                 // expect: 20 0,5 n2
  g = 0;
  Count(100, g);
  Print(g);                      // expect: 5050
  Print(Pair(3, 0));             // expect: 6
  Print(Half(3));                // expect: 1,5
  Print(Kind(3));                // expect: 5
  Print(Wrap(5, 0));             // expect: 705032704
  Print(Inc1(Inc1(Inc1(0))));    // expect: 3
  Print(Deep(3));                // expect: 502
  Print(IsEven(11));             // expect: False
}
