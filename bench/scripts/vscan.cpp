// Walks a text of n characters held in a Variant one at a time, as a script reads and
// mends a memo's text: per step a character read by index and, for a blank, one written
// by index. The answer counts the blanks.
int Run(int n)
{
  int i, c;
  Variant x;
  x = "";
  for (i = 1; i <= n / 10; i++)
    x = x + "abcd efgh ";
  c = 0;
  for (i = 1; i <= Length(x); i++)
    if (x[i] == " ") {
      x[i] = "_";
      c = c + 1;
    }
  if (Pos(" ", x) > 0)
    c = -1;
  return c;
}
{
}
