// n calls of a host object's method; the answer is the total it kept.
function Run(n)
{
  var i;
  Counter.Clear();
  for (i = 1; i <= n; i++)
    Counter.Add(i % 10);
  return Counter.Total;
}
