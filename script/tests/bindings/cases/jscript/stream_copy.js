// CopyFrom writes all it was asked for or nothing: a source too short for the
// count fails before a byte is written, and a stream copied into itself reads
// what it copies first and writes it where the read ended.
var m, src, i, s;
m = TMemoryStream.Create();
m.Write("abc", 3);
src = TMemoryStream.Create();
for (i = 1; i <= 10000; i++)
  src.Write("0123456789", 10);
src.Position = 5;
try { m.CopyFrom(src, 99996); } except { Print("refused"); }   // expect: refused
Print(IntToStr(m.Size) + " " + IntToStr(m.Position) + " " + IntToStr(src.Position)); // expect: 3 3 5
Print(src.CopyFrom(src, 0));        // expect: 100000
Print(src.Size);                    // expect: 200000
src.Position = 99998;
src.Read(s, 4);
Print(s);                           // expect: 8901
m.Position = 1;
m.CopyFrom(m, 1);
m.Position = 268435455;
m.CopyFrom(m, 0);
m.Position = 0;
m.Read(s, 10);
Print(s);                           // expect: abbabb
m.CopyFrom(src, 200001);
// expect runtime error line 25: Stream read error
