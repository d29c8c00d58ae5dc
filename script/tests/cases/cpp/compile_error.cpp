int i;
{
  i = 1
  i = 2;
}
// expect compile error 4:3: ';' expected
