// Appends the decimal text of i, i = 1..n, to a String through a routine's reference
// parameter, as a report script builds its lines; the answer is the text's length.
function Add(&s: String, t)
{
  s += t;
}

function Run(n)
{
  var i;
  var s: String;
  s = "";
  for (i = 1; i <= n; i++)
    Add(s, IntToStr(i));
  return Length(s);
}
