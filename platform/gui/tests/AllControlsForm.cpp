#include "platform/gui/tests/AllControlsForm.h"

SKLAD_DEFINE_CLASS(TAllControls)
void TAllControls::Publish(TPropertyTable& t)
{
    t.Method("FormCreate", &TAllControls::FormCreate);
    t.Method("FormShow", &TAllControls::FormShow);
    t.Method("Button1Click", &TAllControls::Button1Click);
    t.Method("CheckBox1Click", &TAllControls::CheckBox1Click);
    t.Method("ComboBox1Change", &TAllControls::ComboBox1Change);
    t.Method("TreeView1Change", &TAllControls::TreeView1Change);
}

TAllControls::TAllControls(TComponent* AOwner, const AnsiString& layoutFile) : TForm(AOwner, TDeferLayout{})
{
    InitLayout(layoutFile, [this] {
        Bind(ToolBar1, "ToolBar1");
        Bind(ToolButton1, "ToolButton1");
        Bind(Panel1, "Panel1");
        Bind(Panel2, "Panel2");
        Bind(TreeView1, "TreeView1");
        Bind(Splitter1, "Splitter1");
        Bind(Label1, "Label1");
        Bind(Edit1, "Edit1");
        Bind(Edit2, "Edit2");
        Bind(ComboBox1, "ComboBox1");
        Bind(CheckBox1, "CheckBox1");
        Bind(GroupBox1, "GroupBox1");
        Bind(RadioButton1, "RadioButton1");
        Bind(RadioButton2, "RadioButton2");
        Bind(Memo1, "Memo1");
        Bind(ListBox1, "ListBox1");
        Bind(DateTimePicker1, "DateTimePicker1");
        Bind(MonthCalendar1, "MonthCalendar1");
        Bind(ProgressBar1, "ProgressBar1");
        Bind(Button1, "Button1");
        Bind(SpeedButton1, "SpeedButton1");
        Bind(StatusBar1, "StatusBar1");
        Bind(MainMenu1, "MainMenu1");
        Bind(N2, "N2");
        Bind(N3, "N3");
        Bind(PopupMenu1, "PopupMenu1");
        Bind(OpenDialog1, "OpenDialog1");
        Bind(Timer1, "Timer1");
    });
}

void TAllControls::FormCreate(TObject*)
{
    Events.push_back("FormCreate");
    TTreeNode* root = TreeView1->GetItems()->Add(nullptr, "Склад");
    TreeView1->GetItems()->AddChild(root, "Обувь");
    TreeView1->FullExpand();
}

void TAllControls::FormShow(TObject*) { Events.push_back("FormShow"); }
void TAllControls::Button1Click(TObject*) { Events.push_back("Button1Click"); }
void TAllControls::CheckBox1Click(TObject*) { Events.push_back(CheckBox1->GetChecked() ? "CheckBox1Click on" : "CheckBox1Click off"); }
void TAllControls::ComboBox1Change(TObject*) { Events.push_back("ComboBox1Change " + ComboBox1->GetText()); }
void TAllControls::TreeView1Change(TObject*, TTreeNode* node) { Events.push_back("TreeView1Change " + (node ? node->GetText() : AnsiString())); }

void RegisterAllControlsForm()
{
    RegisterGuiClasses();
    RegisterClass(TAllControls::StaticClass());
}
