// A memory stream refuses to grow past the cap before asking for the memory.
var m, big: TMemoryStream;
begin
  m := TMemoryStream.Create;
  m.Write('abc', 3);
  m.Position := 268435455;
  Print(m.Size);                      // expect: 3
  big := TMemoryStream.Create;
  big.CopyFrom(m, 0);
  Print(big.Size);                    // expect: 3
  m.Position := 3000000000;
  m.Write('x', 1);
end.
// expect runtime error line 12: Поток в памяти слишком большой: 3000000001 байт (не более 268435456)
