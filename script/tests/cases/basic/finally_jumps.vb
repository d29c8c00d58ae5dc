' A break or continue that ends a try body still runs the whole finally part.
Dim i
For i = 1 To 3
  Try
    If i = 2 Then Break
  Finally
    Print("f")   ' expect: f
    Print("g")   ' expect: g
  End Try        ' expect: f
                 ' expect: g
Next
For i = 1 To 2
  Try
    Continue
    Print("not here")
  Finally
    Print("c" & i)   ' expect: c1
    Print("d" & i)   ' expect: d1
  End Try            ' expect: c2
                     ' expect: d2
Next
Print("after")   ' expect: after
