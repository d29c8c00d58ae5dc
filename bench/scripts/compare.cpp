// Compares a text of 10,000 characters with a short one, n times with each of
// == != < >, as a report script checks a memo's text against a value. The answer
// counts the comparisons that hold.
int Run(int n)
{
  int i, c;
  string a, b;
  a = "";
  for (i = 1; i <= 1000; i++)
    a = a + "абвгд ЕЖЗИ";
  b = "б";
  c = 0;
  for (i = 1; i <= n; i++) {
    if (a == b) c = c + 1;
    if (a != b) c = c + 1;
    if (a < b) c = c + 1;
    if (a > b) c = c + 1;
  }
  return c;
}
{
}
