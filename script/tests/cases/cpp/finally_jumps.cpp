// A break or continue that ends a try body still runs the whole finally part.
int i;
{
  for (i = 1; i <= 3; i++) {
    try {
      if (i == 2) break;
    } finally {
      Print("f");   // expect: f
      Print("g");   // expect: g
    }               // expect: f
                    // expect: g
  }
  for (i = 1; i <= 2; i++) {
    try {
      continue;
      Print("not here");
    } finally {
      Print("c" + IntToStr(i));   // expect: c1
      Print("d" + IntToStr(i));   // expect: d1
    }                             // expect: c2
                                  // expect: d2
  }
  Print("after");   // expect: after
}
