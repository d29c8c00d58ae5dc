// n steps of a floating-point recurrence with + - * and /.
float Run(int n)
{
  int i;
  float x;
  x = 0.5;
  for (i = 1; i <= n; i++)
    x = x * 0.999 + i / 3.0 - 1.1;
  return x;
}
{
}
