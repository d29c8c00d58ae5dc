' The adapters copy var parameters back: a resize the handler changes or
' refuses, a close the handler refuses once, a key the handler replaces or
' swallows (empty text delivers no character).
Dim f, e, closes
Sub CR(Sender, ByRef NewWidth, ByRef NewHeight, ByRef Resize)
  Print("canresize " & IntToStr(NewWidth) & "x" & IntToStr(NewHeight))
  If NewWidth = 300 Then NewWidth = 250
  If NewHeight = 333 Then Resize = False
End Sub
Sub CQ(Sender, ByRef CanClose)
  closes = closes + 1
  CanClose = closes > 1
End Sub
Sub CL(Sender, ByRef Action)
  Print("close " & IntToStr(Action))
End Sub
Sub KP(Sender, ByRef Key)
  If Key = "a" Then Key = "z"
  If Key = "b" Then Key = ""
End Sub
Sub EClick(Sender)
  Print("edit holds " & e.Text)
End Sub
closes = 0
f = New TForm(Application)
f.Name = "F1"
f.Width = 200
f.Height = 100
e = New TEdit(f)
e.Name = "E1"
e.Parent = f
e.OnKeyPress = "KP"
e.OnClick = "EClick"
f.OnCanResize = "CR"
f.OnCloseQuery = "CQ"
f.OnClose = "CL"
f.Show
f.Width = 300                       ' expect: canresize 300x100
f.Height = 333                      ' expect: canresize 250x333
Print(IntToStr(f.Width) & "x" & IntToStr(f.Height)) ' expect: 250x100
f.Close
Print(f.Visible)                    ' expect: True
f.Close                             ' expect: close 1
Print(f.Visible)                    ' expect: False
f.Show
' then press F1.E1 abc
' then click F1.E1
' expect: edit holds zc
