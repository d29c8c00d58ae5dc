var frm, edt, btn;
// modal Form9: type Edit1 hello; click Button1

function Button1Click(Sender)
{
  Print("clicked " + TButton(Sender).Caption + ": " + edt.Text);
  frm.ModalResult = mrOk;
}

frm = TForm.Create(Application);
frm.Name = "Form9";
frm.Caption = "Ввод";
edt = TEdit.Create(frm);
edt.Name = "Edit1";
edt.Parent = frm;
btn = TButton.Create(frm);
btn.Name = "Button1";
btn.Caption = "OK";
btn.Parent = frm;
btn.SetBounds(10, 40, 75, 25);
btn.OnClick = "Button1Click";
Print(btn.Parent.Name);             // expect: Form9
Print(btn.Owner.Name);              // expect: Form9
Print(frm.ShowModal());             // expect: clicked OK: hello
// expect: 1
Print(frm.Visible);                 // expect: False
Print(edt.Text);                    // expect: hello
frm.Free();
Print(edt.Text);                    // expect runtime error line 29: Объект уже уничтожен или ссылка на него неверна: Text
