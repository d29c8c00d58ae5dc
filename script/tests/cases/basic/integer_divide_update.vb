' x /= e on an Integer is refused as x = x / e is: the quotient is real.
Dim x As Integer
x = 7
x /= 2
' expect compile error 4:7: Несовместимые типы: 'Integer', 'Extended'
