// Walks a text of n characters one at a time, as a report script reads a long memo: per
// step Length, a character by index, Copy of one character and Ord. The answer counts
// the blanks.
function Run(n)
{
  var i, c, s: String;
  s = "";
  for (i = 1; i <= n / 10; i++)
    s = s + "abcd efgh ";
  c = 0;
  i = 1;
  while (i <= Length(s)) {
    if ((s[i] == " ") && (Copy(s, i, 1) == " ") && (Ord(s[i]) == 32))
      c = c + 1;
    i = i + 1;
  }
  return c;
}
