var t: TTestThing;
t = Thing;
t.Captoin = "x";
// expect compile error 3:10: Неопределенный идентификатор: 'Captoin'
