' Sets travel as bit masks: a set constructor given to a set becomes the mask,
' and + - * beside a set are union, difference and intersection.
Dim st As TThingStyles, v, n
Thing.Style = [tsBold]
Print(Thing.Style)                      ' expect: 1
Thing.Style = [tsBold, tsUnderline]
Print(Thing.Style)                      ' expect: 5
Thing.Style = []
Print(Thing.Style)                      ' expect: 0
Thing.Style = [tsItalic..tsStrike]
Print(Thing.Style)                      ' expect: 14
Thing.Options = [tsStrike, tsBold]
Print(Thing.Options)                    ' expect: 9
st = [tsItalic]
Thing.Style = st
Print(Thing.Style)                      ' expect: 2
Thing.Style = tsBold + tsItalic
Print(Thing.Style)                      ' expect: 3
v = Thing
v.Style = [tsUnderline, tsItalic]
Print(v.Style)                          ' expect: 6
v.Options = []
Print(v.Options)                        ' expect: 0
Print(tsItalic In [tsBold, tsItalic])   ' expect: True
Thing.Style = [tsBold]
Thing.Style = Thing.Style + [tsBold, tsItalic]
Print(Thing.Style)                         ' expect: 3
Thing.Style = Thing.Style - [tsBold]
Print(Thing.Style)                         ' expect: 2
Print(Thing.Style * [tsItalic, tsStrike])  ' expect: 2
Print(tsItalic In Thing.Style)             ' expect: True
Print(tsBold In Thing.Style)               ' expect: False
Print(Thing.Style = [tsItalic])            ' expect: True
st = [tsBold] + [tsUnderline]
Print(st)                                  ' expect: 5
st += [tsBold, tsStrike]
Print(st)                                  ' expect: 13
st -= [tsUnderline]
Print(st)                                  ' expect: 9
v.Style = [tsBold]
v.Style = v.Style + [tsStrike]
Print(v.Style)                             ' expect: 9
Print(v.Style = [tsBold, tsStrike])        ' expect: True
Print(tsStrike In v.Style)                 ' expect: True
n = 3
Select Case n
Case 1, 2:
  Print("low")
Case 3..5:
  Print("mid")                        ' expect: mid
End Select
