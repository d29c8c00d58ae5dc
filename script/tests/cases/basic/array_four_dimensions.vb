' Arrays have one to three dimensions; a fourth is refused as such.
Dim a[2, 2, 2, 2]
' expect compile error 2:17: Границы массива задаются парами целых чисел, от одной до трех пар
