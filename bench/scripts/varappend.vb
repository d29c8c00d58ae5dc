' Appends the decimal text of i, i = 1..n, to a String through a routine's ByRef
' parameter, as a report script builds its lines; the answer is the text's length.
Sub Add(ByRef s As String, t As String)
  s = s & t
End Sub

Function Run(n As Integer) As Integer
  Dim i As Integer, s As String
  s = ""
  For i = 1 To n
    Add(s, IntToStr(i))
  Next
  Return Length(s)
End Function
