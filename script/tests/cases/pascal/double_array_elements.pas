// An element of an array of Double holds what a Double variable would; Format
// refuses a text past the string cap as every other string operation does.
var a: array[0..2] of Double; m: array[1..2, 1..2] of Double; s: String; i: Integer;
begin
  a[0] := 5;
  Print(Format('%.2f', [a[0]]));                  // expect: 5,00
  a[1] := 7 div 2;
  a[1] := a[1] / 2;
  Print(Format('%.2f', [a[1]]));                  // expect: 1,50
  m[2, 1] := 3;
  Print(Format('%.1f', [m[2, 1]]));               // expect: 3,0
  s := 'x';
  for i := 1 to 25 do
    s := s + s;
  Print(Length(Format('%s%s', [s, s])));          // expect: 67108864
  s := Format('%s%s%s', [s, s, s]);
end.
// expect runtime error line 16: Строка слишком длинная: 100663296 символов (не более 67108864)
