// Sum of i mod 7 for i = 1..n.
int Run(int n)
{
  int i, s;
  s = 0;
  for (i = 1; i <= n; i++)
    s = s + i % 7;
  return s;
}
{
}
