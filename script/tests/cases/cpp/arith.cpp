int i; string s; float f;
{
  Print(1 + 2 * 3);      // expect: 7
  Print((1 + 2) * 3);    // expect: 9
  Print(10 - 4 - 3);     // expect: 3
  Print(7 div 2);        // expect: 3
  Print(-7 % 2);         // expect: -1
  Print(7 / 2);          // expect: 3,5
  i = 5;
  i = i * 2 + 1;
  Print(i);              // expect: 11
  s = "ab";
  s = s + "cd";
  Print(s);              // expect: abcd
  Print(s[2]);           // expect: b
  s[2] = "X";
  Print(s);              // expect: aXcd
  f = 1.5;
  Print(f * 2);          // expect: 3
  Print("it\"s");        // expect: it"s
}
