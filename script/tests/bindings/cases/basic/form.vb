' modal Form9: type Edit1 hello; click Button1
Dim f As TForm, e As TEdit, b As TButton

Sub Button1Click(Sender)
  Print("clicked " & TButton(Sender).Caption & ": " & e.Text)
  f.ModalResult = mrOk
End Sub

f = TForm.Create(Application)
f.Name = "Form9"
f.Caption = "Ввод"
e = TEdit.Create(f)
e.Name = "Edit1"
e.Parent = f
b = TButton.Create(f)
b.Name = "Button1"
b.Caption = "OK"
b.Parent = f
b.SetBounds(10, 40, 75, 25)
b.OnClick = "Button1Click"
Print(b.Parent.Name)              ' expect: Form9
Print(b.Owner.Name)               ' expect: Form9
Print(f.ShowModal)                ' expect: clicked OK: hello
' expect: 1
Print(f.Visible)                  ' expect: False
Print(e.Text)                     ' expect: hello
f.Free
Print(e.Text)                     ' expect runtime error line 28: Объект уже уничтожен или ссылка на него неверна: Text
