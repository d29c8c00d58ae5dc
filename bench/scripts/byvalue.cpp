// Appends the decimal text of i, i = 1..n, to a string and passes the text so far to a
// routine by value after each step; the answer is the text's length.
void Look(string t)
{
}

int Run(int n)
{
  int i;
  string s;
  s = "";
  for (i = 1; i <= n; i++) {
    s = s + IntToStr(i);
    Look(s);
  }
  return Length(s);
}
{
}
