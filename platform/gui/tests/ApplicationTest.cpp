// Start-up: forms created in order with their global pointers, the main loop, exit
// codes and the error dialog.
#include "platform/gui/tests/TestForms.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"

#include <gtest/gtest.h>

namespace {

class TStartForm1;
class TStartForm2;
TStartForm1* StartForm1 = nullptr;
TStartForm2* StartForm2 = nullptr;

// What each form's OnCreate saw of the global pointers.
struct Seen {
    bool Form1Set = false;
    bool Form2Set = false;
    bool Form2Exists = false;
};
Seen gSeenBy1, gSeenBy2;
bool gCancelStart = false;

class TStartForm1 : public TForm {
    SKLAD_CLASS(TStartForm1, TForm)
public:
    explicit TStartForm1(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
    {
        InitLayoutText("object StartForm1: TStartForm1\n"
                       "  Caption = 'Склад'\n"
                       "  OnCreate = FormCreate\n"
                       "  OnShow = FormShow\n"
                       "end\n");
    }
    void FormCreate(TObject*)
    {
        gSeenBy1 = {StartForm1 == this, StartForm2 != nullptr, false};
        EventLog().push_back("StartForm1.OnCreate");
        if (gCancelStart)
            Halt(1);  // as the main window does when no warehouse is chosen
    }
    void FormShow(TObject*) { EventLog().push_back("StartForm1.OnShow"); }
};

class TStartForm2 : public TForm {
    SKLAD_CLASS(TStartForm2, TForm)
public:
    explicit TStartForm2(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
    {
        InitLayoutText("object StartForm2: TStartForm2\n"
                       "  OnCreate = FormCreate\n"
                       "end\n");
    }
    void FormCreate(TObject*)
    {
        gSeenBy2 = {StartForm1 != nullptr, StartForm2 == this, true};
        EventLog().push_back("StartForm2.OnCreate");
    }
};

}  // namespace

SKLAD_DEFINE_CLASS(TStartForm1)
void TStartForm1::Publish(TPropertyTable& t)
{
    t.Method("FormCreate", &TStartForm1::FormCreate);
    t.Method("FormShow", &TStartForm1::FormShow);
}
SKLAD_DEFINE_CLASS(TStartForm2)
void TStartForm2::Publish(TPropertyTable& t) { t.Method("FormCreate", &TStartForm2::FormCreate); }

namespace {

using Strings = std::vector<std::string>;

TEST_F(GuiTest, FormsAreCreatedInOrderWithTheirPointersSetFirst)
{
    gCancelStart = false;
    StartForm1 = nullptr;
    StartForm2 = nullptr;
    ASSERT_TRUE(D.Run([] {
        Application->Initialize();
        Application->SetTitle("Korvel Склад 1.0");
        Application->CreateForm(StartForm1);
        Application->CreateForm(StartForm2);
    }));
    EXPECT_TRUE(gSeenBy1.Form1Set) << "the pointer is set before the constructor runs";
    EXPECT_FALSE(gSeenBy1.Form2Set) << "the second form does not exist yet";
    EXPECT_TRUE(gSeenBy2.Form1Set);
    EXPECT_TRUE(gSeenBy2.Form2Set);
    EXPECT_EQ(Application->MainForm(), StartForm1);
    EXPECT_EQ(StartForm1->GetCaption(), "Склад");
    EXPECT_FALSE(StartForm1->GetVisible()) << "nothing is shown before Run";

    EXPECT_TRUE(D.RunApplication([] {
        EXPECT_TRUE(StartForm1->GetVisible());
        EXPECT_FALSE(StartForm2->GetVisible()) << "secondary windows stay hidden";
        StartForm1->Close();
    }));
    EXPECT_EQ(Log(), (Strings{"StartForm1.OnCreate", "StartForm2.OnCreate", "StartForm1.OnShow"}));
}

TEST_F(GuiTest, HaltInsideCreationEndsTheProgramWithItsCode)
{
    gCancelStart = true;
    StartForm1 = nullptr;
    StartForm2 = nullptr;
    EXPECT_FALSE(D.Run([] {
        Application->CreateForm(StartForm1);
        Application->CreateForm(StartForm2);
    }));
    gCancelStart = false;
    EXPECT_EQ(D.ExitCode(), 1);
    EXPECT_EQ(StartForm1, nullptr) << "a form whose constructor did not finish leaves no pointer";
    EXPECT_EQ(StartForm2, nullptr) << "no later window was created";
    EXPECT_EQ(Screen->FormCount(), 0);
}

struct ErrorCase {
    const char* why;
    std::function<void()> raise;
    std::vector<AnsiString> shown;
};

TEST_F(GuiTest, ExceptionsInHandlersReachTheErrorDialogAndTheProgramGoesOn)
{
    const ErrorCase cases[] = {
        {"a message ending in a letter gets a full stop", [] { throw EDatabaseError("Table Groups not found"); },
         {"Table Groups not found."}},
        {"a message ending in a full stop keeps it", [] { throw Exception("Done."); }, {"Done."}},
        {"Abort is silent", [] { Abort(); }, {}},
        {"a standard exception is shown too", [] { throw std::runtime_error("bad_alloc-like"); },
         {"bad_alloc-like."}},
    };
    TLogForm* main = NewForm("Main");
    auto* button = new TButton(main);
    button->SetParent(main);
    main->Show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        button->OnClick = TNotifyEvent::Lambda([&](TObject*) { c.raise(); });
        D.Click(button);
        EXPECT_EQ(D.TakeErrors(), c.shown);
        EXPECT_TRUE(button->AcceptsInput());
    }
    const auto& last = D.Messages().back();
    EXPECT_EQ(last.Kind, TMessageKind::Error);
    EXPECT_EQ(last.Type, mtError);
}

TEST_F(GuiTest, OnExceptionReplacesTheErrorDialog)
{
    std::vector<std::string> seen;
    Application->OnException = TExceptionEvent::Lambda([&](TObject*, const std::exception& e) { seen.push_back(e.what()); });
    Application->Guard([] { throw EConvertError("bad"); });
    EXPECT_EQ(seen, (std::vector<std::string>{"bad"}));
    EXPECT_TRUE(D.Errors().empty());
}

TEST_F(GuiTest, PostedCallsAndTimersRunFromTheLoop)
{
    TLogForm* main = NewForm("Main");
    auto* timer = new TTimer(main);
    timer->SetInterval(50);
    int ticks = 0;
    timer->OnTimer = TNotifyEvent::Lambda([&](TObject*) {
        if (++ticks == 3)
            timer->SetEnabled(false);
    });
    std::vector<int> order;
    Application->PostCall([&] { order.push_back(1); });
    Application->PostCall([&] {
        order.push_back(2);
        Application->PostCall([&] { order.push_back(3); });
    });
    Application->ProcessMessages();
    EXPECT_EQ(order, (std::vector<int>{1, 2})) << "a call posted by a call waits for the next turn";
    Application->ProcessMessages();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));

    D.AdvanceTime(49);
    EXPECT_EQ(ticks, 0);
    D.AdvanceTime(1);
    EXPECT_EQ(ticks, 1);
    D.AdvanceTime(500);
    EXPECT_EQ(ticks, 3) << "the handler disabled the timer at its third tick";
}

TEST_F(GuiTest, ATimerThatFreesItselfIsSafe)
{
    TLogForm* main = NewForm("Main");
    auto* timer = new TTimer(main);
    timer->SetInterval(10);
    int fired = 0;
    timer->OnTimer = TNotifyEvent::Lambda([&](TObject*) {
        ++fired;
        delete timer;
    });
    D.AdvanceTime(100);
    EXPECT_EQ(fired, 1);
}

// Application.Restore gives a minimized main window back the state it had before, as the
// window manager does: a maximized window comes back maximized, whoever minimized it.
TEST_F(GuiTest, RestoreReturnsTheMainWindowToItsStateBeforeMinimizing)
{
    TLogForm* main = NewForm("Main");
    main->Show();
    const struct {
        const char* why;
        TWindowState before;
        bool byUser;  // minimized by the window manager, else by the program
        TWindowState restored;
    } cases[] = {
        {"maximized, minimized by the program", wsMaximized, false, wsMaximized},
        {"maximized, minimized by the window manager", wsMaximized, true, wsMaximized},
        {"normal, minimized by the program", wsNormal, false, wsNormal},
        {"normal, minimized by the window manager", wsNormal, true, wsNormal},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        main->SetWindowState(wsNormal);
        main->SetWindowState(c.before);
        if (c.byUser)
            main->UserWindowStateChanged(wsMinimized);
        else
            Application->Minimize();
        ASSERT_EQ(main->GetWindowState(), wsMinimized);
        Application->Restore();
        EXPECT_EQ(main->GetWindowState(), c.restored);
        Application->Restore();  // not minimized: nothing changes
        EXPECT_EQ(main->GetWindowState(), c.restored);
    }
}

}  // namespace
