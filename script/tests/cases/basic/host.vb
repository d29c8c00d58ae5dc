Dim t, n
Print(Thing.Caption)      ' expect: host
Thing.Caption = "changed"
Print(Thing.Caption)      ' expect: changed
Print(Thing.Twice(21))    ' expect: 42
n = 1
Thing.Bump(n)
Print(n)                  ' expect: 2
Print(Thing[3])           ' expect: changed#3
Thing[0] = "via index"
Print(Thing.Caption)      ' expect: via index
With Thing
  Count = 9
  Print(Count)            ' expect: 9
End With
t = New TTestThing(nil)
t.Caption = "mine"
Print(t.Caption)          ' expect: mine
Delete t
Print(t.Caption)          ' expect runtime error line 20: Объект уже уничтожен или ссылка на него неверна: Caption
