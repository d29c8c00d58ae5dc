// Strings have a size cap, as arrays do: going past it is a run-time error.
string s;
{
  s = "ab";
  SetLength(s, 2000000000);       // expect runtime error line 5: Строка слишком длинная: 2000000000 символов (не более 67108864)
}
