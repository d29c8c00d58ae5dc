' Grows a text and an array one step at a time through the routines that change their
' var parameter, as a script collects lines: per step Insert at the text's end and
' SetLength of the array by one, then its new element written. The answer is the two
' lengths added.
Function Run(n As Integer) As Integer
  Dim i As Integer, s As String, a
  s = ""
  a = VarArrayCreate([0, 0], varVariant)
  For i = 1 To n
    Insert("x", s, Length(s) + 1)
    SetLength(a, i)
    a[i - 1] = i
  Next
  Return Length(s) + Length(a)
End Function
