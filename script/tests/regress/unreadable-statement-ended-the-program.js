// A statement the grammar could not read ended the program there, silently.
Print(1);
) Print(2);
// expect compile error 3:1: Statement expected
