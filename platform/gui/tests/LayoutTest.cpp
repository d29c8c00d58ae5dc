// A form built from its layout file: components through the class registry, events bound
// to the form's published methods by name.
#include "platform/gui/tests/AllControlsForm.h"
#include "platform/gui/tests/TestForms.h"

#include "platform/classes/ObjectText.h"

#include <gtest/gtest.h>

class TPlainForm : public TForm {
    SKLAD_CLASS(TPlainForm, TForm)
public:
    explicit TPlainForm(TComponent* AOwner) : TForm(AOwner) {}
    void Load(const AnsiString& text) { InitLayoutText(text); }
};


class TPlainForm;

namespace {

struct LayoutTest : GuiTest {
    TAllControls* Form = nullptr;
    LayoutTest()
    {
        RegisterAllControlsForm();
        Application->CreateForm(Form);
    }
};

TEST_F(LayoutTest, ReadsEveryControlWithItsState)
{
    EXPECT_EQ(Form->GetCaption(), "Все элементы");
    EXPECT_EQ(Form->Label1->GetCaption(), "Поставщик");
    EXPECT_EQ(Form->Edit1->GetText(), "Текст");
    EXPECT_EQ(Form->Edit2->GetPasswordChar(), '*');
    EXPECT_EQ(Form->ComboBox1->GetItems()->Count(), 2);
    EXPECT_EQ(Form->ComboBox1->GetItems()->Get(1), "Копия чека");
    EXPECT_EQ(Form->ComboBox1->GetStyle(), csDropDownList);
    EXPECT_TRUE(Form->CheckBox1->GetChecked());
    EXPECT_TRUE(Form->RadioButton1->GetChecked());
    EXPECT_FALSE(Form->RadioButton2->GetChecked());
    EXPECT_EQ(Form->Memo1->GetLines()->Count(), 2);
    EXPECT_EQ(Form->Memo1->GetText(), "Первая строка\r\nВторая строка");
    EXPECT_EQ(Form->ListBox1->GetItems()->Get(0), "Один");
    EXPECT_FALSE(Form->MonthCalendar1->GetVisible());
    EXPECT_EQ(Form->ProgressBar1->GetPosition(), 40);
    EXPECT_TRUE(Form->Button1->GetDefault());
    EXPECT_EQ(Form->Button1->GetHint(), "Добавить товар");
    EXPECT_EQ(Form->StatusBar1->GetPanels()->Count(), 2);
    EXPECT_EQ(Form->StatusBar1->GetPanels()->Items(0)->GetWidth(), 150);
    EXPECT_EQ(Form->GetMenu(), Form->MainMenu1);
    EXPECT_EQ(Form->MainMenu1->GetItems()->Count(), 1);
    EXPECT_EQ(Form->N2->GetShortCut(), TextToShortCut("Ctrl+O"));
    EXPECT_EQ(Form->TreeView1->GetPopupMenu(), Form->PopupMenu1);
    EXPECT_EQ(Form->OpenDialog1->Filter, "Файлы баз данных (*.kvb)|*.kvb");
    EXPECT_FALSE(Form->Timer1->GetEnabled());
    EXPECT_EQ(Form->GetFont()->GetName(), "MS Sans Serif");
    EXPECT_EQ(Form->Edit1->GetFont()->GetHeight(), -11) << "children take the form's font";
    // Reading the layout fires no click events; OnCreate ran after it.
    EXPECT_EQ(Form->Events, (std::vector<std::string>{"FormCreate"}));
}

TEST_F(LayoutTest, AlignsWhatTheLayoutAligns)
{
    EXPECT_EQ(Form->ToolBar1->GetTop(), 0);
    EXPECT_EQ(Form->ToolBar1->GetWidth(), Form->GetClientWidth());
    EXPECT_EQ(Form->Panel1->BoundsRect(), Rect(0, 29, 180, Form->GetClientHeight() - 19));
    EXPECT_EQ(Form->Splitter1->GetLeft(), 180);
    EXPECT_EQ(Form->Panel2->GetLeft(), 186);
    EXPECT_EQ(Form->Panel2->GetWidth(), Form->GetClientWidth() - 186);
    EXPECT_EQ(Form->StatusBar1->GetTop(), Form->GetClientHeight() - 19);
    EXPECT_EQ(Form->TreeView1->BoundsRect(), Rect(0, 0, 180, Form->Panel1->GetHeight()));
}

TEST_F(LayoutTest, EventsBoundByNameRunTheFormsMethods)
{
    D.RunApplication([&] {
        D.Click(Form->Button1);
        D.Click(Form->ToolButton1);
        D.Key(Form->Edit1, 'O', TShiftState{ssCtrl});  // the menu's short-cut
        D.Tick(Form->CheckBox1, false);
        D.Select(Form->ComboBox1, "Накладная");
        D.ChooseNode(Form->TreeView1, "Обувь");
        Form->N3->SetEnabled(true);
        EXPECT_FALSE(Form->N3->UserClicked()) << "a hidden menu item cannot be chosen";
        Form->Close();
    });
    EXPECT_EQ(Form->Events,
              (std::vector<std::string>{"FormCreate", "FormShow", "Button1Click", "Button1Click", "Button1Click",
                                        "CheckBox1Click off", "ComboBox1Change Накладная", "TreeView1Change Обувь"}));
}

TEST_F(LayoutTest, BindingAMissingComponentNamesIt)
{
    try {
        Form->Bind<TButton>("Button99");
        FAIL() << "no error";
    } catch (const EComponentError& e) {
        EXPECT_NE(std::string(e.Message()).find("Button99"), std::string::npos);
    }
    EXPECT_THROW(Form->Bind<TEdit>("Button1"), EComponentError) << "another class";
}

struct BadLayoutCase {
    const char* why;
    const char* text;
};

TEST_F(LayoutTest, ABadLayoutRaisesAReadErrorAndLeavesNoHalfForm)
{
    const BadLayoutCase cases[] = {
        {"an unknown class", "object F: TPlainForm\n  object X: TNoSuchControl\n  end\nend\n"},
        {"an unknown handler", "object F: TPlainForm\n  object B: TButton\n    OnClick = NoSuchClick\n  end\nend\n"},
        {"an unknown property", "object F: TPlainForm\n  object B: TButton\n    Flavour = 3\n  end\nend\n"},
        {"a wrong value kind", "object F: TPlainForm\n  object B: TButton\n    Width = 'wide'\n  end\nend\n"},
    };
    RegisterClass(TPlainForm::StaticClass());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        auto* form = new TPlainForm(Application);
        EXPECT_THROW(form->Load(c.text), EReadError);
        EXPECT_EQ(form->ComponentCount(), 0);
        delete form;
    }
}

}  // namespace

SKLAD_DEFINE_CLASS(TPlainForm)
void TPlainForm::Publish(TPropertyTable&) {}
