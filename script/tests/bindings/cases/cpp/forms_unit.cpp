// The forms unit's own members: constants, a parent read and cleared, a combo box
// dropped down and closed from the script (its events fire), a list box's selection
// count, a control's and a form's Hide and Show.
TForm f; TButton b; TComboBox c; TListBox l;

void Dropped(TObject Sender)
{
  Print("drop " + TComboBox(Sender).Name);
}

void Closed(TObject Sender)
{
  Print("close up " + TComboBox(Sender).Name);
}

{
  Print(crSize == crSizeAll);       // expect: True
  Print(crSizeAll);                 // expect: -22
  Print(mrYesToAll);                // expect: 10
  Print(VK_F3);                     // expect: 114
  Print(VK_NUMPAD5);                // expect: 101
  Print(bsSizeToolWin);             // expect: 5
  Print(caFree);                    // expect: 2
  Print(ssDouble);                  // expect: 64
  f = TForm.Create(Application);
  f.Name = "Form7";
  b = TButton.Create(f);
  Print(b.Parent == nil);           // expect: True
  b.Parent = f;
  Print(b.Parent.Name);             // expect: Form7
  b.Parent = nil;
  Print(b.Parent == nil);           // expect: True
  c = TComboBox.Create(f);
  c.Name = "Combo1";
  c.Parent = f;
  c.OnDropDown = "Dropped";
  c.OnCloseUp = "Closed";
  c.DroppedDown = true;             // expect: drop Combo1
  Print(c.DroppedDown);             // expect: True
  c.DroppedDown = false;            // expect: close up Combo1
  l = TListBox.Create(f);
  l.Parent = f;
  l.MultiSelect = true;
  l.Items.CommaText = "a,b,c";
  l.Selected[0] = true;
  l.Selected[2] = true;
  Print(l.SelCount);                // expect: 2
  f.Show();
  b.Parent = f;
  b.Hide();
  Print(b.Visible);                 // expect: False
  b.Show();
  Print(b.Visible);                 // expect: True
  f.Hide();
  Print(f.Visible);                 // expect: False
  f.ModalResult = mrCancel;
  Print(f.ModalResult);             // expect: 2
  Print(Application.ExeName != ""); // expect: True
  f.Free();
}
