' Appends the decimal text of i, i = 1..n, to a String and passes the text so far to a
' routine by value after each step; the answer is the text's length.
Sub Look(t As String)
End Sub

Function Run(n As Integer) As Integer
  Dim i As Integer, s As String
  s = ""
  For i = 1 To n
    s = s & i
    Look(s)
  Next
  Return Length(s)
End Function
