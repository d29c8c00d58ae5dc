// Sum of i mod 7 for i = 1..n.
function Run(n)
{
  var i, s;
  s = 0;
  for (i = 1; i <= n; i++)
    s = s + i % 7;
  return s;
}
