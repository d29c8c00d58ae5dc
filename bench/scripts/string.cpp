// Appends the decimal text of 1..n to one string; the answer is its length.
int Run(int n)
{
  int i;
  string s;
  s = "";
  for (i = 1; i <= n; i++)
    s = s + IntToStr(i);
  return Length(s);
}
{
}
