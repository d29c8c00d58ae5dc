// Event handlers assigned, replaced and cleared from the script, through a typed
// variable and through an untyped one; the user clicks after the script has ended.
var f: TForm, b1: TButton, b2, clicks = 0;

function CountClick(Sender)
{
  clicks = clicks + 1;
  Print("count " + TButton(Sender).Name + " " + IntToStr(clicks));
}

function NameClick(Sender: TObject)
{
  Print("name " + TButton(Sender).Caption);
}

f = TForm.Create(Application);
f.Name = "Form3";
b1 = TButton.Create(f);
b1.Name = "Button1";
b1.Parent = f;
b2 = TButton.Create(f);
b2.Name = "Button2";
b2.Caption = "second";
b2.Parent = f;
b1.OnClick = "NameClick";
b1.OnClick = "CountClick";
b2.OnClick = "NameClick";
f.OnActivate = "CountClick";
f.OnActivate = nil;
f.Show();
try {
  b2.OnClick = "NoSuchHandler";
} except {
  Print("refused");                   // expect: refused
}
// then click Form3.Button1
// then click Form3.Button2
// then click Form3.Button1
// expect: count Button1 1
// expect: name second
// expect: count Button1 2
