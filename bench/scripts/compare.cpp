// Compares two texts of 1,001 characters that differ in the last one, n times with each of
// == != < >, as a report script compares a memo's text with a remembered one. The answer
// counts the comparisons that hold.
int Run(int n)
{
  int i, c;
  string a, b;
  a = "";
  for (i = 1; i <= 100; i++)
    a = a + "абвгд ЕЖЗИ";
  b = a + "б";
  a = a + "а";
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
