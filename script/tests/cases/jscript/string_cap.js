// Strings have a size cap, as arrays do: going past it is a run-time error.
var s = "ab";
SetLength(s, 35000000);
try { s = s + s; } except { Print("refused"); }   // expect: refused
SetLength(s, 2000000000);       // expect runtime error line 5: Строка слишком длинная: 2000000000 символов (не более 67108864)
