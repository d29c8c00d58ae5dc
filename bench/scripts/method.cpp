// n calls of a host object's method; the answer is the total it kept.
int Run(int n)
{
  int i;
  Counter.Clear();
  for (i = 1; i <= n; i++)
    Counter.Add(i % 10);
  return Counter.Total;
}
{
}
