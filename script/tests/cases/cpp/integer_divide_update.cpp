// x /= e on an Integer is refused as x = x / e is: the quotient is real.
int x;
{
  x = 7;
  x /= 2;
}
// expect compile error 5:9: Несовместимые типы: 'Integer', 'Extended'
