// Joins ", " and the decimal text of i onto one string, i = 1..n; the answer is its length.
function Run(n)
{
  var i, s;
  s = "";
  for (i = 1; i <= n; i++)
    s = s + ", " + IntToStr(i);
  return Length(s);
}
