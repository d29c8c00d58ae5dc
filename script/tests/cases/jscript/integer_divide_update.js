// x /= e on an Integer is refused as x = x / e is: the quotient is real.
var x: Integer;
x = 7;
x /= 2;
// expect compile error 4:7: Несовместимые типы: 'Integer', 'Extended'
