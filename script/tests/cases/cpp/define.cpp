#define N 3
int i, sum;
{
  for (i = 1; i <= N; i++) sum += i;
  Print(sum);     // expect: 6
  i = 10;
  i -= 4;
  i *= 2;
  Print(i);       // expect: 12
}
