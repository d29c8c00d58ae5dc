var a: array[1..3] of Integer; m: array[0..1, 0..1] of Integer; i, sum: Integer;
begin
  for i := 1 to 3 do a[i] := i * i;
  sum := 0;
  for i := 1 to 3 do sum := sum + a[i];
  Print(sum);        // expect: 14
  m[1, 0] := 5;
  Print(m[1, 0]);    // expect: 5
  Print(a[4]);       // expect runtime error line 9: Индекс массива 4 вне допустимых границ (1..3)
end.
