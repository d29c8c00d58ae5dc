// A range of names in a set, a..b, was read as a member access "a." and refused.
var a, b: Integer;
begin
  a := 3;
  b := 5;
  Print(4 in [a..b]);   // expect: True
  Print(6 in [1, a..b]); // expect: False
end.
