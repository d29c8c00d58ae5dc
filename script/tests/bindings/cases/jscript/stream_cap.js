// A memory stream refuses to grow past the cap before asking for the memory.
var m = TMemoryStream.Create();
m.Write("abc", 3);
Print(m.Size);                        // expect: 3
m.Position = 3000000000;
m.Write("x", 1);
// expect runtime error line 6: Поток в памяти слишком большой: 3000000001 байт (не более 268435456)
