// Undeclared types are Variants: every form widens alike past 32 bits.
var i, j;
i = 2147483647; i += 1; Print(i);             // expect: 2147483648
i = 2147483647; i = i + 1; Print(i);          // expect: 2147483648
i = 2147483647; j = i + 1; Print(j);          // expect: 2147483648
i = 2147483647; i++; Print(i);                // expect: 2147483648
i = 2147483647; i *= 2; Print(i);             // expect: 4294967294
