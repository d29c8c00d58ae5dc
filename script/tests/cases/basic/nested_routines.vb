' Routines declared inside an If branch are built where they stand.
If 1 = 1 Then
  Function G(x)
    Return x * 7
  End Function
  Sub H
    Print("h")
  End Sub
End If
Print(G(2))   ' expect: 14
H             ' expect: h
