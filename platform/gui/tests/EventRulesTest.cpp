// The event rules the windows rely on: which changes made from code fire events.
#include "platform/gui/tests/TestForms.h"

#include "platform/gui/ComCtrls.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A form with one of each control whose events count into `fired`.
struct RuleForm {
    TLogForm* Form;
    TCheckBox* Check;
    TRadioButton* Radio1;
    TRadioButton* Radio2;
    TComboBox* Combo;
    TEdit* Edit;
    TTreeView* Tree;
    std::vector<std::string> Fired;

    explicit RuleForm(TLogForm* form) : Form(form)
    {
        Check = Place(new TCheckBox(form));
        Radio1 = Place(new TRadioButton(form));
        Radio2 = Place(new TRadioButton(form));
        Combo = Place(new TComboBox(form));
        Edit = Place(new TEdit(form));
        Tree = Place(new TTreeView(form));
        Combo->GetItems()->Add("Накладная");
        Combo->GetItems()->Add("Копия чека");
        Tree->GetItems()->Add(nullptr, "Склад");
        Check->OnClick = Count("Check.OnClick");
        Radio1->OnClick = Count("Radio1.OnClick");
        Radio2->OnClick = Count("Radio2.OnClick");
        Combo->OnChange = Count("Combo.OnChange");
        Combo->OnSelect = Count("Combo.OnSelect");
        Combo->OnDropDown = Count("Combo.OnDropDown");
        Combo->OnCloseUp = Count("Combo.OnCloseUp");
        Edit->OnChange = Count("Edit.OnChange");
        Tree->OnChange = TTVChangedEvent::Lambda([this](TObject*, TTreeNode* n) {
            Fired.push_back("Tree.OnChange " + std::string(n ? n->GetText() : AnsiString("-")));
        });
    }
    template <class T>
    T* Place(T* c)
    {
        c->SetParent(Form);
        return c;
    }
    TNotifyEvent Count(std::string what)
    {
        return TNotifyEvent::Lambda([this, what](TObject*) { Fired.push_back(what); });
    }
};

struct RuleCase {
    const char* why;
    std::function<void(RuleForm&)> act;
    std::vector<std::string> fired;
};

TEST_F(GuiTest, ChangesFromCodeFireTheClassicEvents)
{
    const RuleCase cases[] = {
        {"Checked from code fires OnClick when it changes", [](RuleForm& f) { f.Check->SetChecked(true); },
         {"Check.OnClick"}},
        {"unchecking from code fires OnClick too",
         [](RuleForm& f) {
             f.Check->SetChecked(true);
             f.Check->SetChecked(false);
         },
         {"Check.OnClick", "Check.OnClick"}},
        {"setting the same Checked fires nothing", [](RuleForm& f) { f.Check->SetChecked(false); }, {}},
        {"State from code fires OnClick", [](RuleForm& f) { f.Check->SetState(cbChecked); }, {"Check.OnClick"}},
        {"a radio button fires when it becomes checked, its sibling silently unchecks",
         [](RuleForm& f) {
             f.Radio1->SetChecked(true);
             f.Radio2->SetChecked(true);
             EXPECT_FALSE(f.Radio1->GetChecked());
         },
         {"Radio1.OnClick", "Radio2.OnClick"}},
        {"unchecking a radio button fires nothing",
         [](RuleForm& f) {
             f.Radio1->SetChecked(true);
             f.Radio1->SetChecked(false);
         },
         {"Radio1.OnClick"}},
        {"a combo's Text from code fires nothing and selects the matching item",
         [](RuleForm& f) {
             f.Combo->SetText("Копия чека");
             EXPECT_EQ(f.Combo->GetItemIndex(), 1);
         },
         {}},
        {"a combo's ItemIndex from code fires nothing and sets the text",
         [](RuleForm& f) {
             f.Combo->SetItemIndex(0);
             EXPECT_EQ(f.Combo->GetText(), "Накладная");
         },
         {}},
        {"dropping a combo's list down from code fires OnDropDown, closing it OnCloseUp",
         [](RuleForm& f) {
             f.Combo->SetDroppedDown(true);
             EXPECT_TRUE(f.Combo->GetDroppedDown());
             f.Combo->SetDroppedDown(true);
             f.Combo->SetDroppedDown(false);
         },
         {"Combo.OnDropDown", "Combo.OnCloseUp"}},
        {"an edit's Text from code fires OnChange", [](RuleForm& f) { f.Edit->SetText("18"); }, {"Edit.OnChange"}},
        {"an edit's unchanged Text fires nothing", [](RuleForm& f) { f.Edit->SetText(""); }, {}},
        {"a tree's Selected from code fires OnChange",
         [](RuleForm& f) { f.Tree->SetSelected(f.Tree->GetItems()->GetFirstNode()); }, {"Tree.OnChange Склад"}},
        {"a node's Selected := false fires OnChange with no node",
         [](RuleForm& f) {
             TTreeNode* n = f.Tree->GetItems()->GetFirstNode();
             n->SetSelected(true);
             n->SetSelected(false);
         },
         {"Tree.OnChange Склад", "Tree.OnChange -"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        RuleForm f(NewForm("Rules"));
        c.act(f);
        EXPECT_EQ(f.Fired, c.fired);
        delete f.Form;
    }
}

TEST_F(GuiTest, UserInputFiresWhatCodeDoesNot)
{
    RuleForm f(NewForm("Rules"));
    f.Form->Show();
    D.Select(f.Combo, 1);
    EXPECT_EQ(f.Fired, (std::vector<std::string>{"Combo.OnChange", "Combo.OnSelect"}));
    EXPECT_EQ(f.Combo->GetText(), "Копия чека");
    f.Fired.clear();
    D.Type(f.Combo, "Счёт");
    EXPECT_EQ(f.Fired, (std::vector<std::string>{"Combo.OnChange"}));
    EXPECT_EQ(f.Combo->GetItemIndex(), -1) << "typed text that is not an item selects nothing";
    f.Fired.clear();
    D.Tick(f.Check);
    D.Tick(f.Check);  // already ticked: nothing more
    EXPECT_EQ(f.Fired, (std::vector<std::string>{"Check.OnClick"}));
}

TEST_F(GuiTest, DisabledParentDisablesItsChildren)
{
    TLogForm* form = NewForm("Form");
    auto* panel = new TGroupBox(form);
    panel->SetParent(form);
    auto* button = new TButton(form);
    button->SetParent(panel);
    int clicks = 0;
    button->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
    form->Show();
    panel->SetEnabled(false);
    EXPECT_TRUE(button->GetEnabled());
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_FALSE(button->UserClicked());
    panel->SetEnabled(true);
    EXPECT_TRUE(button->UserClicked());
    button->Hide();
    EXPECT_FALSE(button->UserClicked()) << "a hidden control takes no input";
    EXPECT_EQ(clicks, 1);
}

TEST_F(GuiTest, EditRulesForTheUser)
{
    TLogForm* form = NewForm("Form");
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    form->Show();
    edit->SetMaxLength(3);
    D.Type(edit, "12345");
    EXPECT_EQ(edit->GetText(), "123");
    edit->SetReadOnly(true);
    EXPECT_FALSE(edit->UserTyped("9"));
    EXPECT_EQ(edit->GetText(), "123");
}

TEST_F(GuiTest, EnterPressesTheDefaultButtonAndEscapeTheCancelButton)
{
    TLogForm* main = NewForm("Main");
    TLogForm* dialog = NewForm("Dialog");
    auto* edit = new TEdit(dialog);
    edit->SetParent(dialog);
    auto* ok = new TButton(dialog);
    ok->SetParent(dialog);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = new TButton(dialog);
    cancel->SetParent(dialog);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    main->Show();
    D.ExpectModal(dialog, [&] { D.Key(edit, VK_RETURN); });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    D.ExpectModal(dialog, [&] { D.Key(edit, VK_ESCAPE); });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
}

TEST_F(GuiTest, FocusMovesWithOnExitAndOnEnter)
{
    TLogForm* form = NewForm("Form");
    auto* a = new TEdit(form);
    a->SetParent(form);
    auto* b = new TEdit(form);
    b->SetParent(form);
    std::vector<std::string> seen;
    a->OnExit = TNotifyEvent::Lambda([&](TObject*) { seen.push_back("a.exit"); });
    b->OnEnter = TNotifyEvent::Lambda([&](TObject*) { seen.push_back("b.enter"); });
    form->Show();
    a->SetFocus();
    b->SetFocus();
    EXPECT_EQ(seen, (std::vector<std::string>{"a.exit", "b.enter"}));
    b->Hide();
    EXPECT_THROW(b->SetFocus(), EInvalidOperation);
}

}  // namespace

namespace {

// What a handler that changes its own event saw of itself.
struct TSelfProbe {
    std::weak_ptr<int> Capture;  // a value the handler's closure holds
    int Runs = 0;
    bool CaptureAliveAfter = false;
    int ReplacementRuns = 0;
};

enum class TSelfChange { Clear, Replace };

// A handler that clears or replaces the event it is set on, then looks at its own capture.
template <class Ev>
Ev SelfChanging(Ev& slot, TSelfChange change, TSelfProbe& probe)
{
    auto capture = std::make_shared<int>(0);
    probe.Capture = capture;
    return Ev::Lambda([capture, &slot, change, &probe](auto&&...) {
        // Locals only from here on: whether the closure is still alive is what is tested.
        TSelfProbe* p = &probe;
        Ev* s = &slot;
        if (change == TSelfChange::Clear)
            *s = nullptr;
        else
            *s = Ev::Lambda([p](auto&&...) { ++p->ReplacementRuns; });
        ++p->Runs;
        p->CaptureAliveAfter = !p->Capture.expired();
    });
}

struct TSelfEventCase {
    const char* why;
    std::function<void(RuleForm&, TSelfChange, TSelfProbe&)> bind;
    std::function<void(RuleForm&, TTestDriver&)> fire;
    std::function<bool(RuleForm&)> assigned;
};

}  // namespace

TEST_F(GuiTest, AHandlerThatChangesItsOwnEventRunsToItsEnd)
{
    int edits = 0;
    TStringList list;
    const TSelfEventCase cases[] = {
        {"notify: an edit's OnChange",
         [](RuleForm& f, TSelfChange c, TSelfProbe& p) { f.Edit->OnChange = SelfChanging(f.Edit->OnChange, c, p); },
         [&](RuleForm& f, TTestDriver&) { f.Edit->SetText("n" + IntToStr(++edits)); },
         [](RuleForm& f) { return f.Edit->OnChange.Assigned(); }},
        {"key: an edit's OnKeyDown",
         [](RuleForm& f, TSelfChange c, TSelfProbe& p) {
             f.Edit->OnKeyDown = SelfChanging(f.Edit->OnKeyDown, c, p);
         },
         [](RuleForm& f, TTestDriver& d) { d.Key(f.Edit, VK_DOWN); },
         [](RuleForm& f) { return f.Edit->OnKeyDown.Assigned(); }},
        {"change with a var parameter: a tree's OnChanging",
         [](RuleForm& f, TSelfChange c, TSelfProbe& p) {
             f.Tree->OnChanging = SelfChanging(f.Tree->OnChanging, c, p);
         },
         [](RuleForm& f, TTestDriver&) {
             TTreeNode* first = f.Tree->GetItems()->GetFirstNode();
             f.Tree->SetSelected(f.Tree->GetSelected() == first ? first->GetNextSibling() : first);
         },
         [](RuleForm& f) { return f.Tree->OnChanging.Assigned(); }},
        {"notify: a string list's OnChanging",
         [&](RuleForm&, TSelfChange c, TSelfProbe& p) { list.OnChanging = SelfChanging(list.OnChanging, c, p); },
         [&](RuleForm&, TTestDriver&) { list.Add("Счёт"); },
         [&](RuleForm&) { return list.OnChanging.Assigned(); }},
    };
    for (const auto& c : cases)
        for (const TSelfChange change : {TSelfChange::Clear, TSelfChange::Replace}) {
            SCOPED_TRACE(c.why);
            SCOPED_TRACE(change == TSelfChange::Clear ? "clears itself" : "replaces itself");
            RuleForm f(NewForm("Rules"));
            f.Tree->GetItems()->Add(nullptr, "Архив");
            f.Form->Show();
            list.OnChanging = nullptr;
            TSelfProbe probe;
            c.bind(f, change, probe);
            c.fire(f, D);
            EXPECT_EQ(probe.Runs, 1);
            EXPECT_TRUE(probe.CaptureAliveAfter) << "the running handler was freed under it";
            EXPECT_TRUE(probe.Capture.expired()) << "the old handler lives on after it returned";
            EXPECT_EQ(c.assigned(f), change == TSelfChange::Replace);
            c.fire(f, D);
            EXPECT_EQ(probe.Runs, 1);
            EXPECT_EQ(probe.ReplacementRuns, change == TSelfChange::Replace ? 1 : 0);
            delete f.Form;
        }
}

TEST_F(GuiTest, AHandlerMayFreeTheHolderOfItsEvent)
{
    TSelfProbe probe;
    auto holder = std::make_unique<TNotifyEvent>();
    auto capture = std::make_shared<int>(0);
    probe.Capture = capture;
    *holder = TNotifyEvent::Lambda([capture, &holder, &probe](TObject*) {
        TSelfProbe* p = &probe;
        holder.reset();
        ++p->Runs;
        p->CaptureAliveAfter = !p->Capture.expired();
    });
    capture.reset();
    TNotifyEvent* event = holder.get();
    (*event)(nullptr);
    EXPECT_EQ(probe.Runs, 1);
    EXPECT_TRUE(probe.CaptureAliveAfter);
    EXPECT_TRUE(probe.Capture.expired());
}
