' "&" of a string and a number was refused as incompatible types.
Dim s As String
s = "n=" & 5
Print(s)        ' expect: n=5
s = s & 1
Print(s)        ' expect: n=51
