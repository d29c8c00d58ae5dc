var i;
if (i == 1 {
  i = 2;
}
// expect compile error 2:12: ')' expected
