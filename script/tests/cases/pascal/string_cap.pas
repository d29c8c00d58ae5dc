// Strings have a size cap, as arrays do: going past it is a run-time error.
var s, t: String; v: Variant;
begin
  s := 'ab';
  SetLength(s, 35000000);
  try
    t := s + s;
    Print('joined');
  except
    Print('join refused');        // expect: join refused
  end;
  try
    s := s + s;
  except
    Print('append refused');      // expect: append refused
  end;
  v := s;
  try
    v := v + s;
  except
    Print('variant refused');     // expect: variant refused
  end;
  Print(Length(s));               // expect: 35000000
  SetLength(s, 2000000000);       // expect runtime error line 24: Строка слишком длинная: 2000000000 символов (не более 67108864)
end.
