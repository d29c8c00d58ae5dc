// A function declared inside an if-branch is built where it stands, and a for
// loop may declare two variables.
if (1 == 1) {
  function g(x) { return x * 5; }
}
Print(g(2));                  // expect: 10
for (var i = 0, j = 5; i < 2; i++) {
  Print(i + j);               // expect: 5
  j = j + 10;                 // expect: 16
}
for (i = 0; i < 1; i++) Print("one");   // expect: one
