// s = s + a + b ...: every join of a chain that starts at the target appends in place,
// with the results, the order and the errors of the joins as written.
int i, z;
string s, t;
{
  s = "";
  for (i = 1; i <= 3; i++)
    s = s + ", " + IntToStr(i);
  Print(s);              // expect: , 1, 2, 3
  t = s;
  s = s + "!" + "?";
  Print(t);              // expect: , 1, 2, 3
  Print(s);              // expect: , 1, 2, 3!?
  s = "a";
  z = 0;
  try {
    s = s + "x" + IntToStr(1 div z);
  } except {
    Print("caught");     // expect: caught
  }
  Print(s);              // expect: a
  s = "p";
  s = s + "q" + s;
  Print(s);              // expect: pqp
}
