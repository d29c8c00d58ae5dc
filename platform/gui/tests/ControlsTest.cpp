// Smaller controls: memo lines, list box, progress bar, up-down, date picker, speed
// buttons, status panels, menus.
#include "platform/gui/tests/TestForms.h"

#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>
#include <utility>

namespace {

TEST_F(GuiTest, MemoLinesAndTextStayInStep)
{
    TLogForm* form = NewForm("Form");
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    int changes = 0;
    memo->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    memo->GetLines()->Add("Первая");
    memo->GetLines()->Add("Вторая");
    EXPECT_EQ(memo->GetText(), "Первая\r\nВторая");
    memo->SetText("а\nб\nв");
    EXPECT_EQ(memo->GetLines()->Count(), 3);
    EXPECT_EQ(memo->GetLines()->Get(2), "в");
    EXPECT_EQ(changes, 3);
}

// Lines as the memo's text splits them, joined with '|' to compare at a glance.
AnsiString Split(const AnsiString& text)
{
    TStringList lines;
    lines.SetText(text);
    AnsiString r;
    for (int i = 0; i < lines.Count(); ++i)
        r += (i ? "|" : "") + lines.Get(i);
    return r;
}

AnsiString Joined(const TStrings& lines, const char* with = "|")
{
    AnsiString r;
    for (int i = 0; i < lines.Count(); ++i)
        r += (i ? with : "") + lines.Get(i);
    return r;
}

// The text is its lines joined, or the lines are the text split (a text set whole may end
// with a break that makes no line).
bool Agree(const TMemo& memo)
{
    const TStrings& lines = *memo.GetLines();
    return memo.GetText() == Joined(lines, "\r\n") || Split(memo.GetText()) == Joined(lines);
}

// Whatever changes a memo, by its lines or its text, both say the same the moment either
// is read (in OnChange too), and OnChange fires once per change that alters the text.
TEST_F(GuiTest, MemoTextAndLinesAgreeAfterEveryKindOfChange)
{
    TLogForm* form = NewForm("Form");
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    TStrings* lines = memo->GetLines();
    int changes = 0;
    memo->OnChange = TNotifyEvent::Lambda([&](TObject*) {
        ++changes;
        EXPECT_TRUE(Agree(*memo)) << "read in OnChange";
    });
    struct Step {
        const char* why;
        std::function<void()> change;
        const char* text;
        const char* lines;
        int changes;
    };
    const Step kSteps[] = {
        {"added to an empty memo", [&] { lines->Add("Первая"); }, "Первая", "Первая", 1},
        {"added at the end", [&] { lines->Add("Вторая"); }, "Первая\r\nВторая", "Первая|Вторая", 1},
        {"an empty line added", [&] { lines->Add(""); }, "Первая\r\nВторая\r\n", "Первая|Вторая|", 1},
        {"added after the empty line", [&] { lines->Add("Третья"); }, "Первая\r\nВторая\r\n\r\nТретья",
         "Первая|Вторая||Третья", 1},
        {"inserted at the front", [&] { lines->Insert(0, "Ноль"); }, "Ноль\r\nПервая\r\nВторая\r\n\r\nТретья",
         "Ноль|Первая|Вторая||Третья", 1},
        {"inserted past the last", [&] { lines->Insert(lines->Count(), "Четвёртая"); },
         "Ноль\r\nПервая\r\nВторая\r\n\r\nТретья\r\nЧетвёртая", "Ноль|Первая|Вторая||Третья|Четвёртая", 1},
        {"deleted", [&] { lines->Delete(2); }, "Ноль\r\nПервая\r\n\r\nТретья\r\nЧетвёртая",
         "Ноль|Первая||Третья|Четвёртая", 1},
        {"replaced", [&] { lines->Put(0, "Один"); }, "Один\r\nПервая\r\n\r\nТретья\r\nЧетвёртая",
         "Один|Первая||Третья|Четвёртая", 1},
        {"text set whole, with a final break", [&] { memo->SetText("а\r\nб\r\n"); }, "а\r\nб\r\n", "а|б", 1},
        {"added after that text", [&] { lines->Add("в"); }, "а\r\nб\r\nв", "а|б|в", 1},
        {"cleared", [&] { lines->Clear(); }, "", "", 1},
        {"an empty line added to an empty memo", [&] { lines->Add(""); }, "", "", 0},
        {"added after the empty first line", [&] { lines->Add("г"); }, "\r\nг", "|г", 1},
        {"changed inside one update",
         [&] {
             lines->BeginUpdate();
             lines->Add("д");
             lines->Insert(0, "е");
             lines->Add("ж");
             lines->EndUpdate();
         },
         "е\r\n\r\nг\r\nд\r\nж", "е||г|д|ж", 1},
        {"added after the update", [&] { lines->Add("з"); }, "е\r\n\r\nг\r\nд\r\nж\r\nз", "е||г|д|ж|з", 1},
        {"text set whole, lines follow", [&] { memo->SetText("и\r\nк"); }, "и\r\nк", "и|к", 1},
        {"upper case: the text and lines take it", [&] { memo->SetCharCase(ecUpperCase); }, "И\r\nК", "И|К", 1},
        {"upper case: an added line takes it", [&] { lines->Add("ёлка"); }, "И\r\nК\r\nЁЛКА", "И|К|ЁЛКА", 1},
    };
    for (const Step& step : kSteps) {
        SCOPED_TRACE(step.why);
        changes = 0;
        step.change();
        EXPECT_EQ(memo->GetText(), AnsiString(step.text));
        EXPECT_EQ(Joined(*lines), AnsiString(step.lines));
        EXPECT_EQ(changes, step.changes);
    }
}

// A handler that fails while a line is added leaves the memo keeping its text with its
// lines afterwards.
TEST_F(GuiTest, MemoKeepsItsTextInStepAfterAFailingOnChange)
{
    TLogForm* form = NewForm("Form");
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    bool fail = true;
    memo->OnChange = TNotifyEvent::Lambda([&](TObject*) {
        if (std::exchange(fail, false))
            throw Exception("Ошибка в обработчике");
    });
    for (const char* text : {"а", "б"}) {
        SCOPED_TRACE(text);
        fail = true;
        EXPECT_THROW(memo->GetLines()->Add(text), Exception);
        memo->GetLines()->Add("в");
        memo->GetLines()->Insert(0, "г");
        EXPECT_TRUE(Agree(*memo)) << memo->GetText();
    }
}

struct RangeCase {
    const char* why;
    int set;
    int expected;
};

TEST_F(GuiTest, ProgressPositionStaysInItsRange)
{
    const RangeCase cases[] = {
        {"inside", 40, 40},
        {"below the minimum", -5, 0},
        {"above the maximum", 250, 100},
    };
    TLogForm* form = NewForm("Form");
    auto* bar = new TProgressBar(form);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        bar->SetPosition(c.set);
        EXPECT_EQ(bar->GetPosition(), c.expected);
    }
    bar->SetMax(20);
    EXPECT_EQ(bar->GetPosition(), 20) << "a smaller maximum pulls the position in";
}

TEST_F(GuiTest, UpDownStepsItsEdit)
{
    TLogForm* form = NewForm("Form");
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    auto* upDown = new TUpDown(form);
    upDown->SetParent(form);
    upDown->SetAssociate(edit);
    upDown->SetMax(2);
    form->Show();
    D.Step(upDown, true);
    D.Step(upDown, true);
    D.Step(upDown, true);
    EXPECT_EQ(upDown->GetPosition(), 2);
    EXPECT_EQ(edit->GetText(), "2");
    upDown->SetMax(5000);
    upDown->SetPosition(1500);
    EXPECT_EQ(edit->GetText(), "1" + AnsiString(1, FormatSettings().ThousandSeparator) + "500");
    delete edit;
    EXPECT_EQ(upDown->GetAssociate(), nullptr) << "a freed associate is forgotten";
}

// The arrows step from the number the user typed into the edit, as the platform's up-down
// reads its buddy before each step.
TEST_F(GuiTest, UpDownStepsFromWhatWasTypedIntoItsEdit)
{
    struct TCase {
        const char* why;
        AnsiString typed;
        bool up;
        AnsiString shown;
    };
    const TCase cases[] = {
        {"typed 5, up", "5", true, "6"},
        {"typed 5, down", "5", false, "4"},
        {"typed past the maximum, up: stays at the maximum", "5000", true, "100"},
        {"typed below the minimum, down", "-3", false, "1"},
        {"with a thousands separator", "1" + AnsiString(1, FormatSettings().ThousandSeparator) + "0", true, "11"},
        {"not a number: steps from the position", "abc", true, "3"},
    };
    int n = 0;
    for (bool byKey : {false, true})
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(c.why) + (byKey ? ", Up/Down key in the edit" : ", arrow clicked"));
            TLogForm* form = NewForm("Form" + IntToStr(++n));
            auto* edit = new TEdit(form);
            edit->SetParent(form);
            auto* upDown = new TUpDown(form);
            upDown->SetParent(form);
            upDown->SetMin(1);
            upDown->SetPosition(2);
            upDown->SetAssociate(edit);
            form->Show();
            D.Type(edit, c.typed);
            if (byKey)
                D.Key(edit, c.up ? VK_UP : VK_DOWN);
            else
                D.Step(upDown, c.up);
            EXPECT_EQ(edit->GetText(), c.shown);
            EXPECT_EQ(IntToStr(upDown->GetPosition()), c.shown);
        }
}

TEST_F(GuiTest, ArrowKeysStepOnlyAnEditsOwnUpDown)
{
    TLogForm* form = NewForm("Form");
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    auto* other = new TEdit(form);
    other->SetParent(form);
    auto* upDown = new TUpDown(form);
    upDown->SetParent(form);
    upDown->SetPosition(2);
    upDown->SetAssociate(edit);
    form->Show();
    D.Key(other, VK_UP);
    EXPECT_EQ(upDown->GetPosition(), 2) << "another edit's key";
    D.Key(edit, VK_UP, TShiftState{ssCtrl});
    EXPECT_EQ(upDown->GetPosition(), 2) << "Ctrl+Up";
    upDown->SetEnabled(false);
    D.Key(edit, VK_UP);
    EXPECT_EQ(upDown->GetPosition(), 2) << "a disabled up-down";
    upDown->SetEnabled(true);
    D.Key(edit, VK_DOWN);
    EXPECT_EQ(edit->GetText(), "1");
}

// Up and Down step an up-down of either orientation, in its edit and in the up-down
// itself; Left and Right stay the edit's (caret) and do nothing to the up-down.
TEST_F(GuiTest, UpDownStepsWithUpAndDownInEitherOrientation)
{
    struct TCase {
        const char* why;
        TUDOrientation orientation;
        Word key;
        bool wrap;
        int start;
        int expected;
        int clicks;
    };
    const TCase cases[] = {
        {"vertical, Up", udVertical, VK_UP, false, 5, 7, 1},
        {"vertical, Down", udVertical, VK_DOWN, false, 5, 3, 1},
        {"vertical, Right", udVertical, VK_RIGHT, false, 5, 5, 0},
        {"vertical, Left", udVertical, VK_LEFT, false, 5, 5, 0},
        {"horizontal, Up", udHorizontal, VK_UP, false, 5, 7, 1},
        {"horizontal, Down", udHorizontal, VK_DOWN, false, 5, 3, 1},
        {"horizontal, Right", udHorizontal, VK_RIGHT, false, 5, 5, 0},
        {"horizontal, Left", udHorizontal, VK_LEFT, false, 5, 5, 0},
        {"horizontal, Up at the maximum", udHorizontal, VK_UP, false, 10, 10, 1},
        {"horizontal, Up at the maximum, wrapping", udHorizontal, VK_UP, true, 10, 1, 1},
        {"horizontal, Down at the minimum, wrapping", udHorizontal, VK_DOWN, true, 1, 10, 1},
    };
    int n = 0;
    for (bool inEdit : {true, false})
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(c.why) + (inEdit ? ", in the edit" : ", in the up-down"));
            TLogForm* form = NewForm("Form" + IntToStr(++n));
            auto* edit = new TEdit(form);
            edit->SetParent(form);
            auto* upDown = new TUpDown(form);
            upDown->SetParent(form);
            upDown->SetOrientation(c.orientation);
            upDown->SetMin(1);
            upDown->SetMax(10);
            upDown->SetIncrement(2);
            upDown->SetWrap(c.wrap);
            upDown->SetPosition(c.start);
            upDown->SetAssociate(edit);
            int clicks = 0;
            upDown->OnClick = TUDClickEvent::Lambda([&](TObject*, TUDBtnType) { ++clicks; });
            form->Show();
            D.Key(inEdit ? static_cast<TWinControl*>(edit) : upDown, c.key);
            EXPECT_EQ(upDown->GetPosition(), c.expected);
            EXPECT_EQ(edit->GetText(), IntToStr(c.expected));
            EXPECT_EQ(clicks, c.clicks);
        }
}

TEST_F(GuiTest, DatePickerKeepsTheTimeOfDayAndFiresOnlyForTheUser)
{
    D.SetNow(EncodeDate(2024, 5, 17) + EncodeTime(10, 30, 0, 0));
    TLogForm* form = NewForm("Form");
    auto* picker = new TDateTimePicker(form);
    picker->SetParent(form);
    int changes = 0;
    picker->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    EXPECT_EQ(double(picker->GetDate()), double(EncodeDate(2024, 5, 17)));
    picker->SetDate(EncodeDate(2024, 6, 1));
    EXPECT_EQ(changes, 0);
    form->Show();
    D.PickDate(picker, EncodeDate(2024, 6, 2));
    EXPECT_EQ(changes, 1);
    EXPECT_DOUBLE_EQ(double(picker->GetDateTime()), double(EncodeDate(2024, 6, 2) + EncodeTime(10, 30, 0, 0)));
}

TEST_F(GuiTest, GroupedSpeedButtonsActLikeRadioButtons)
{
    TLogForm* form = NewForm("Form");
    auto* hand = new TSpeedButton(form);
    hand->SetParent(form);
    hand->SetGroupIndex(1);
    auto* zoom = new TSpeedButton(form);
    zoom->SetParent(form);
    zoom->SetGroupIndex(1);
    hand->SetDown(true);
    form->Show();
    D.Click(zoom);
    EXPECT_TRUE(zoom->GetDown());
    EXPECT_FALSE(hand->GetDown());
    D.Click(zoom);
    EXPECT_TRUE(zoom->GetDown()) << "one button of the group stays down";
}

TEST_F(GuiTest, ArrowKeysMoveTheCheckRoundARadioGroup)
{
    TLogForm* form = NewForm("Form");
    auto* box = new TGroupBox(form);
    box->SetParent(form);
    TRadioButton* r[4];
    for (TRadioButton*& b : r) {
        b = new TRadioButton(form);
        b->SetParent(box);
    }
    r[3]->SetTabOrder(0);  // tab order, not creation order, makes the sequence: 3 0 1 2
    r[1]->SetEnabled(false);
    auto* other = new TRadioButton(form);  // another parent, another group
    other->SetParent(form);
    form->Show();
    int clicks = 0;
    for (TRadioButton* b : r)
        b->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
    struct Case {
        const char* why;
        int from;
        Word key;
        int to;  // -1: the check stays
    };
    const Case kCases[] = {
        {"Down goes to the next in tab order", 3, VK_DOWN, 0},
        {"Right too", 3, VK_RIGHT, 0},
        {"a disabled button is passed over", 0, VK_DOWN, 2},
        {"Down from the last goes round to the first", 2, VK_DOWN, 3},
        {"Up goes to the previous", 0, VK_UP, 3},
        {"Left from the first goes round to the last", 3, VK_LEFT, 2},
        {"Up passes the disabled button backwards", 2, VK_UP, 0},
        {"other keys leave the check", 0, VK_HOME, -1},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        D.Click(r[c.from]);
        clicks = 0;
        D.Key(r[c.from], c.key);
        const int to = c.to < 0 ? c.from : c.to;
        EXPECT_TRUE(r[to]->GetChecked());
        EXPECT_EQ(form->GetActiveControl(), r[to]);
        EXPECT_EQ(clicks, c.to < 0 ? 0 : 1);
        EXPECT_FALSE(other->GetChecked()) << "the other group is untouched";
    }
}

TEST_F(GuiTest, TabEntersARadioGroupAtItsCheckedButton)
{
    struct Case {
        const char* why;
        int checked;         // -1: none
        bool checkedEnabled;
        std::vector<int> stops;  // Tab from the edit round to the edit: -1 edit, -2 button, 0..2 radios
    };
    const Case kCases[] = {
        {"the checked button only", 1, true, {1, -2, -1}},
        {"the first checked", 0, true, {0, -2, -1}},
        {"none checked: every button", -1, true, {0, 1, 2, -2, -1}},
        {"the checked one disabled: the others", 2, false, {0, 1, -2, -1}},
    };
    int n = 0;
    for (const Case& c : kCases)
        for (bool back : {false, true}) {
            SCOPED_TRACE(std::string(c.why) + (back ? ", Shift+Tab" : ", Tab"));
            TLogForm* form = NewForm("Form" + IntToStr(++n));
            auto* edit = new TEdit(form);
            edit->SetParent(form);
            auto* box = new TGroupBox(form);
            box->SetParent(form);
            TRadioButton* r[3];
            for (TRadioButton*& b : r) {
                b = new TRadioButton(form);
                b->SetParent(box);
                b->SetTabStop(true);
            }
            auto* button = new TButton(form);
            button->SetParent(form);
            button->SetTabStop(true);
            edit->SetTabStop(true);
            if (c.checked >= 0) {
                r[c.checked]->SetChecked(true);
                r[c.checked]->SetEnabled(c.checkedEnabled);
            }
            form->Show();
            form->SetActiveControl(edit);
            auto at = [&](int stop) -> TWinControl* { return stop == -1 ? edit : stop == -2 ? static_cast<TWinControl*>(button) : r[stop]; };
            std::vector<int> stops = c.stops;
            if (back) {
                stops.pop_back();
                std::reverse(stops.begin(), stops.end());
                stops.push_back(-1);
            }
            for (int stop : stops) {
                D.Key(form->GetActiveControl(), VK_TAB, back ? TShiftState{ssShift} : TShiftState{});
                EXPECT_EQ(form->GetActiveControl(), at(stop)) << "stop " << stop;
            }
        }
}

TEST_F(GuiTest, StatusPanelsHoldTheirTexts)
{
    TLogForm* form = NewForm("Form");
    auto* bar = new TStatusBar(form);
    bar->SetParent(form);
    bar->GetPanels()->Add()->SetWidth(150);
    bar->GetPanels()->Add()->SetWidth(50);
    bar->GetPanels()->Items(0)->SetText("Страница 1 из 3");
    EXPECT_EQ(bar->GetPanels()->Items(0)->GetText(), "Страница 1 из 3");
    EXPECT_EQ(bar->GetAlign(), alBottom);
}

TEST_F(GuiTest, MenuShortCutsReachOnlyReachableItems)
{
    TLogForm* form = NewForm("Form");
    auto* menu = new TMainMenu(form);
    auto* file = new TMenuItem(form);
    file->SetCaption("Файл");
    menu->GetItems()->Add(file);
    auto* open = new TMenuItem(form);
    open->SetCaption("Открыть склад");
    open->SetShortCut(TextToShortCut("Ctrl+O"));
    file->Add(open);
    form->SetMenu(menu);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    int opened = 0;
    open->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++opened; });
    form->Show();
    D.Key(edit, 'O', TShiftState{ssCtrl});
    EXPECT_EQ(opened, 1);
    file->SetEnabled(false);
    D.Key(edit, 'O', TShiftState{ssCtrl});
    EXPECT_EQ(opened, 1) << "an item under a disabled item is not reached";
    EXPECT_FALSE(open->UserClicked());
    file->SetEnabled(true);
    D.Menu(open);
    EXPECT_EQ(opened, 2);
}

TEST_F(GuiTest, ListBoxSelectionFromTheUserClicks)
{
    TLogForm* form = NewForm("Form");
    auto* list = new TListBox(form);
    list->SetParent(form);
    list->GetItems()->Add("Один");
    list->GetItems()->Add("Два");
    int clicks = 0;
    list->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
    list->SetItemIndex(0);
    EXPECT_EQ(clicks, 0);
    form->Show();
    D.Select(list, 1);
    EXPECT_EQ(list->GetItemIndex(), 1);
    EXPECT_TRUE(list->GetSelected(1));
    EXPECT_EQ(clicks, 1);
    EXPECT_THROW(list->GetSelected(5), EListError);
}

// A control holds its font inline; every kind of change to it still reaches the
// control: it stops following its parent, and the children that follow it follow.
TEST_F(GuiTest, EveryChangeOfAControlsFontReachesItAndItsChildren)
{
    struct Row {
        const char* why;
        std::function<void(TFont&)> change;
    };
    const Row rows[] = {
        {"size", [](TFont& f) { f.SetSize(14); }},
        {"name", [](TFont& f) { f.SetName("Arial"); }},
        {"style", [](TFont& f) { f.SetStyle({fsBold}); }},
        {"colour", [](TFont& f) { f.SetColor(clRed); }},
        {"assigned from another font", [](TFont& f) { TFont other; other.SetSize(20); other.SetColor(clBlue); f.Assign(&other); }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        TForm form(nullptr);
        auto* panel = new TPanel(&form);
        panel->SetParent(&form);
        auto* follows = new TButton(&form);
        follows->SetParent(panel);
        auto* own = new TButton(&form);
        own->SetParent(panel);
        own->GetFont()->SetSize(30);
        ASSERT_FALSE(own->GetParentFont());
        ASSERT_TRUE(panel->GetParentFont());
        r.change(*panel->GetFont());
        EXPECT_FALSE(panel->GetParentFont());
        EXPECT_TRUE(follows->GetParentFont());
        EXPECT_TRUE(follows->GetFont()->Equals(*panel->GetFont()));
        EXPECT_FALSE(own->GetFont()->Equals(*panel->GetFont()));
        EXPECT_EQ(own->GetFont()->GetSize(), 30);
        EXPECT_FALSE(form.GetFont()->Equals(*panel->GetFont()));
    }
}

}  // namespace
