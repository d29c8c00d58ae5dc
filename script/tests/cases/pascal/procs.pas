var a: Integer;

procedure Inc2(var x: Integer);
begin
  x := x + 2;
end;

function Fact(n: Integer): Integer;
begin
  if n <= 1 then Result := 1
  else Result := n * Fact(n - 1);
end;

function Fib(n: Integer): Integer;
begin
  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2);
end;

function Twice(n: Integer): Integer;
begin
  Result := Later(n) * 2;
end;

function Later(n: Integer): Integer;
begin
  Result := n * n;
end;

function Greet(Name: String; Greeting: String = 'Hello'): String;
begin
  Result := Greeting + ', ' + Name;
end;

begin
  a := 1;
  Inc2(a);
  Print(a);            // expect: 3
  Print(Fact(5));      // expect: 120
  Print(Fib(10));      // expect: 55
  Print(Twice(3));     // expect: 18
  Print(Greet('Ann')); // expect: Hello, Ann
  Print(Greet('Bob', 'Hi'));  // expect: Hi, Bob
end.
