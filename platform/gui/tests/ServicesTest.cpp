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
