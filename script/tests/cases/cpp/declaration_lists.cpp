// Every name of a list gets the list's type; arrays and initial values are each name's own.
int a = 5, b, c[2], d[3], e = 7;
void Split(int x, int y, int &sum, int &diff)
{
  sum = x + y;
  diff = x - y;
}
{
  Print(a + e);        // expect: 12
  Print(b);            // expect: 0
  c[1] = 1;
  d[2] = 2;
  Print(c[1] + d[2]);  // expect: 3
  Split(7, 2, a, b);
  Print(a);            // expect: 9
  Print(b);            // expect: 5
  Print(c[2]);         // expect runtime error line 17: Индекс массива 2 вне допустимых границ (0..1)
}
