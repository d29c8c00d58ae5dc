// A break or continue that ends a try body still runs the whole finally part.
var i: Integer;
begin
  for i := 1 to 3 do
    try
      if i = 2 then break;
    finally
      Print('f');   // expect: f
      Print('g');   // expect: g
    end;            // expect: f
                    // expect: g
  for i := 1 to 2 do
    try
      continue;
      Print('not here');
    finally
      Print('c' + IntToStr(i));   // expect: c1
      Print('d' + IntToStr(i));   // expect: d1
    end;                          // expect: c2
                                  // expect: d2
  i := 0;
  while i < 5 do begin
    i := i + 1;
    try
      if i = 2 then break;
    finally
      Print('w');   // expect: w
      Print(i);     // expect: 1
    end;            // expect: w
  end;              // expect: 2
  Print('after');   // expect: after
end.
