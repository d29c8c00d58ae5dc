var i, n;
n = 0;
for (i = 1; i <= 10; i++) {
  if (i == 3) continue;
  if (i == 6) break;
  n = n + i;
}
Print(n);           // expect: 12
Print(i);           // expect: 6
i = 0;
while (i < 5) i++;
Print(i);           // expect: 5
do { i = i - 1; } while (i >= 3);
Print(i);           // expect: 2
switch (i) {
  case 1: Print("one");
  case 2, 3: { Print("two or three"); break; }  // expect: two or three
  default: Print("other");
}
switch (4) { case 1..3, 5: Print("in"); default: Print("else"); }  // expect: else
for (i = 3; i >= 1; i--) Print(i);  // expect: 3
// expect: 2
// expect: 1
for (i = 1; i <= 0; i++) Print("never");
if (n > 0) Print("pos"); else Print("neg");  // expect: pos
return;
Print("not here");
