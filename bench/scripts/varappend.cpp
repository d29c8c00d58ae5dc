// Appends the decimal text of i, i = 1..n, to a string through a routine's reference
// parameter, as a report script builds its lines; the answer is the text's length.
void Add(string &s, string t)
{
  s = s + t;
}

int Run(int n)
{
  int i;
  string s;
  s = "";
  for (i = 1; i <= n; i++)
    Add(s, IntToStr(i));
  return Length(s);
}
{
}
