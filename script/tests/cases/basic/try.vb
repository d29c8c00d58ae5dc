Dim i
Sub P
  Try
    Print("in P")
    Exit
  Finally
    Print("finally")
  End Try
  Print("not here")
End Sub
Try
  i = 0
  i = 10 \ i
  Print("not here")
Catch
  Print("caught")   ' expect: caught
End Try
P                   ' expect: in P
' expect: finally
Try
  Try
    Print(1 \ i)
  Finally
    Print("cleanup")  ' expect: cleanup
  End Try
Catch
  Print("outer")      ' expect: outer
End Try
Print(5 Mod i)        ' expect runtime error line 29: Division by zero
