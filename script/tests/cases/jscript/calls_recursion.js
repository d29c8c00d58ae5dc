// Calls of script routines: what a recursive call saves and puts back, and what
// each caller keeps when a call raises and is caught further out.
function Mix(n)
{
  var i = n * 10, s = "n" + IntToStr(n), d = n / 4;
  if (n > 0) Mix(n - 1);
  return IntToStr(i) + " " + FloatToStr(d) + " " + s;
}

function Pair(a, b)
{
  if (a == 0) return b;
  return Pair(a - 1, a + b);
}

function Inc1(n) { return n + 1; }

function Deep(n)
{
  var k = n * 100, r;
  if (n == 0) return 1 div n;
  if (n == 2) {
    try { Deep(n - 1); } except { r = k + n; }
    return r;
  }
  return Deep(n - 1) + k;
}

function Sum(n) { if (n == 0) return 0; return Sum(n - 1) + 3000000; }

function IsOdd(n) { if (n == 0) return false; return IsEven(n - 1); }
function IsEven(n) { if (n == 0) return true; return IsOdd(n - 1); }

Print(Mix(2));                 // expect: 20 0,5 n2
Print(Pair(3, 0));             // expect: 6
Print(Inc1(Inc1(Inc1(0))));    // expect: 3
Print(Deep(3));                // expect: 502
Print(Sum(1000));              // expect: 3000000000
Print(IsEven(11));             // expect: False
