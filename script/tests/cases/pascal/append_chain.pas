// s := s + a + b ...: every join of a chain that starts at the target appends in place,
// with the results, the order and the errors of the joins as written.
var i, z: Integer;
    s, t, u: String;
    v, w: Variant;
begin
  s := '';
  for i := 1 to 3 do
    s := s + ', ' + IntToStr(i);
  Print(s);              // expect: , 1, 2, 3
  t := s;
  s := s + '!' + '?';
  Print(t);              // expect: , 1, 2, 3
  Print(s);              // expect: , 1, 2, 3!?
  s := 'a';
  z := 0;
  try
    s := s + 'x' + IntToStr(1 div z);
  except
    Print('caught');     // expect: caught
  end;
  Print(s);              // expect: a
  v := '1';
  w := v + '2' + 3;
  v := v + '2' + 3;
  Print(v);              // expect: 15
  Print(VarType(v) = VarType(w)); // expect: True
  v := 'a';
  v := v + 'b' + ('c' + v);
  Print(v);              // expect: abca
  u := 'q';
  s := 'p';
  s := s + u + s;
  Print(s);              // expect: pqp
end.
