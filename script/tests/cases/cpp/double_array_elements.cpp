// An element of an array of double holds what a double variable would; Format
// refuses a text past the string cap as every other string operation does.
double a[3], m[2][2]; string s; int i;
{
  a[0] = 5;
  Print(Format("%.2f", [a[0]]));                  // expect: 5,00
  a[1] = 7 div 2;
  a[1] = a[1] / 2;
  Print(Format("%.2f", [a[1]]));                  // expect: 1,50
  m[1][0] = 3;
  Print(Format("%.1f", [m[1][0]]));               // expect: 3,0
  s = "x";
  for (i = 1; i <= 25; i++)
    s = s + s;
  Print(Length(Format("%s%s", [s, s])));          // expect: 67108864
  s = Format("%s%s%s", [s, s, s]);
}
// expect runtime error line 16: Строка слишком длинная: 100663296 символов (не более 67108864)
