int a[3], m[2][2], i, sum;
{
  for (i = 0; i < 3; i++) a[i] = (i + 1) * (i + 1);
  sum = 0;
  for (i = 0; i < 3; i++) sum = sum + a[i];
  Print(sum);        // expect: 14
  m[1][0] = 5;
  Print(m[1][0]);    // expect: 5
  Print(a[3]);       // expect runtime error line 9: Индекс массива 3 вне допустимых границ (0..2)
}
