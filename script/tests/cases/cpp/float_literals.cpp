// Number literals are read with a decimal point whatever the desktop's locale, and
// printed by the program's own decimal separator.
float d;
{
  d = 2.5;
  Print(d);                      // expect: 2,5
  Print(2.5 * 2);                // expect: 5
  Print(0.125 + 2.5);            // expect: 2,625
  Print(d == 2.5);               // expect: True
  Print(Format("%.2f", [0.5]));  // expect: 0,50
}
