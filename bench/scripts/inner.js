// byvalue with a routine declared inside the one given the text: the inner routine names
// another parameter, not the text, so the text is let go when the call returns as before.
function Look(t, k)
{
  function Twice()
  {
    return k * 2;
  }
  Twice();
}

function Run(n)
{
  var i, s;
  s = "";
  for (i = 1; i <= n; i++) {
    s = s + IntToStr(i);
    Look(s, i);
  }
  return Length(s);
}
