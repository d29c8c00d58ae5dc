// Showing, activating, closing and nesting forms.
#include "platform/gui/tests/TestForms.h"

#include "platform/gui/Menus.h"

#include <gtest/gtest.h>

using Strings = std::vector<std::string>;

SKLAD_DEFINE_CLASS(TLogForm)
void TLogForm::Publish(TPropertyTable& t)
{
    t.Method("FormCreate", &TLogForm::FormCreate);
    t.Method("FormShow", &TLogForm::FormShow);
    t.Method("FormActivate", &TLogForm::FormActivate);
}

namespace {

TEST_F(GuiTest, ShowRunsOnShowBeforeOnActivate)
{
    TLogForm* main = NewForm("Main");
    TLogForm* other = NewForm("Other");
    main->Show();
    other->Show();
    EXPECT_EQ(Log(), (Strings{"Main.OnShow", "Main.OnActivate", "Other.OnShow", "Main.OnDeactivate",
                              "Other.OnActivate"}));
    EXPECT_EQ(Screen->GetActiveForm(), other);
}

TEST_F(GuiTest, MainFormActivatesAgainAfterEveryModalDialog)
{
    TLogForm* main = NewForm("Main");
    TLogForm* dialog = NewForm("Dialog");
    main->Show();
    ClearLog();
    for (int i = 0; i < 2; ++i) {
        D.ExpectModal(dialog, [&] { dialog->SetModalResult(mrOk); });
        EXPECT_EQ(dialog->ShowModal(), mrOk);
    }
    const Strings once{"Dialog.OnShow", "Main.OnDeactivate", "Dialog.OnActivate", "Dialog.OnCloseQuery",
                       "Dialog.OnClose", "Dialog.OnHide", "Dialog.OnDeactivate", "Main.OnActivate"};
    Strings twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(Log(), twice);
    EXPECT_FALSE(dialog->GetVisible());
    EXPECT_EQ(Screen->GetActiveForm(), main);
}

TEST_F(GuiTest, ThreeNestedModalDialogsAnsweredByTheDriver)
{
    TLogForm* main = NewForm("Main");
    TLogForm* a = NewForm("A");
    TLogForm* b = NewForm("B");
    TLogForm* c = NewForm("C");
    auto* buttonA = new TButton(a);
    buttonA->SetParent(a);
    auto* buttonB = new TButton(b);
    buttonB->SetParent(b);
    auto* okC = new TButton(c);
    okC->SetParent(c);
    okC->SetModalResult(mrOk);
    TModalResult fromB = mrNone, fromC = mrNone;
    buttonA->OnClick = TNotifyEvent::Lambda([&](TObject*) { fromB = b->ShowModal(); a->SetModalResult(mrYes); });
    buttonB->OnClick = TNotifyEvent::Lambda([&](TObject*) { fromC = c->ShowModal(); b->SetModalResult(mrNo); });
    main->Show();

    D.ExpectModal(a, [&] {
        EXPECT_FALSE(main->AcceptsInput()) << "the main form is blocked under A";
        D.ExpectModal(b, [&] {
            D.ExpectModal(c, [&] {
                EXPECT_EQ(Screen->ModalStack().size(), 3u);
                EXPECT_FALSE(buttonA->AcceptsInput()) << "A is blocked under C";
                D.Click(okC);
            });
            D.Click(buttonB);
        });
        D.Click(buttonA);
    });
    EXPECT_EQ(a->ShowModal(), mrYes);
    EXPECT_EQ(fromB, mrNo);
    EXPECT_EQ(fromC, mrOk);
    EXPECT_TRUE(Screen->ModalStack().empty());
    EXPECT_TRUE(main->AcceptsInput());
    EXPECT_EQ(D.ModalNames(), (std::vector<AnsiString>{"A", "B", "C"}));
    EXPECT_EQ(Screen->GetActiveForm(), main);
}

TEST_F(GuiTest, ClosingAnOuterModalFormFromAnInnerOneTakesEffectWhenTheInnerReturns)
{
    TLogForm* main = NewForm("Main");
    TLogForm* outer = NewForm("Outer");
    TLogForm* inner = NewForm("Inner");
    auto* open = new TButton(outer);
    open->SetParent(outer);
    bool outerShownAfterInner = false;
    open->OnClick = TNotifyEvent::Lambda([&](TObject*) {
        inner->ShowModal();
        outerShownAfterInner = outer->GetVisible();
    });
    auto* closeBoth = new TButton(inner);
    closeBoth->SetParent(inner);
    closeBoth->OnClick = TNotifyEvent::Lambda([&](TObject*) {
        outer->Close();
        EXPECT_TRUE(outer->GetVisible()) << "the outer form stays while the inner loop runs";
        inner->Close();
    });
    main->Show();
    D.ExpectModal(outer, [&] {
        D.ExpectModal(inner, [&] { D.Click(closeBoth); });
        D.Click(open);
    });
    EXPECT_EQ(outer->ShowModal(), mrCancel);
    EXPECT_TRUE(outerShownAfterInner) << "the outer form closed only when its own loop turned";
    EXPECT_FALSE(outer->GetVisible());
    EXPECT_FALSE(inner->GetVisible());
}

TEST_F(GuiTest, CloseActionNoneKeepsAModalDialogOpen)
{
    TLogForm* main = NewForm("Main");
    TLogForm* dialog = NewForm("Dialog");
    auto* edit = new TEdit(dialog);
    edit->SetParent(dialog);
    auto* ok = new TButton(dialog);
    ok->SetParent(dialog);
    ok->OnClick = TNotifyEvent::Lambda([&](TObject*) { dialog->Close(); });
    // Like the VAT dialog: it refuses to close while the text is not a number.
    dialog->WhenClosing = [&](TCloseAction& action) {
        int value = 0;
        if (!TryStrToInt(edit->GetText(), value))
            action = caNone;
    };
    main->Show();
    D.ExpectModal(dialog, [&] {
        D.Type(edit, "18%");
        D.Click(ok);
        EXPECT_TRUE(D.IsShowing(dialog)) << "a refused close leaves the dialog open";
        D.Type(edit, "18");
        D.Click(ok);
        EXPECT_FALSE(D.IsShowing(dialog));
    });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
}

TEST_F(GuiTest, InputQueuedBehindAModalResultIsRefused)
{
    // A double click on OK, or OK and then the close box, reaching the dialog before its loop
    // turns: the command runs once and the dialog's result stays OK.
    TLogForm* dialog = NewForm("Dialog");
    auto* ok = new TButton(dialog);
    ok->SetParent(dialog);
    ok->SetDefault(true);
    auto* edit = new TEdit(dialog);
    edit->SetParent(dialog);
    auto* menu = new TPopupMenu(dialog);
    auto* save = new TMenuItem(dialog);
    menu->GetItems()->Add(save);
    int saved = 0;
    ok->OnClick = TNotifyEvent::Lambda([&](TObject*) {
        ++saved;
        dialog->SetModalResult(mrOk);
    });
    save->OnClick = ok->OnClick;
    struct Case {
        const char* why;
        std::function<bool()> queued;
    } const kCases[] = {
        {"a second click", [&] { return ok->UserClicked(); }},
        {"the close box", [&] { return dialog->UserCloseRequested(); }},
        {"a key typed", [&] { return edit->UserTyped("1"); }},
        {"Enter on the edit", [&] { return edit->UserKeyDown(VK_RETURN, {}); }},
        {"a menu command", [&] { return save->UserClicked(); }},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        saved = 0;
        D.ExpectModal(dialog, [&] {
            EXPECT_TRUE(ok->UserClicked());
            EXPECT_FALSE(c.queued());
        });
        EXPECT_EQ(dialog->ShowModal(), mrOk);
        EXPECT_EQ(saved, 1);
    }
}

TEST_F(GuiTest, AResultTakenBackLeavesTheDialogTakingInput)
{
    // OK whose result is taken back (its handler finds the input wrong, or the close
    // questions refuse) leaves the dialog open and taking every kind of input again.
    TLogForm* dialog = NewForm("Dialog");
    auto* ok = new TButton(dialog);
    ok->SetParent(dialog);
    ok->SetModalResult(mrOk);
    auto* edit = new TEdit(dialog);
    edit->SetParent(dialog);
    auto* menu = new TPopupMenu(dialog);
    auto* item = new TMenuItem(dialog);
    menu->GetItems()->Add(item);
    int menuClicks = 0;
    item->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++menuClicks; });
    TLogForm* message = NewForm("Message");
    auto* messageOk = new TButton(message);
    messageOk->SetParent(message);
    messageOk->SetModalResult(mrOk);
    auto* messageEdit = new TEdit(message);
    messageEdit->SetParent(message);
    struct Case {
        const char* why;
        std::function<void()> refuse;
    } const kCases[] = {
        {"the handler takes the result back",
         [&] {
             ok->OnClick = TNotifyEvent::Lambda([&](TObject*) { dialog->SetModalResult(mrNone); });
             dialog->WhenAsked = nullptr;
         }},
        {"the close questions refuse",
         [&] {
             ok->OnClick = TNotifyEvent();
             dialog->WhenAsked = [](bool& canClose) { canClose = false; };
         }},
        {"the handler says why in a message box, then takes the result back",
         [&] {
             ok->OnClick = TNotifyEvent::Lambda([&](TObject*) {
                 D.ExpectModal(message, [&] {
                     D.Type(messageEdit, "x");
                     D.Click(messageOk);
                 });
                 EXPECT_EQ(message->ShowModal(), mrOk);
                 EXPECT_EQ(messageEdit->GetText(), "x") << "the message box takes its input";
                 messageEdit->SetText("");
                 dialog->SetModalResult(mrNone);
             });
             dialog->WhenAsked = nullptr;
         }},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        c.refuse();
        menuClicks = 0;
        D.ExpectModal(dialog, [&] {
            D.Click(ok);
            EXPECT_TRUE(D.IsShowing(dialog));
            EXPECT_EQ(dialog->GetModalResult(), mrNone);
            D.Type(edit, "12");
            EXPECT_TRUE(item->UserClicked());
            D.Click(ok);
            EXPECT_TRUE(D.IsShowing(dialog));
            dialog->WhenAsked = nullptr;
            D.CloseForm(dialog);
        });
        EXPECT_EQ(dialog->ShowModal(), mrCancel);
        EXPECT_EQ(edit->GetText(), "12");
        EXPECT_EQ(menuClicks, 1);
        edit->SetText("");
    }
}

TEST_F(GuiTest, AHandlerThatRaisesLeavesModalStateSound)
{
    TLogForm* main = NewForm("Main");
    TLogForm* dialog = NewForm("Dialog");
    auto* bad = new TButton(dialog);
    bad->SetParent(dialog);
    bad->OnClick = TNotifyEvent::Lambda([&](TObject*) { throw EConvertError("'x' is not a valid integer value"); });
    auto* ok = new TButton(dialog);
    ok->SetParent(dialog);
    ok->SetModalResult(mrOk);
    main->Show();
    D.ExpectModal(dialog, [&] {
        D.Click(bad);
        EXPECT_TRUE(D.IsShowing(dialog)) << "the dialog survives its handler's error";
        D.Click(ok);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(D.TakeErrors(), (std::vector<AnsiString>{"'x' is not a valid integer value."}));
    EXPECT_TRUE(Screen->ModalStack().empty());
    EXPECT_TRUE(main->AcceptsInput()) << "the main form is no longer blocked";
}

TEST_F(GuiTest, AnExceptionOutOfOnShowStillRestoresTheModalStack)
{
    TLogForm* main = NewForm("Main");
    TLogForm* dialog = NewForm("Dialog");
    main->Show();
    dialog->WhenShown = [] { throw EDatabaseError("no table"); };
    EXPECT_THROW(dialog->ShowModal(), EDatabaseError);
    EXPECT_TRUE(Screen->ModalStack().empty());
    EXPECT_FALSE(dialog->GetVisible());
    EXPECT_TRUE(main->AcceptsInput());
    EXPECT_EQ(Screen->GetActiveForm(), main);
}

TEST_F(GuiTest, AReleasedFormIsNeverDestroyedUnderALoop)
{
    TLogForm* main = NewForm("Main");
    TLogForm* tool = NewForm("Tool");  // a modeless window that frees itself on close
    TLogForm* dialog = NewForm("Dialog");
    tool->WhenClosing = [](TCloseAction& action) { action = caFree; };
    auto* button = new TButton(tool);
    button->SetParent(tool);
    bool toolAliveAfterDialog = false;
    button->OnClick = TNotifyEvent::Lambda([&](TObject*) {
        dialog->ShowModal();
        // The tool window's handler is still running here.
        toolAliveAfterDialog = std::find(Screen->FormList().begin(), Screen->FormList().end(), tool) !=
                               Screen->FormList().end();
    });
    main->Show();
    tool->Show();
    D.ExpectModal(dialog, [&] {
        tool->Close();  // from inside the dialog
        Application->ProcessMessages();
        dialog->SetModalResult(mrOk);
    });
    D.Click(button);
    EXPECT_TRUE(toolAliveAfterDialog);
    ClearLog();
    D.RunApplication([&] {});  // the main loop's next idle turn destroys it
    EXPECT_NE(std::find(Log().begin(), Log().end(), "Tool.OnDestroy"), Log().end());
}

// OnDestroy runs while the whole form stands: its handler, a method of the derived form,
// still finds the derived form, however the form goes.
TEST_F(GuiTest, OnDestroySeesTheWholeForm)
{
    const struct {
        const char* how;
        void (*free)(TLogForm* form, TTestDriver& d);
    } kWays[] = {
        {"delete by hand", [](TLogForm* form, TTestDriver&) { delete form; }},
        {"by a std::unique_ptr", [](TLogForm* form, TTestDriver&) { std::unique_ptr<TLogForm> held(form); }},
        {"released, freed by the main loop", [](TLogForm* form, TTestDriver& d) {
             form->Release();
             d.RunApplication([] {});
         }},
    };
    NewForm("Main");
    for (const auto& way : kWays) {
        SCOPED_TRACE(way.how);
        TLogForm* form = NewForm("Going");
        bool whole = false;
        const TNotifyEvent logged = form->OnDestroy;
        form->OnDestroy = TNotifyEvent::Lambda([&, logged](TObject* sender) {
            whole = dynamic_cast<TLogForm*>(sender) != nullptr;
            logged(sender);
        });
        ClearLog();
        way.free(form, D);
        EXPECT_TRUE(whole);
        const Strings log = Log();
        EXPECT_EQ(std::count(log.begin(), log.end(), "Going.OnDestroy"), 1);
    }
}

TEST_F(GuiTest, ClosingTheMainFormEndsRun)
{
    TLogForm* main = NewForm("Main");
    bool asked = false;
    main->WhenAsked = [&](bool& canClose) {
        canClose = asked;  // the first close is refused
        asked = true;
    };
    ASSERT_TRUE(D.RunApplication([&] {
        D.CloseForm(main);
        EXPECT_FALSE(Application->Terminated());
        D.CloseForm(main);
        EXPECT_TRUE(Application->Terminated());
    }));
}

TEST_F(GuiTest, HidingAModalFormEndsItsShowingWithoutQuestions)
{
    TLogForm* main = NewForm("Main");
    TLogForm* dialog = NewForm("Dialog");
    main->Show();
    D.ExpectModal(dialog, [&] { dialog->Hide(); });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    for (const auto& e : Log())
        EXPECT_NE(e, "Dialog.OnCloseQuery");
}

TEST_F(GuiTest, ShowModalOfAVisibleFormIsRefused)
{
    TLogForm* main = NewForm("Main");
    main->Show();
    EXPECT_THROW(main->ShowModal(), EInvalidOperation);
}

}  // namespace
