// Every name of a list gets the list's type, array and initial value, each its own.
var a, b: Integer = 5; c, d: array[1..2] of String; s, t: String;
procedure Split(x, y: Integer; var sum, diff: Integer);
begin
  sum := x + y;
  diff := x - y
end;
begin
  a := a + 1;
  Print(a);            // expect: 6
  Print(b);            // expect: 5
  c[2] := 'c';
  d[2] := 'd';
  Print(c[2] + d[2]);  // expect: cd
  s := 'x';
  Print(s + t + '.');  // expect: x.
  Split(7, 2, a, b);
  Print(a);            // expect: 9
  Print(b);            // expect: 5
  Print(d[3]);         // expect runtime error line 20: Индекс массива 3 вне допустимых границ (1..2)
end.
