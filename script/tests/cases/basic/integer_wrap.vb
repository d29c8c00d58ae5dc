' Integer arithmetic is 32 bits in every form: +=, ++ and x = x op e give what a
' sum into another variable gives. A Variant widens.
Dim i As Integer
Dim j As Integer
Dim v
i = 2147483647
i += 1
Print(i)                                      ' expect: -2147483648
i = 2147483647
i = i + 1
Print(i)                                      ' expect: -2147483648
i = 2147483647
j = i + 1
Print(j)                                      ' expect: -2147483648
i = 2147483647
i++
Print(i)                                      ' expect: -2147483648
i = 2147483647
i *= 2
Print(i)                                      ' expect: -2
v = 2147483647
v += 1
Print(v)                                      ' expect: 2147483648
