// The n-th Fibonacci number, computed by plain recursion.
function Fib(n)
{
  if (n < 2) return n;
  return Fib(n - 1) + Fib(n - 2);
}
function Run(n)
{
  return Fib(n);
}
