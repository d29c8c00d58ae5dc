// The step of a C-style for loop: a counter stepped in place stores what i++ stores
// anywhere, and a step that fails is reported at its own position.
int i, n; float d; Variant v;
{
  n = 0;
  for (i = 2147483645; i >= 0; i++) n++;
  Print(i);  // expect: -2147483648
  Print(n);  // expect: 3
  n = 0;
  for (v = 2147483646; v <= 2147483648; v++) n++;
  Print(v);  // expect: 2147483649
  Print(n);  // expect: 3
  for (d = 0; d < 2.5; d++) n++;
  Print(d);  // expect: 3
  for (i = 3; i > 0; i--) { if (i == 2) continue; Print(i); }  // expect: 3
  // expect: 1
  for (v = "a"; v != "ab"; v++) Print(v);  // expect: a
  // expect runtime error line 17: Could not convert variant of type (String) into type (Double)
}
