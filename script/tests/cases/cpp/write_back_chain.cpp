// A value written back through an index goes where the index named, also when
// the index reads the same array or property first. (Here a[i][j] is one index
// of two dimensions, so a character of a character is not written this way.)
TTestThing t; Variant v; int m[2][2];
{
  t = new TTestThing(nil);
  t.Caption = "abcdef";
  Thing.Caption = "host";
  Insert("Z", Thing.Caption, Length(t.Caption) - 3);   // a var argument, a property
  Print(Thing.Caption);                           // expect: hoZst
  Print(t.Caption);                               // expect: abcdef
  m[0][1] = 1;
  m[1][1] = 5;
  Inc(m[1][m[0][1]], 10);                         // a var argument of an element
  Print(m[1][1] + m[0][1] * 100);                 // expect: 115
  v = VarArrayCreate([0, 1], varVariant);
  v[0] = "hello";
  v[1] = "ab";
  Insert("Z", v[Length(v[1]) - 2], 2);            // an element of a Variant's array
  Print(v[0] + " " + v[1]);                       // expect: hZello ab
  v[Length(v[1]) - 1] = v[0] + "!";
  Print(v[0] + " " + v[1]);                       // expect: hZello hZello!
  delete t;
}
