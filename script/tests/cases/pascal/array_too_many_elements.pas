// Too many elements: the bounds printed are those the dimension could have had.
var a: array[0..9999, 0..9999] of Integer;
begin
end.
// expect compile error 2:30: Индекс массива 9999 вне допустимых границ (0..1676)
