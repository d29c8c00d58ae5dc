// An index may itself read the array or the property it indexes: the element
// or character written is the one the outer index names. (Here a[0][1] is two
// indexes of one array, so a character of an element is not written this way.)
TTestThing t; int m[3][3]; int i, j;
{
  for (i = 0; i < 3; i++)
    for (j = 0; j < 3; j++)
      m[i][j] = i * 10 + j;
  Print(m[2][m[0][1]]);           // expect: 21
  m[2][m[0][1]] = 99;
  Print(m[2][1]);                 // expect: 99
  Print(m[0][1]);                 // expect: 1
  t = new TTestThing(nil);
  t.Caption = "abcdef";
  Thing.Caption = "host";
  Thing.Caption[Length(t.Caption) - 2] = "Y";
  Print(Thing.Caption);           // expect: hosY
  Print(t.Caption);               // expect: abcdef
  delete t;
}
