// The built-in routines as a script calls them: edge values, and var
// parameters written back into the caller's variables.
var s: String; i, y, m, d: Integer; a, v: Variant;
begin
  Print(Copy('abcdef', 0, 2));       // expect: ab
  Print(Copy('abcdef', 7, 2) = '');  // expect: True
  Print(Pos('z', 'abcdef'));         // expect: 0
  s := 'abcdef'; Delete(s, 3, 100);
  Print(s);                          // expect: ab
  s := 'abc'; Insert('XY', s, 100);
  Print(s);                          // expect: abcXY
  a := VarArrayCreate([1, 5], varVariant);
  Print(Length(a));                  // expect: 5
  Print(Length(12345));              // expect: 5
  Print(Round(2.5) * 10 + Round(-2.5)); // expect: 18
  Print(Trunc(-2.7));                // expect: -2
  v := Int(2.7);
  Print(VarType(v) = varDouble);     // expect: True
  Print(DaysInMonth(2000, 2) * 100 + DaysInMonth(1900, 2)); // expect: 2928
  Print(NameCase('иван петров-водкин'));  // expect: Иван Петров-водкин
  Print(Chr(321));                   // expect: A
  i := 5; Inc(i);
  Print(i);                          // expect: 6
  Inc(i, -3);
  Print(i);                          // expect: 3
  Dec(i);
  Print(i);                          // expect: 2
  Print(DayOfWeek(EncodeDate(2024, 3, 3)));  // expect: 1
  Print(ValidInt('12a'));            // expect: False
  DecodeDate(EncodeDate(2024, 3, 5), y, m, d);
  Print(y * 10000 + m * 100 + d);    // expect: 20240305
  s := 'abc'; SetLength(s, 5);
  Print('[' + s + ']');              // expect: [abc  ]
  SetLength(a, 3);
  Print(Length(a));                  // expect: 2
  Print(Format('%d-%s', [5, 'x']));  // expect: 5-x
  i := -1; Print(Format('%x %u', [i, i]));  // expect: FFFFFFFF 4294967295
  Print(StrToInt('12a'));            // expect runtime error line 38: '12a' is not a valid integer value
end.
