var i, n: Integer;
begin
  n := 0;
  for i := 1 to 10 do
  begin
    if i = 3 then continue;
    if i = 6 then break;
    n := n + i;
  end;
  Print(n);           // expect: 12
  Print(i);           // expect: 6
  i := 0;
  while i < 5 do i := i + 1;
  Print(i);           // expect: 5
  repeat i := i - 1 until i < 3;
  Print(i);           // expect: 2
  case i of
    1: Print('one');
    2, 3: Print('two or three');  // expect: two or three
  else Print('other');
  end;
  case 4 of 1..3, 5: Print('in'); else Print('else'); end;  // expect: else
  for i := 3 downto 1 do Print(i);  // expect: 3
  // expect: 2
  // expect: 1
  for i := 1 to 0 do Print('never');
  if n > 0 then Print('pos') else Print('neg');  // expect: pos
  exit;
  Print('not here');
end.
