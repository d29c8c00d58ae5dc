// An Integer shifts in 32 bits (the count taken mod 32), however its value was
// last stored: a literal, a sum or a step. A Variant keeps its width.
int i, j; Variant v;
{
  i = 5; j = i << 33; Print(j);               // expect: 10
  i = 4; i++; j = i << 33; Print(j);          // expect: 10
  i = 5; i += 0; Print(i << 33);              // expect: 10
  i = 3; Print(i << 31);                      // expect: -2147483648
  i = -8; Print(i >> 1);                      // expect: 2147483644
  i = -7; i--; Print(i >> 1);                 // expect: 2147483644
  v = 5; Print(v << 33);                      // expect: 42949672960
}
