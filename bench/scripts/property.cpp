// n reads and n writes of a host object's published property; the answer is its last value.
int Run(int n)
{
  int i;
  Counter.Value = 0;
  for (i = 1; i <= n; i++)
    Counter.Value = Counter.Value + i % 10;
  return Counter.Total;
}
{
}
