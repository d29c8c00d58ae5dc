var i;
function P() {
  try { Print("in P"); return; } finally { Print("finally"); }
  Print("not here");
}
try {
  i = 0;
  i = 10 div i;
  Print("not here");
} except {
  Print("caught");   // expect: caught
}
P();                 // expect: in P
// expect: finally
try {
  try { Print(1 div i); } finally { Print("cleanup"); }  // expect: cleanup
} except {
  Print("outer");      // expect: outer
}
Print(5 % i);          // expect runtime error line 20: Division by zero
