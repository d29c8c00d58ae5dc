// Message boxes, dialogs, prompts, the clock and shell-open through the services, and
// how the test driver answers and records them.
#include "platform/gui/tests/TestForms.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/Menus.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

struct BoxCase {
    const char* why;
    int flags;
    TMsgDlgButtons buttons;
    TMsgDlgType type;
};

TEST_F(GuiTest, MessageBoxFlagsBecomeButtonsAndIcons)
{
    const BoxCase cases[] = {
        {"flags 0: OK, no icon", 0, TMsgDlgButtons{mbOK}, mtCustom},
        {"Yes/No question", MB_YESNO | MB_ICONQUESTION, TMsgDlgButtons{mbYes, mbNo}, mtConfirmation},
        {"OK/Cancel warning", MB_OKCANCEL | MB_ICONWARNING, TMsgDlgButtons{mbOK, mbCancel}, mtWarning},
        {"error", MB_OK | MB_ICONERROR, TMsgDlgButtons{mbOK}, mtError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        D.ClearMessages();
        if (c.buttons != TMsgDlgButtons{mbOK})
            D.AnswerMessage(mrCancel);
        Application->MessageBox("Введены ошибочные данные", "Повторите ввод", c.flags);
        ASSERT_EQ(D.Messages().size(), 1u);
        EXPECT_EQ(D.Messages()[0].Buttons, c.buttons);
        EXPECT_EQ(D.Messages()[0].Type, c.type);
        EXPECT_EQ(D.Messages()[0].Caption, "Повторите ввод");
    }
}

TEST_F(GuiTest, QuestionsGetTheQueuedAnswersInOrder)
{
    D.AnswerMessage("Вы действительно хотите выйти?", mrNo);
    D.AnswerMessage(mrYes);
    EXPECT_EQ(Application->MessageBox("Вы действительно хотите выйти?", "Внимание!", MB_YESNO), IDNO);
    EXPECT_EQ(MessageDlg("Удалить?", mtConfirmation, mbYesNo, 0), mrYes);
    ShowMessage("Поле не должно быть пустым");  // OK only: no answer needed
    EXPECT_EQ(D.MessageTexts(),
              (std::vector<AnsiString>{"Вы действительно хотите выйти?", "Удалить?", "Поле не должно быть пустым"}));
    EXPECT_EQ(D.Messages()[1].Caption, "Подтверждение");
}

TEST_F(GuiTest, AnUnansweredQuestionFailsTheTestAndGetsItsDefault)
{
    int result = 0;
    EXPECT_NONFATAL_FAILURE(result = MessageDlg("Сохранить?", mtConfirmation, mbYesNoCancel, 0),
                            "question not answered");
    EXPECT_EQ(result, mrCancel);
    D.AnswerMessage("Другой текст", mrYes);
    EXPECT_NONFATAL_FAILURE(MessageDlg("Сохранить?", mtConfirmation, mbYesNo, 0), "the test expected");
}

TEST_F(GuiTest, FileDialogsAreAnsweredAndRecorded)
{
    TLogForm* form = NewForm("Main");
    auto* open = new TOpenDialog(form);
    open->Filter = "Файлы баз данных (*.kvb)|*.kvb";
    D.AnswerFileDialog("/data/Склад.kvb");
    D.CancelFileDialog();
    ASSERT_TRUE(open->Execute());
    EXPECT_EQ(open->FileName, "/data/Склад.kvb");
    EXPECT_EQ(open->GetFiles()->Count(), 1);
    EXPECT_FALSE(open->Execute());
    EXPECT_EQ(open->FileName, "/data/Склад.kvb") << "a cancelled dialog keeps the old name";
    ASSERT_EQ(D.FileDialogs().size(), 2u);
    EXPECT_EQ(D.FileDialogs()[0].Filter, "Файлы баз данных (*.kvb)|*.kvb");
    EXPECT_EQ(D.FileDialogs()[0].Kind, TFileDialogKind::Open);
    auto* save = new TSaveDialog(form);
    D.CancelFileDialog();
    save->Execute();
    EXPECT_EQ(D.FileDialogs()[2].Kind, TFileDialogKind::Save);
}

TEST_F(GuiTest, InputPromptsReturnTheDefaultOnCancel)
{
    D.AnswerInput("18");
    D.CancelInput();
    D.CancelInput();
    EXPECT_EQ(InputBox("НДС", "Ставка", "20"), "18");
    EXPECT_EQ(InputBox("НДС", "Ставка", "20"), "20");
    AnsiString value = "keep";
    EXPECT_FALSE(InputQuery("НДС", "Ставка", value));
    EXPECT_EQ(value, "keep");
}

TEST_F(GuiTest, FontAndColourDialogsChangeOnlyOnConfirm)
{
    TLogForm* form = NewForm("Main");
    auto* fontDialog = new TFontDialog(form);
    D.AnswerFont([](TFont& f) { f.SetStyle(TFontStyles{fsBold}); });
    EXPECT_TRUE(fontDialog->Execute());
    EXPECT_TRUE(fontDialog->GetFont()->GetStyle().Contains(fsBold));
    auto* colorDialog = new TColorDialog(form);
    D.AnswerColor(clRed);
    EXPECT_TRUE(colorDialog->Execute());
    EXPECT_EQ(colorDialog->Color, clRed);
}

TEST_F(GuiTest, ShellOpenAndClockAreServices)
{
    D.SetNow(EncodeDate(2024, 3, 1) + EncodeTime(12, 0, 0, 0));
    EXPECT_EQ(double(Date()), double(EncodeDate(2024, 3, 1)));
    Services().ShellExecute("open", "/opt/sklad/Складhelp.chm", "", "", SW_SHOWMAXIMIZED);
    ASSERT_EQ(D.ShellCalls().size(), 1u);
    EXPECT_EQ(D.ShellCalls()[0].Verb, "open");
    EXPECT_EQ(D.ShellCalls()[0].File, "/opt/sklad/Складhelp.chm");
    EXPECT_EQ(D.ShellCalls()[0].ShowCmd, SW_SHOWMAXIMIZED);
}

// The screen has the monitors the desktop reports: a window belongs to the one holding
// most of it; one on none goes to the nearest (or none, or the primary, as asked), and is
// brought wholly into that monitor's work area.
TEST_F(GuiTest, TheScreenKnowsEveryMonitorAndTheNearestToAWindow)
{
    EXPECT_EQ(Screen->MonitorCount(), 1) << "headless: one monitor, the screen";
    EXPECT_EQ(Screen->Monitors(0)->BoundsRect(), Rect(0, 0, Screen->GetWidth(), Screen->GetHeight()));
    // A primary monitor with a panel along its bottom, and a smaller one right of it, lower.
    D.SetMonitors({{Rect(0, 0, 1280, 1024), Rect(0, 0, 1280, 984)}, {Bounds(1280, 200, 1024, 768), {}}});
    ASSERT_EQ(Screen->MonitorCount(), 2);
    EXPECT_TRUE(Screen->Monitors(0)->Primary());
    EXPECT_EQ(Screen->Monitors(1)->WorkareaRect(), Bounds(1280, 200, 1024, 768)) << "no panel: the bounds";
    EXPECT_EQ(Screen->DesktopRect(), Rect(0, 0, 2304, 1024));

    TLogForm* form = NewForm("Float");
    struct Case {
        const char* why;
        TRect window;
        int nearest, null, primary;  // the monitor found as each fallback says; -1 none
        TPoint shown;                // where MakeFullyVisible puts the window
    };
    const Case cases[] = {
        {"on the primary", Bounds(100, 100, 200, 50), 0, 0, 0, {100, 100}},
        {"across both, mostly on the second", Bounds(1200, 300, 200, 50), 1, 1, 1, {1280, 300}},
        {"below the primary's panel", Bounds(100, 1000, 200, 50), 0, 0, 0, {100, 934}},
        {"far right of everything", Bounds(5000, 400, 200, 50), 1, -1, 0, {2104, 400}},
        {"just above the second, right of the primary", Bounds(1500, 100, 200, 50), 1, -1, 0, {1500, 200}},
        {"far up and left", Bounds(-3000, -2000, 200, 50), 0, -1, 0, {0, 0}},
        {"in the corner below the primary", Bounds(1200, 1030, 200, 50), 0, -1, 0, {1080, 934}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto number = [](TMonitor* m) { return m ? m->MonitorNum() : -1; };
        EXPECT_EQ(number(Screen->MonitorFromRect(c.window)), c.nearest);
        EXPECT_EQ(number(Screen->MonitorFromRect(c.window, mdNull)), c.null);
        EXPECT_EQ(number(Screen->MonitorFromRect(c.window, mdPrimary)), c.primary);
        form->SetBounds(c.window.Left, c.window.Top, c.window.Width(), c.window.Height());
        EXPECT_EQ(number(form->Monitor()), c.nearest);
        form->MakeFullyVisible();
        EXPECT_EQ(form->BoundsRect(), Bounds(c.shown.X, c.shown.Y, 200, 50));
    }
    // One larger than the monitor keeps its top-left corner on it.
    form->SetBounds(-50, -50, 3000, 2000);
    form->MakeFullyVisible(Screen->Monitors(0));
    EXPECT_EQ(form->BoundsRect(), Bounds(0, 0, 3000, 2000));
    // A monitor unplugged: the list follows, the primary's object stays the same.
    TMonitor* primary = Screen->Monitors(0);
    D.SetMonitors({{Rect(0, 0, 1280, 1024), Rect(0, 0, 1280, 984)}});
    EXPECT_EQ(Screen->MonitorCount(), 1);
    EXPECT_EQ(Screen->Monitors(0), primary);
}

TEST_F(GuiTest, ADialogBlocksTheWindowsBehindIt)
{
    TLogForm* main = NewForm("Main");
    auto* button = new TButton(main);
    button->SetParent(main);
    TLogForm* dialog = NewForm("Dialog");
    main->Show();
    D.ExpectModal(dialog, [&] {
        EXPECT_NONFATAL_FAILURE(D.Click(button), "blocked by a modal form");
        dialog->SetModalResult(mrOk);
    });
    dialog->ShowModal();
}

TEST_F(GuiTest, AModalFormWithoutAScriptFailsAndIsCancelled)
{
    TLogForm* main = NewForm("Main");
    TLogForm* dialog = NewForm("Dialog");
    main->Show();
    TModalResult result = mrNone;
    EXPECT_NONFATAL_FAILURE(result = dialog->ShowModal(), "unexpected modal form");
    EXPECT_EQ(result, mrCancel);
    D.ExpectModal(dialog, [] {});
    EXPECT_NONFATAL_FAILURE(result = dialog->ShowModal(), "still open after its script");
    EXPECT_EQ(result, mrCancel);
}

struct ShortCutCase {
    const char* why;
    const char* text;
    TShortCut value;
};

TEST(ShortCutTest, TextAndValuesRoundTrip)
{
    const ShortCutCase cases[] = {
        {"Ctrl+letter", "Ctrl+N", TShortCut(scCtrl | 'N')},
        {"Ctrl+Del as the archive command", "Ctrl+Del", TShortCut(scCtrl | VK_DELETE)},
        {"function key", "F3", TShortCut(VK_F3)},
        {"two modifiers", "Shift+Ctrl+S", TShortCut(scShift | scCtrl | 'S')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(TextToShortCut(c.text), c.value);
        EXPECT_EQ(ShortCutToText(c.value), c.text);
    }
    EXPECT_EQ(TextToShortCut("Hyper+Q"), 0);
    EXPECT_EQ(ShortCut('I', TShiftState{ssCtrl}), 16457) << "the value layouts store for Ctrl+I";
}

}  // namespace

namespace {

// Where a dialog stands as it shows, by its Position: on the primary screen, as designed, or
// in the middle of the main window or of its owner as the desktop shows them (a maximized one
// fills its monitor's work area, a minimized one keeps its place for the way back); and never
// with its caption off the monitor it lands on.
TEST_F(GuiTest, ADialogStandsWhereItsPositionSays)
{
    // A primary monitor with a panel along its top, and a second right of it, lower.
    D.SetMonitors({{Rect(0, 0, 1280, 1024), Rect(0, 40, 1280, 1024)}, {Bounds(1280, 200, 1024, 768), {}}});
    TLogForm* main = NewForm("Main");
    TLogForm* owner = NewForm("Owner");
    TLogForm* dialog = nullptr;
    Application->CreateForm(dialog);
    struct Case {
        const char* why;
        TPosition position;
        TCustomForm* around;    // the window shown under the dialog, or none
        TRect at;               // its bounds
        TWindowState state;
        TPoint shown;           // the dialog's top-left corner (its size is 200 x 100)
        TPoint size = {200, 100};
    };
    const Case cases[] = {
        {"screen centre", poScreenCenter, nullptr, {}, wsNormal, {540, 462}},
        {"as designed", poDesigned, nullptr, {}, wsNormal, {7, 9}},
        {"main window", poMainFormCenter, main, Bounds(100, 100, 400, 300), wsNormal, {200, 200}},
        {"main window maximized", poMainFormCenter, main, Bounds(100, 100, 400, 300), wsMaximized, {540, 482}},
        {"main window maximized on the second monitor", poMainFormCenter, main, Bounds(1400, 300, 400, 300),
         wsMaximized, {1692, 534}},
        {"main window minimized", poMainFormCenter, main, Bounds(1400, 300, 400, 300), wsMinimized, {1500, 400}},
        {"main window hidden: the screen", poMainFormCenter, nullptr, {}, wsNormal, {540, 462}},
        {"owner", poOwnerFormCenter, owner, Bounds(300, 500, 600, 200), wsNormal, {500, 550}},
        {"owner maximized on the second monitor", poOwnerFormCenter, owner, Bounds(1400, 300, 400, 300), wsMaximized,
         {1692, 534}},
        {"main window smaller than the dialog in the corner", poMainFormCenter, main, Bounds(0, 40, 100, 80),
         wsNormal, {0, 40}, {600, 400}},
        {"owner smaller than the dialog at the right edge", poOwnerFormCenter, owner, Bounds(2200, 900, 100, 60),
         wsNormal, {1704, 568}, {600, 400}},
        {"a dialog larger than the screen", poScreenCenter, nullptr, {}, wsNormal, {0, 40}, {1400, 1100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        dialog->Hide();
        for (TLogForm* f : {main, owner}) {
            f->Hide();
            f->SetWindowState(wsNormal);
        }
        if (c.around) {
            c.around->SetBounds(c.at.Left, c.at.Top, c.at.Width(), c.at.Height());
            c.around->SetWindowState(c.state);
            c.around->Show();
        }
        // The owner's dialog is owned by it, the others by the application.
        if (c.position == poOwnerFormCenter)
            owner->InsertComponent(dialog);
        else if (dialog->Owner() != Application)
            Application->InsertComponent(dialog);
        dialog->SetPosition(c.position);
        dialog->SetBounds(7, 9, c.size.X, c.size.Y);
        dialog->Show();
        EXPECT_EQ(dialog->BoundsRect(), Bounds(c.shown.X, c.shown.Y, c.size.X, c.size.Y));
    }
}

}  // namespace
