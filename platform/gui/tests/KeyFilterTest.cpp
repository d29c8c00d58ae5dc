// Keys for peers whose widgets act on them: what the model takes, what it lets through,
// and what a window's handler changes on the way (UserFilterKeyDown/UserFilterKeyPress).
#include "platform/gui/tests/TestForms.h"

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"

#include <gtest/gtest.h>

namespace {

struct KeyFixture : GuiTest {
    TLogForm* Form = NewForm("Main");
    TEdit* Edit = new TEdit(Form);
    TMemo* Memo = new TMemo(Form);
    TButton* Ok = new TButton(Form);
    TButton* Cancel = new TButton(Form);
    std::vector<std::string> Clicks;

    KeyFixture()
    {
        for (TControl* c : std::initializer_list<TControl*>{Edit, Memo, Ok, Cancel})
            c->SetParent(Form);
        Edit->SetName("Edit1");
        Memo->SetName("Memo1");
        Ok->SetDefault(true);
        Cancel->SetCancel(true);
        Ok->OnClick = TNotifyEvent::Lambda([this](TObject*) { Clicks.push_back("ok"); });
        Cancel->OnClick = TNotifyEvent::Lambda([this](TObject*) { Clicks.push_back("cancel"); });
        Form->Show();
    }
};

using KeyFilter = KeyFixture;

TEST_F(KeyFilter, HandlersDropOrChangeTypedCharacters)
{
    // The window's habits: a decimal point typed as '.' becomes ',', letters are refused
    // in a number field, and the form's preview swallows '#'.
    Form->OnKeyPress = TKeyPressEvent::Lambda([](TObject*, char& key) {
        if (key == '#')
            key = 0;
    });
    Edit->OnKeyPress = TKeyPressEvent::Lambda([](TObject*, char& key) {
        if (key == '.')
            key = ',';
        else if (key >= 'a' && key <= 'z')
            key = 0;
    });
    struct Case {
        const char* why;
        bool preview;
        char typed;
        bool passes;
        char arrives;
    };
    const Case kCases[] = {
        {"a digit passes unchanged", false, '5', true, '5'},
        {"a point becomes the decimal comma", false, '.', true, ','},
        {"a letter is refused", false, 'x', false, 0},
        {"Cyrillic passes", false, 'ж', true, 'ж'},
        {"without preview the form does not see '#'", false, '#', true, '#'},
        {"with preview the form swallows '#'", true, '#', false, 0},
        {"with preview the control still changes '.'", true, '.', true, ','},
        {"Enter reaches OnKeyPress as #13", false, '\r', true, '\r'},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Form->SetKeyPreview(c.preview);
        char key = c.typed;
        EXPECT_EQ(Edit->UserFilterKeyPress(key), c.passes);
        if (c.passes) {
            EXPECT_EQ(key, c.arrives);
        }
        EXPECT_EQ(Edit->GetText(), "") << "filtering never inserts: the widget does";
    }
}

TEST_F(KeyFilter, UserKeyPressInsertsWhatTheFilterLetThrough)
{
    Edit->OnKeyPress = TKeyPressEvent::Lambda([](TObject*, char& key) {
        if (key == '.')
            key = ',';
        else if (key == 'x')
            key = 0;
    });
    D.Press(Edit, "1.x5");
    EXPECT_EQ(Edit->GetText(), "1,5");
}

TEST_F(KeyFilter, TypedKeysReplaceTheSelectedText)
{
    struct Case {
        const char* why;
        int start, length;  // -1: SelectAll
        AnsiString typed, expected;
    };
    const Case kCases[] = {
        {"a character replaces all of it", 0, -1, "x", "x"},
        {"and typing goes on after it", 0, -1, "xy", "xy"},
        {"a character replaces a part", 1, 2, "x", "Иxго"},
        {"Backspace takes the selection away", 1, 2, "\b", "Иго"},
        {"Backspace on all of it empties the edit", 0, -1, "\b", ""},
        {"nothing selected: typing goes on at the end", 2, 0, "x", "Итогоx"},
        {"nothing selected: Backspace takes the last character", 2, 0, "\b", "Итог"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Edit->SetText("Итого");
        if (c.length < 0) {
            Edit->SelectAll();
        } else {
            Edit->SetSelStart(c.start);
            Edit->SetSelLength(c.length);
        }
        D.Press(Edit, c.typed);
        EXPECT_EQ(Edit->GetText(), c.expected);
        EXPECT_EQ(Edit->GetSelLength(), 0);
    }
    Edit->SelectAll();
    Edit->SetText("другой");
    EXPECT_EQ(Edit->GetSelLength(), 0) << "a new text drops the selection";
    D.Press(Edit, "!");
    EXPECT_EQ(Edit->GetText(), "другой!");
}

TEST_F(KeyFilter, KeysArrivingInAnEditSelectItsTextAClickDoesNot)
{
    // The user types over the value shown: the focus comes by keyboard or from the
    // program and selects the whole text; a click only places the caret.
    struct Case {
        const char* why;
        std::function<void()> focus;
        bool autoSelect;
        AnsiString expected;
    };
    const Case kCases[] = {
        {"Tab from the last control wraps round to the edit", [&] { D.Key(Cancel, VK_TAB); }, true, "20"},
        {"Shift+Tab from the memo", [&] { D.Key(Memo, VK_TAB, TShiftState{ssShift}); }, true, "20"},
        {"the program calls SetFocus", [&] { Edit->SetFocus(); }, true, "20"},
        {"the program sets ActiveControl", [&] { Form->SetActiveControl(Edit); }, true, "20"},
        {"a mouse click: the caret, nothing selected", [&] { Edit->UserFocused(); }, true, "1820"},
        {"AutoSelect off: Tab selects nothing", [&] { D.Key(Cancel, VK_TAB); }, false, "1820"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Form->SetActiveControl(Ok);
        Edit->SetAutoSelect(c.autoSelect);
        Edit->SetText("18");
        c.focus();
        ASSERT_EQ(Form->GetActiveControl(), Edit);
        D.Press(Edit, "20");
        EXPECT_EQ(Edit->GetText(), c.expected);
    }

    // OnEnter runs after the selection is made and may place the caret itself.
    Edit->SetAutoSelect(true);
    Edit->OnEnter = TNotifyEvent::Lambda([this](TObject*) { Edit->SetSelStart(2); });
    Form->SetActiveControl(Ok);
    Edit->SetText("18");
    D.Key(Cancel, VK_TAB);
    D.Press(Edit, "5");
    EXPECT_EQ(Edit->GetText(), "185");
}

TEST_F(KeyFilter, KeysArrivingInAComboSelectItsEditPartAClickDoesNot)
{
    // A quantity box shows "1"; the user types 3 over it. Every combo with an edit part
    // selects its text when the keys arrive; a drop-down list has no text to type into.
    TLogForm* card = NewForm("Card");
    auto* before = new TEdit(card);
    auto* box = new TComboBox(card);
    auto* after = new TButton(card);
    int top = 8;
    for (TControl* c : std::initializer_list<TControl*>{before, box, after}) {
        c->SetParent(card);
        c->SetBounds(8, top, 120, 21);
        top += 30;
    }
    box->GetItems()->Add("1");
    box->GetItems()->Add("3");
    card->Show();
    struct Case {
        const char* why;
        TComboBoxStyle style;
        std::function<void()> focus;
        AnsiString typed;
        AnsiString expected;
    };
    const Case kCases[] = {
        {"Tab from the edit before", csDropDown, [&] { D.Key(before, VK_TAB); }, "3", "3"},
        {"Shift+Tab from the button after", csDropDown, [&] { D.Key(after, VK_TAB, TShiftState{ssShift}); }, "3", "3"},
        {"the program calls SetFocus", csDropDown, [&] { box->SetFocus(); }, "3", "3"},
        {"the program sets ActiveControl", csDropDown, [&] { card->SetActiveControl(box); }, "3", "3"},
        {"a simple combo, by Tab", csSimple, [&] { D.Key(before, VK_TAB); }, "3", "3"},
        {"Backspace after Tab empties the box", csDropDown, [&] { D.Key(before, VK_TAB); }, "\b", ""},
        {"a mouse click: the caret, nothing selected", csDropDown, [&] { box->UserFocused(); }, "3", "13"},
        {"a drop-down list takes no typing", csDropDownList, [&] { D.Key(before, VK_TAB); }, "3", "1"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        box->SetStyle(c.style);
        card->SetActiveControl(before);
        box->SetItemIndex(0);
        c.focus();
        ASSERT_EQ(card->GetActiveControl(), box);
        EXPECT_EQ(box->GetSelLength(), c.style != csDropDownList && c.expected != "13" ? 1 : 0);
        std::vector<AnsiString> changes;
        box->OnChange = TNotifyEvent::Lambda([&](TObject*) { changes.push_back(box->GetText()); });
        D.Press(box, c.typed);
        box->OnChange = {};
        EXPECT_EQ(box->GetText(), c.expected);
        if (c.style != csDropDownList) {
            EXPECT_EQ(changes, std::vector<AnsiString>{c.expected}) << "OnChange once, with the new text";
            EXPECT_EQ(box->GetItemIndex(), box->GetItems()->IndexOf(c.expected)) << "the item follows the text";
        }
    }

    // A click after keyboard entry drops the selection; OnEnter may place the caret itself.
    box->SetStyle(csDropDown);
    card->SetActiveControl(before);
    box->SetText("1");
    D.Key(before, VK_TAB);
    const TPoint at = box->ClientToScreen({4, 4});
    D.PointerDown(at);
    D.PointerUp(at);
    D.Press(box, "0");
    EXPECT_EQ(box->GetText(), "10");
    box->OnEnter = TNotifyEvent::Lambda([&](TObject*) { box->SetSelStart(2); });
    card->SetActiveControl(before);
    D.Key(before, VK_TAB);
    D.Press(box, "5");
    EXPECT_EQ(box->GetText(), "105");
}

TEST_F(KeyFilter, AMemoNeverSelectsItselfOnEntering)
{
    Memo->SetText("строка");
    for (auto focus : {std::function<void()>([&] { D.Key(Edit, VK_TAB); }), std::function<void()>([&] { Memo->SetFocus(); })}) {
        Form->SetActiveControl(Ok);
        focus();
        ASSERT_EQ(Form->GetActiveControl(), Memo);
        EXPECT_EQ(Memo->GetSelLength(), 0);
    }
}

TEST_F(KeyFilter, ADialogOpeningWithTheFocusInAnEditSelectsItsValueEveryTime)
{
    // Shown twice: the second showing finds the edit already its active control, and the
    // value set in OnShow replaced the old selection; the keys arriving select it again.
    TLogForm* dialog = NewForm("Dialog");
    auto* value = new TEdit(dialog);
    value->SetParent(dialog);
    auto* ok = new TButton(dialog);
    ok->SetParent(dialog);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    dialog->WhenShown = [&] {
        value->SetText("18");
        value->SetFocus();
    };
    for (const char* showing : {"first", "second"}) {
        SCOPED_TRACE(showing);
        D.ExpectModal(dialog, [&] {
            D.Press(value, "20");
            D.Click(ok);
        });
        EXPECT_EQ(dialog->ShowModal(), mrOk);
        EXPECT_EQ(value->GetText(), "20");
    }

    // A form laid out with its ActiveControl gives the edit the keys on its first showing.
    TLogForm* laid = NewForm("Laid");
    auto* price = new TEdit(laid);
    price->SetParent(laid);
    laid->SetActiveControl(price);
    price->SetText("120,50");  // a new text drops what entering selected
    laid->Show();
    D.Press(price, "99");
    EXPECT_EQ(price->GetText(), "99");
}

TEST_F(KeyFilter, ADialogWithNoActiveControlGivesTheKeysToItsFirstSelected)
{
    // As on the desktop: the first control in tab order that can take the keys gets them
    // (a disabled one is passed over), and its value is typed over.
    TLogForm* dialog = NewForm("Dialog");
    auto* off = new TEdit(dialog);
    auto* quantity = new TComboBox(dialog);
    auto* ok = new TButton(dialog);
    for (TWinControl* c : std::initializer_list<TWinControl*>{off, quantity, ok})
        c->SetParent(dialog);
    off->SetEnabled(false);
    ok->SetModalResult(mrOk);
    quantity->SetText("1");
    D.ExpectModal(dialog, [&] {
        EXPECT_EQ(dialog->GetActiveControl(), quantity);
        D.Press(quantity, "3");
        D.Click(ok);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(quantity->GetText(), "3");
}

TEST_F(GuiTest, AWindowWithNoActiveControlEntersTheFirstThatCanTakeTheKeys)
{
    // Each window: a panel holding an edit, then an edit and a button, in creation order;
    // each row changes one thing and names the control that gets the keys (none: no control
    // can take them, and the window still activates).
    struct TWindow {
        TLogForm* Form;
        TPanel* Panel;
        TEdit* Inner;
        TEdit* Edit;
        TButton* Button;
    };
    enum TWho { kInner, kEdit, kButton, kNone };
    struct Case {
        const char* why;
        std::function<void(TWindow&)> arrange;
        TWho expected;
    } const kCases[] = {
        {"the panel's edit is first in tab order", [](TWindow&) {}, kInner},
        {"the tab order puts the button first", [](TWindow& w) { w.Button->SetTabOrder(0); }, kButton},
        {"the panel is disabled", [](TWindow& w) { w.Panel->SetEnabled(false); }, kEdit},
        {"the panel is hidden", [](TWindow& w) { w.Panel->SetVisible(false); }, kEdit},
        {"the first two are disabled, hidden",
         [](TWindow& w) {
             w.Inner->SetEnabled(false);
             w.Edit->SetVisible(false);
         },
         kButton},
        {"the edits are not tab stops",
         [](TWindow& w) {
             w.Inner->SetTabStop(false);
             w.Edit->SetTabStop(false);
         },
         kButton},
        {"nothing can take the keys",
         [](TWindow& w) {
             w.Panel->SetVisible(false);
             w.Edit->SetEnabled(false);
             w.Button->SetVisible(false);
         },
         kNone},
        {"the window names its own", [](TWindow& w) { w.Form->SetActiveControl(w.Edit); }, kEdit},
    };
    NewForm("Main");
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        TWindow w{NewForm("Dialog")};
        w.Panel = new TPanel(w.Form);
        w.Panel->SetParent(w.Form);
        w.Inner = new TEdit(w.Form);
        w.Inner->SetParent(w.Panel);
        w.Edit = new TEdit(w.Form);
        w.Edit->SetParent(w.Form);
        w.Button = new TButton(w.Form);
        w.Button->SetParent(w.Form);
        c.arrange(w);
        ClearLog();
        w.Form->Show();
        TWinControl* const expected[] = {w.Inner, w.Edit, w.Button, nullptr};
        EXPECT_EQ(w.Form->GetActiveControl(), expected[c.expected]);
        EXPECT_EQ(Log(), (std::vector<std::string>{"Dialog.OnShow", "Dialog.OnActivate"}));
        delete w.Form;
    }
}

TEST_F(KeyFilter, DialogKeysAreTakenOnlyWhenTheyDidSomething)
{
    struct Case {
        const char* why;
        std::function<TWinControl*()> target;
        Word key;
        TShiftState shift;
        bool passes;
        std::vector<std::string> clicks;
    };
    const Case kCases[] = {
        {"Enter in an edit presses the default button", [&] { return Edit; }, VK_RETURN, {}, false, {"ok"}},
        {"Escape in an edit presses the cancel button", [&] { return Edit; }, VK_ESCAPE, {}, false, {"cancel"}},
        {"Enter in a memo that wants returns is the memo's", [&] { return Memo; }, VK_RETURN, {}, true, {}},
        {"Escape in a memo still cancels", [&] { return Memo; }, VK_ESCAPE, {}, false, {"cancel"}},
        {"Enter on a button presses that button", [&] { return Cancel; }, VK_RETURN, {}, false, {"cancel"}},
        {"Tab moves the focus; the widget must not move it again", [&] { return Edit; }, VK_TAB, {}, false, {}},
        {"an ordinary key goes on to the widget", [&] { return Edit; }, 'A', {}, true, {}},
        {"a cursor key goes on to the widget", [&] { return Edit; }, VK_LEFT, {}, true, {}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Clicks.clear();
        Word key = c.key;
        EXPECT_EQ(c.target()->UserFilterKeyDown(key, c.shift), c.passes);
        EXPECT_EQ(Clicks, c.clicks);
    }

    // Without default and cancel buttons Enter and Escape are the control's own again.
    Ok->SetDefault(false);
    Cancel->SetCancel(false);
    Word enter = VK_RETURN, escape = VK_ESCAPE;
    EXPECT_TRUE(Edit->UserFilterKeyDown(enter));
    EXPECT_TRUE(Edit->UserFilterKeyDown(escape));
    EXPECT_TRUE(Clicks.empty());
}

TEST_F(KeyFilter, TabMovesTheFocusOnce)
{
    Form->SetActiveControl(Edit);
    Word tab = VK_TAB;
    EXPECT_FALSE(Edit->UserFilterKeyDown(tab));
    EXPECT_EQ(Form->GetActiveControl(), Memo) << "the next control in tab order, exactly one step";
}

TEST_F(KeyFilter, ShortCutsHandlersAndRefusalsTakeTheKey)
{
    auto* menu = new TMainMenu(Form);
    auto* save = new TMenuItem(Form);
    save->SetShortCut(ShortCut('S', TShiftState{ssCtrl}));
    int saved = 0;
    save->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++saved; });
    menu->GetItems()->Add(save);
    Form->SetMenu(menu);

    Word ctrlS = 'S';
    EXPECT_FALSE(Edit->UserFilterKeyDown(ctrlS, TShiftState{ssCtrl})) << "the menu item used it";
    EXPECT_EQ(saved, 1);

    Edit->OnKeyDown = TKeyEvent::Lambda([](TObject*, Word& key, TShiftState) {
        if (key == VK_DELETE)
            key = 0;
        if (key == VK_F2)
            throw Exception("Ошибка в обработчике");
    });
    Word del = VK_DELETE;
    EXPECT_FALSE(Edit->UserFilterKeyDown(del)) << "OnKeyDown zeroed it";
    char typed = 'a';
    Form->SetKeyPreview(true);
    Form->OnKeyDown = TKeyEvent::Lambda([](TObject*, Word& key, TShiftState) {
        if (key == VK_INSERT)
            key = 0;
    });
    Word ins = VK_INSERT;
    EXPECT_FALSE(Edit->UserFilterKeyDown(ins)) << "the form's preview zeroed it";

    Word f2 = VK_F2;
    EXPECT_FALSE(Edit->UserFilterKeyDown(f2)) << "a handler that raised spent the key";
    EXPECT_EQ(D.TakeErrors(), std::vector<AnsiString>{"Ошибка в обработчике."});

    Edit->SetEnabled(false);
    Word a = 'A';
    EXPECT_FALSE(Edit->UserFilterKeyDown(a)) << "a disabled edit refuses";
    EXPECT_FALSE(Edit->UserFilterKeyPress(typed));
}

}  // namespace
