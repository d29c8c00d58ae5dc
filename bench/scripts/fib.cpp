// The n-th Fibonacci number, computed by plain recursion.
int Fib(int n)
{
  if (n < 2) return n;
  return Fib(n - 1) + Fib(n - 2);
}
int Run(int n)
{
  return Fib(n);
}
{
}
