// "/" always yields a floating value, and a Double variable keeps what it is
// given as a floating value.
var i = 7, d: Double;
d = i / 2 + 1;
Print(d);                      // expect: 4,5
Print(1 / 3 * 3);              // expect: 1
d = 5;
Print(Format("%.2f", [d]));    // expect: 5,00
