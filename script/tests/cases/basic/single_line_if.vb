' A one-line If: Then takes the rest of the line, a list of statements joined by ":",
' which may itself be a one-line If. The one-line form has no Else (see the compiler's
' syntax tests); the block form has.
Dim a, n
a = 1
n = 0
If a = 1 Then Print("one") : Print("two")
' expect: one
' expect: two
a = 2
If a = 1 Then Print("one") : Print("two")
If a = 2 Then If n = 0 Then Print("nested") : Print("nested too")
' expect: nested
' expect: nested too
If a = 2 Then If n = 1 Then Print("inner") : Print("inner too")
If a = 1 Then a = 5 : n = 5
Print(a + n)           ' expect: 2
Print("end")           ' expect: end
