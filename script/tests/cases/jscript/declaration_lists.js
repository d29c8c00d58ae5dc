// Arrays and initial values in a list are each name's own.
var a = 5, b, c[2], d[3], e = 7;
function Split(x, y, &sum, &diff)
{
  sum = x + y;
  diff = x - y;
}
Print(a + e);        // expect: 12
c[1] = 1;
d[2] = 2;
Print(c[1] + d[2]);  // expect: 3
Split(7, 2, a, b);
Print(a);            // expect: 9
Print(b);            // expect: 5
Print(c[2]);         // expect runtime error line 15: Индекс массива 2 вне допустимых границ (0..1)
