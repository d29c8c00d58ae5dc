Dim i, n
n = 0
For i = 1 To 10
  If i = 3 Then Continue
  If i = 6 Then Break
  n = n + i
Next
Print(n)           ' expect: 12
Print(i)           ' expect: 6
i = 0
While i < 5
  i = i + 1
Wend
Print(i)           ' expect: 5
Do
  i = i - 1
Loop Until i < 3
Print(i)           ' expect: 2
Select Case i
Case 1:
  Print("one")
Case 2, 3:
  Print("two or three")  ' expect: two or three
Case Else:
  Print("other")
End Select
Select Case 4
Case 1..3, 5:
  Print("in")
Case Else:
  Print("else")   ' expect: else
End Select
For i = 3 To 1 Step -1
  Print(i)        ' expect: 3
Next
' expect: 2
' expect: 1
For i = 1 To 0
  Print("never")
Next
If n > 0 Then
  Print("pos")    ' expect: pos
Else
  Print("neg")
End If
Exit
Print("not here")
