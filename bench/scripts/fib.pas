// The n-th Fibonacci number, computed by plain recursion.
function Fib(n: Integer): Integer;
begin
  if n < 2 then
    Result := n
  else
    Result := Fib(n - 1) + Fib(n - 2);
end;

function Run(n: Integer): Integer;
begin
  Result := Fib(n);
end;

begin
end.
