// A String variable shares its text with what is read from it (another variable, an
// argument, Length, Copy, Pos, Ord): changing either afterwards, a character at a time
// or by appending, leaves the other as it was, and a recursive call's String locals
// are back as they were when it returns.
var s, t: String; c: Char; i: Integer;
function Swap: Integer;
begin
  s := 'zzz';
  Result := 1;
end;
function Mark(k: Integer; acc: String): String;
var local: String;
begin
  local := acc;
  if k > 0 then begin
    local[1] := Chr(Ord('0') + k);
    Mark(k - 1, local);
  end;
  Result := local;
end;
procedure Prefix(var x: String);
begin
  Insert('-', x, 1);
end;
begin
  s := 'abcdef';
  t := s;
  s[1] := 'X';
  Print(s + ' ' + t);                // expect: Xbcdef abcdef
  t[2] := 'Y';
  Print(s + ' ' + t);                // expect: Xbcdef aYcdef
  t := s;
  s := s + '!';
  Print(s + ' ' + t);                // expect: Xbcdef! Xbcdef
  t := s;
  Prefix(s);
  Print(s + ' ' + t);                // expect: -Xbcdef! Xbcdef!
  Print(Length(s) * 10 + Pos('f', s));  // expect: 87
  Print(Copy(s, 2, 3) + IntToStr(Ord(s[8])));  // expect: Xbc33
  c := s[2];
  s[2] := 'Q';
  Print(c + s);                      // expect: X-Qbcdef!
  s := 'abc';
  Print(s[Swap] + s);                // expect: zzzz
  s := 'abc';
  Print(Mark(3, s) + ' ' + s);       // expect: 3bc abc
  t := '';
  for i := 1 to Length(s) do
    t := t + Copy(s, Length(s) - i + 1, 1);
  Print(t);                          // expect: cba
end.
