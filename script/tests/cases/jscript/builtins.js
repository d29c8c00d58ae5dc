// The built-in routines as a script calls them; Delete is a keyword here.
var s, i, y, m, d, a, v;
Print(Copy("abcdef", 0, 2));         // expect: ab
Print(Pos("z", "abcdef"));           // expect: 0
s = "abc"; Insert("XY", s, 100);
Print(s);                            // expect: abcXY
a = VarArrayCreate([1, 5], varVariant);
Print(Length(a));                    // expect: 5
Print(Round(2.5) * 10 + Round(-2.5)); // expect: 18
v = Int(2.7);
Print(VarType(v) == varDouble);      // expect: True
i = 5; Inc(i);
Print(i);                            // expect: 6
Inc(i, -3);
Print(i);                            // expect: 3
Dec(i);
Print(i);                            // expect: 2
DecodeDate(EncodeDate(2024, 3, 5), y, m, d);
Print(y * 10000 + m * 100 + d);      // expect: 20240305
s = "abc"; SetLength(s, 5);
Print("[" + s + "]");                // expect: [abc  ]
SetLength(a, 3);
Print(Length(a));                    // expect: 2
Print(Format("%d-%s", [5, "x"]));    // expect: 5-x
Print(Format("%x %u", [-1, -1]));    // expect: FFFFFFFF 4294967295
Print(StrToInt("12a"));              // expect runtime error line 26: '12a' is not a valid integer value
