TTestThing t; int n;
{
  Print(Thing.Caption);      // expect: host
  Thing.Caption = "changed";
  Print(Thing.Caption);      // expect: changed
  Print(Thing.Twice(21));    // expect: 42
  n = 1;
  Thing.Bump(n);
  Print(n);                  // expect: 2
  Print(Thing[3]);           // expect: changed#3
  Thing[0] = "via index";
  Print(Thing.Caption);      // expect: via index
  Print(Thing is TTestThing);  // expect: True
  t = new TTestThing(nil);
  t.Caption = "mine";
  Print(t.Caption);          // expect: mine
  delete t;
  Print(t.Caption);          // expect runtime error line 18: Объект уже уничтожен или ссылка на него неверна: Caption
}
