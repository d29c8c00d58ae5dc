// Arrays have one to three dimensions; a fourth is refused as such.
var a: array[1..2, 1..2, 1..2, 1..2] of Integer;
begin
end.
// expect compile error 2:36: Границы массива задаются парами целых чисел, от одной до трех пар
