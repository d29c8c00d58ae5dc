var i: Integer;

procedure P;
begin
  try
    Print('in P');
    exit;
  finally
    Print('finally');
  end;
  Print('not here');
end;

begin
  try
    i := 0;
    i := 10 div i;
    Print('not here');
  except
    Print('caught');   // expect: caught
  end;
  P;                   // expect: in P
  // expect: finally
  try
    try
      Print(1 div i);
    finally
      Print('cleanup');  // expect: cleanup
    end;
  except
    Print('outer');      // expect: outer
  end;
  Print(5 div i);        // expect runtime error line 33: Division by zero
end.
