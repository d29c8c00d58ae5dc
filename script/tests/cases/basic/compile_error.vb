Dim i
If i = 1 Then
  i = 2
' expect compile error 5:1: 'END' expected
