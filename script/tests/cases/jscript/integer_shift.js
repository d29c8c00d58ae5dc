// A typed Integer shifts in 32 bits (the count taken mod 32), however its value
// was last stored; an untyped variable is a Variant and keeps its width.
var i: Integer, j: Integer, v;
i = 5; j = i << 33; Print(j);                 // expect: 10
i = 4; i++; Print(i << 33);                   // expect: 10
i = 5; i -= 0; Print(i << 33);                // expect: 10
i = -8; Print(i >> 1);                        // expect: 2147483644
v = 5; Print(v << 33);                        // expect: 42949672960
