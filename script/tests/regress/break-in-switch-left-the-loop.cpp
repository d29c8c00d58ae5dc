// break ending a switch branch also ended the loop around the switch.
int i;
{
  for (i = 0; i < 3; i++) {
    switch (i) {
      case 1: { Print("one"); break; }
    }
    Print(i);
  }
}
// expect: 0
// expect: one
// expect: 1
// expect: 2
