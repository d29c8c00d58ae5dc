// Appends the decimal text of i, i = 1..n, to a text and passes the text so far to a
// routine by value after each step; the answer is the text's length.
function Look(t)
{
}

function Run(n)
{
  var i, s;
  s = "";
  for (i = 1; i <= n; i++) {
    s = s + IntToStr(i);
    Look(s);
  }
  return Length(s);
}
