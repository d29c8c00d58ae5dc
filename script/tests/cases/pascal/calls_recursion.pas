// Calls of script routines: what a recursive call saves and puts back, what an
// argument becomes in its parameter, and var parameters written back, also when
// the call raises and is caught further out.
var g: Integer;
    total: Variant;

// Locals of every kind survive the recursive calls made between their writes.
function Mix(n: Integer): String;
var i: Integer; d: Double; s: String; v: Variant; c: Currency;
begin
  i := n * 10; d := n / 4; s := 'n' + IntToStr(n); v := Null; c := n * 1.5;
  if n > 0 then Mix(n - 1);
  Result := IntToStr(i) + ' ' + FloatToStr(d) + ' ' + s + ' ' + VarToStr(v) + '|' + VarToStr(c);
end;

// A var parameter passed down through the recursion.
procedure Count(n: Integer; var acc: Integer);
begin
  if n = 0 then exit;
  acc := acc + n;
  Count(n - 1, acc);
end;

// Arguments are all computed before any parameter is set: b reads the old a.
function Pair(a, b: Integer): Integer;
begin
  if a = 0 then Result := b
  else Result := Pair(a - 1, a + b);
end;

// An Integer argument given to a Double parameter becomes a Double.
function Half(x: Double): Double;
begin
  Result := x / 2;
end;

function Kind(x: Double): Integer;
begin
  Result := VarType(x);
end;

// Integer arithmetic wraps at 32 bits inside a recursive call too.
function Wrap(n: Integer; x: Integer): Integer;
begin
  if n = 0 then Result := x
  else Result := Wrap(n - 1, x + 1000000000);
end;

// Variant sums leave 32 bits for Int64.
function Big(n: Variant): Variant;
begin
  if n <= 0 then Result := 0
  else Result := Big(n - 1) + 3000000;
end;

// A call of the same routine as its own argument.
function Inc1(n: Integer): Integer;
begin
  Result := n + 1;
end;

// A raise deep down, caught two levels up: each caller keeps its locals.
function Deep(n: Integer): Integer;
var k: Integer;
begin
  k := n * 100;
  if n = 0 then
    Result := 1 div n
  else if n = 2 then begin
    try
      Deep(n - 1);
    except
      Result := k + n;
    end;
  end else
    Result := Deep(n - 1) + k;
end;

function IsOdd(n: Integer): Boolean;
begin
  if n = 0 then Result := False else Result := IsEven(n - 1);
end;

function IsEven(n: Integer): Boolean;
begin
  if n = 0 then Result := True else Result := IsOdd(n - 1);
end;

// More locals than a call keeps in place: the rest are saved on the heap.
function Many(n: Integer): Integer;
var a, b, c, d, e, f, h, i, j: Integer;
begin
  a := n; b := n + 1; c := n + 2; d := n + 3; e := n + 4; f := n + 5; h := n + 6; i := n + 7; j := n + 8;
  if n > 0 then Many(n - 1);
  Result := a + b + c + d + e + f + h + i + j;
end;

function Nul(v: Variant): Variant;
begin
  Result := v;
end;

begin
  Print(Mix(2));                 // expect: 20 0,5 n2 |3
  g := 0;
  Count(100, g);
  Print(g);                      // expect: 5050
  Print(Pair(3, 0));             // expect: 6
  Print(Half(3));                // expect: 1,5
  Print(Kind(3));                // expect: 5
  Print(Wrap(5, 0));             // expect: 705032704
  total := Big(1000);
  Print(total);                  // expect: 3000000000
  Print(Inc1(Inc1(Inc1(0))));    // expect: 3
  Print(Deep(3));                // expect: 502
  Print(IsEven(11));             // expect: False
  Print(VarType(Nul(Null)));     // expect: 1
  Print(Many(3));                // expect: 63
end.
