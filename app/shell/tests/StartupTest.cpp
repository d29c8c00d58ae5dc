// Start-up, the warehouse file, the first password and leaving the program.
#include "app/shell/tests/ShellFixture.h"

#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit4.h"
#include "app/documents/Unit9.h"
#include "app/shell/ShellMessages.h"
#include "app/shell/Unit1.h"
#include "app/shell/Unit12.h"
#include "app/shell/Unit7.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"

#include <fstream>
#include <functional>

namespace {

struct MissingFileCase {
    const char* why;
    bool writeIni;
    const char* remembered;
};

const MissingFileCase kMissing[] = {
    {"no sklad.ini at all", false, ""},
    {"sklad.ini without a LastFile entry", true, ""},
    {"LastFile names a file that no longer exists", true, "/nowhere/old.kvb"},
};

TEST_F(ShellTest, WithoutAUsableLastFileTheOpenDialogAsksAndTheChoiceIsRemembered)
{
    for (const auto& c : kMissing) {
        SCOPED_TRACE(c.why);
        TearDown();
        SetUp();
        if (c.writeIni)
            Remember(c.remembered);
        d->AnswerFileDialog(w->Path());
        ASSERT_TRUE(Start());
        ASSERT_EQ(d->FileDialogs().size(), 1u);
        EXPECT_EQ(d->FileDialogs()[0].Filter, "Файлы баз данных (*.kvb)|*.kvb");
        EXPECT_EQ(Form1->GetCaption(), "Korvel Склад 1.0  " + w->Path());
        EXPECT_NE(IniText().find("LastFile=" + w->Path()), AnsiString::npos);
    }
}

TEST_F(ShellTest, CancellingTheOpenDialogEndsWithExitCode1BeforeOtherWindows)
{
    d->CancelFileDialog();
    EXPECT_FALSE(Start());
    EXPECT_EQ(d->ExitCode(), 1);
    EXPECT_EQ(Form2, nullptr);
    EXPECT_EQ(IniText(), "");
}

TEST_F(ShellTest, ARememberedFileOpensWithoutWritingTheIni)
{
    w->SetPassword("1");
    Remember(w->Path());
    const AnsiString before = IniText();
    ASSERT_TRUE(Start());
    EXPECT_TRUE(d->FileDialogs().empty());
    EXPECT_EQ(IniText(), before);
    EXPECT_EQ(Form1->WorkingMode, 1);
    ASSERT_NE(Form12, nullptr) << "all twelve windows exist";
}

TEST_F(ShellTest, ARememberedFileThatFailsToOpenLeadsToTheOpenDialog)
{
    const AnsiString bad = w->Dir() + "broken.kvb";
    std::ofstream(PathToSystem(bad)) << "not a warehouse";
    Remember(bad);
    d->AnswerFileDialog(w->Path());
    ASSERT_TRUE(Start());
    EXPECT_EQ(d->FileDialogs().size(), 1u);
    EXPECT_EQ(Form1->DatabasePath(), w->Path());
}

TEST_F(ShellTest, AFailedOpenKeepsThePreviousWarehouseAndTheIni)
{
    StartOnWarehouse();
    const AnsiString ini = IniText();
    const AnsiString caption = Form1->GetCaption();
    const auto goods = Form1->ADOQuery1->RecordCount();
    struct BadFile { const char* why; const char* name; const char* content; };
    const BadFile bad[] = {
        {"a text file", "text.kvb", "hello"},
        {"an empty file", "empty.kvb", ""},
        {"a file that does not exist", "missing.kvb", nullptr},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.why);
        const AnsiString path = w->Dir() + b.name;
        if (b.content)
            std::ofstream(PathToSystem(path)) << b.content;
        d->ClearMessages();
        d->AnswerFileDialog(path);
        d->Run([&] { d->Click(Form1->Button1); });
        ASSERT_EQ(d->MessageTexts().size(), 1u);
        EXPECT_NE(d->MessageTexts()[0].find("Работа продолжается с прежним складом"), AnsiString::npos);
        EXPECT_EQ(Form1->GetCaption(), caption);
        EXPECT_EQ(Form1->DatabasePath(), w->Path());
        EXPECT_EQ(IniText(), ini) << "LastFile is written only after an open succeeds";
        EXPECT_TRUE(Form1->DatabaseOpen());
        EXPECT_EQ(Form1->ADOQuery1->RecordCount(), goods);
    }
}

TEST_F(ShellTest, OpeningAnotherWarehouseReplacesCaptionTreeAndIni)
{
    StartOnWarehouse();
    TWarehouseFixture other;
    other.SetPassword("2");
    other.Exec("Update Groups Set NameGroup='Второй' Where IDName=0");
    d->AnswerFileDialog(other.Path());
    d->Run([&] { d->Click(Form1->Button1); });
    EXPECT_EQ(Form1->GetCaption(), "Korvel Склад 1.0  " + other.Path());
    EXPECT_EQ(Form1->TreeView1->GetItems()->GetFirstNode()->GetText(), "Второй");
    EXPECT_NE(IniText().find(other.Path()), AnsiString::npos);
    EXPECT_EQ(Form1->WorkingMode, 1);
}

TEST_F(ShellTest, AnEmptyPasswordTableAsksForTheFirstPasswordOnActivation)
{
    Remember(w->Path());
    ASSERT_TRUE(Start());
    d->ExpectModal(Form7, [&] {
        EXPECT_EQ(Form7->GetCaption(), "Введите пароль");
        EXPECT_TRUE(Form7->Panel1->GetVisible());
        EXPECT_TRUE(Form7->Edit2->GetEnabled());
        d->Type(Form7->Edit1, "секрет");
        d->Type(Form7->Edit2, "секрет");
        d->Click(Form7->Button1);
    });
    ShowMain();
    EXPECT_EQ(d->ModalNames(), (std::vector<AnsiString>{"Form7"}));
    EXPECT_EQ(w->Scalar("Select Count(*) From Passwords").AsInteger(), 1);
    EXPECT_EQ(w->Scalar("Select Пароль From Passwords").AsString(), "секрет");
}

TEST_F(ShellTest, CancellingTheFirstPasswordOffersToQuitInsteadOfAskingForever)
{
    Remember(w->Path());
    ASSERT_TRUE(Start());
    d->ExpectModal(Form7, [&] { d->Click(Form7->Button2); });
    d->AnswerMessage(ShellMessage(TShellMessage::PasswordRequired), mrNo);
    d->RunApplication();
    EXPECT_EQ(d->ModalNames(), (std::vector<AnsiString>{"Form7"}));
    EXPECT_TRUE(Application->Terminated()) << "the program ended without the exit question";
    EXPECT_EQ(w->Scalar("Select Count(*) From Passwords").AsInteger(), 0);
}

TEST_F(ShellTest, NoOnExitKeepsTheProgramAndWritesNothing)
{
    StartOnWarehouse();
    Form1->DBGrid1->GetColumns()->Items(0)->SetWidth(123);
    const std::string before = w->Snapshot();
    d->AnswerMessage("Вы действительно хотите выйти?", mrNo);
    d->CloseForm(Form1);
    EXPECT_FALSE(Application->Terminated());
    EXPECT_EQ(w->Snapshot(), before);
}

TEST_F(ShellTest, YesOnExitWritesEveryGridsWidthsThatReadBack)
{
    StartOnWarehouse();
    struct Grid { TDBGrid* grid; int id; int columns; };
    const Grid grids[] = {
        {Form1->DBGrid1, 1, 10}, {Form3->DBGrid1, 2, 10}, {Form2->DBGrid1, 3, 7},
        {Form4->DBGrid1, 4, 13}, {Form9->DBGrid1, 9, 7},
    };
    int written = 0;
    for (const auto& g : grids)
        for (int i = 0; i < g.columns; ++i, ++written)
            g.grid->GetColumns()->Items(i)->SetWidth(100 + g.id * 20 + i);
    EXPECT_EQ(written, 47);
    d->AnswerMessage("Вы действительно хотите выйти?", mrYes);
    d->CloseForm(Form1);
    EXPECT_TRUE(Application->Terminated());
    for (const auto& g : grids)
        for (int i = 0; i < g.columns; ++i) {
            SCOPED_TRACE("grid " + std::to_string(g.id) + " column " + std::to_string(i));
            const AnsiString sql = "Select \"" + std::to_string(i) + "\" From ColumnSize Where ID=" + std::to_string(g.id);
            EXPECT_EQ(w->Scalar(sql).AsInteger(), 100 + g.id * 20 + i);
        }
}

TEST_F(ShellTest, SavedWidthsComeBackOnEachWindowsFirstShowing)
{
    // Widths stored before the warehouse opens; each grid reads its own row when its
    // window first shows, and only columns the row holds a value for change.
    w->Exec("Update ColumnSize Set \"0\"=40+ID, \"1\"=Null");
    StartOnWarehouse();
    const int before = Form4->DBGrid1->GetColumns()->Items(1)->GetWidth();
    EXPECT_EQ(Form1->DBGrid1->GetColumns()->Items(0)->GetWidth(), 41) << "the main window, on open";
    d->ExpectModal(Form4, [&] {
        EXPECT_EQ(Form4->DBGrid1->GetColumns()->Items(0)->GetWidth(), 44);
        EXPECT_EQ(Form4->DBGrid1->GetColumns()->Items(1)->GetWidth(), before) << "a Null width is skipped";
        d->Click(Form4->Button8);
    });
    d->Click(Form1->Button7);
    d->ExpectModal(Form9, [&] {
        EXPECT_EQ(Form9->DBGrid1->GetColumns()->Items(0)->GetWidth(), 49);
        d->Click(Form9->Button3);
    });
    d->Menu(Form1->N21);
}

TEST_F(ShellTest, AnotherWarehouseOpenedGivesEachWindowItsWidths)
{
    StartOnWarehouse();
    TWarehouseFixture other;
    other.SetPassword("2");
    other.Exec("Update ColumnSize Set \"0\"=50+ID");
    const struct {
        const char* why;
        TDBGrid* grid;
        int width;  // the other warehouse's
        std::function<void()> show;
    } windows[] = {
        {"the journal", Form4->DBGrid1, 54,
         [&] {
             d->ExpectModal(Form4, [&] { d->Click(Form4->Button8); });
             d->Click(Form1->Button7);
         }},
        {"the report builder", Form9->DBGrid1, 59,
         [&] {
             d->ExpectModal(Form9, [&] { d->Click(Form9->Button3); });
             d->Menu(Form1->N21);
         }},
    };
    for (const auto& win : windows)
        win.show();  // shown once on the first warehouse: its widths are taken
    d->AnswerFileDialog(other.Path());
    d->Run([&] { d->Click(Form1->Button1); });
    for (const auto& win : windows) {
        SCOPED_TRACE(win.why);
        win.show();
        EXPECT_EQ(win.grid->GetColumns()->Items(0)->GetWidth(), win.width);
    }
}

// The grids Form1 saves on exit besides its own, with their ColumnSize rows.
const struct {
    const char* why;
    int id;
} kOtherGrids[] = {{"the document window", 2}, {"the goods card", 3}, {"the journal", 4}, {"the report builder", 9}};

// Exit writes every grid's widths into the open warehouse, also those of a window not shown
// since that warehouse opened: such a window writes back the file's own widths, not its
// layout's nor those of the warehouse open before.
TEST_F(ShellTest, ExitKeepsTheWidthsOfWindowsNotShownOnThisWarehouse)
{
    w->Exec("Update ColumnSize Set \"0\"=40+ID");
    StartOnWarehouse();
    d->AnswerMessage("Вы действительно хотите выйти?", mrYes);
    d->CloseForm(Form1);
    ASSERT_TRUE(Application->Terminated());
    for (const auto& g : kOtherGrids) {
        SCOPED_TRACE(g.why);
        EXPECT_EQ(w->Scalar("Select \"0\" From ColumnSize Where ID=:id", {g.id}).AsInteger(), 40 + g.id);
    }
}

TEST_F(ShellTest, ExitKeepsTheWidthsOfWindowsNotShownSinceAnotherWarehouseOpened)
{
    w->Exec("Update ColumnSize Set \"0\"=40+ID");
    StartOnWarehouse();
    // The journal and the report builder take the first warehouse's widths.
    d->ExpectModal(Form4, [&] { d->Click(Form4->Button8); });
    d->Click(Form1->Button7);
    d->ExpectModal(Form9, [&] { d->Click(Form9->Button3); });
    d->Menu(Form1->N21);
    TWarehouseFixture other;
    other.SetPassword("2");
    other.Exec("Update ColumnSize Set \"0\"=50+ID");
    d->AnswerFileDialog(other.Path());
    d->Run([&] { d->Click(Form1->Button1); });
    ASSERT_EQ(Form1->DatabasePath(), other.Path());
    d->AnswerMessage("Вы действительно хотите выйти?", mrYes);
    d->CloseForm(Form1);
    ASSERT_TRUE(Application->Terminated());
    for (const auto& g : kOtherGrids) {
        SCOPED_TRACE(g.why);
        EXPECT_EQ(other.Scalar("Select \"0\" From ColumnSize Where ID=:id", {g.id}).AsInteger(), 50 + g.id);
        EXPECT_EQ(w->Scalar("Select \"0\" From ColumnSize Where ID=:id", {g.id}).AsInteger(), 40 + g.id)
            << "the first warehouse is not written on exit";
    }
}

TEST_F(ShellTest, SavingWidthsNeverBlocksExit)
{
    StartOnWarehouse();
    w->Exec("Drop Table ColumnSize");
    d->AnswerMessage("Вы действительно хотите выйти?", mrYes);
    d->CloseForm(Form1);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(d->Errors().empty());
}

TEST_F(ShellTest, ColumnWidthsComeFromTheWarehouse)
{
    w->Exec("Update ColumnSize Set \"0\"=77, \"9\"=33 Where ID=1");
    StartOnWarehouse();
    EXPECT_EQ(Form1->DBGrid1->GetColumns()->Items(0)->GetWidth(), 77);
    EXPECT_EQ(Form1->DBGrid1->GetColumns()->Items(9)->GetWidth(), 33);
}

TEST_F(ShellTest, TheArchiveViewSwitchesTheCommandsOffUntilTheJournalCloses)
{
    StartOnWarehouse();
    w->AddProduct(Product("Болт", "Склад", 3));
    d->Run([] { Form1->TreeView1Change(nullptr, Form1->TreeView1->GetItems()->GetFirstNode()); });
    d->ExpectModal(Form4, [&] {
        EXPECT_EQ(Form4->GetCaption(), "Работа с документами - Архив");
        EXPECT_EQ(Form4->Button5->GetCaption(), "Извлечь из архива");
        EXPECT_EQ(Form1->WorkingMode, 0);
        EXPECT_FALSE(Form1->Button5->GetEnabled());
        EXPECT_FALSE(Form1->Button3->GetEnabled());
        // Commands that do nothing in the archive view: no window opens.
        Form1->N6Click(nullptr);
        Form1->N8Click(nullptr);
        Form1->N12Click(nullptr);
        Form1->N14Click(nullptr);
        Form1->N16Click(nullptr);
        Form1->N17Click(nullptr);
        Form1->N20Click(nullptr);
        Form1->N21Click(nullptr);
        Form1->DBGrid1DblClick(nullptr);
        d->Click(Form4->Button8);
    });
    d->Run([] { Form1->N18Click(nullptr); });
    EXPECT_EQ(d->ModalNames(), (std::vector<AnsiString>{"Form4"}));
    EXPECT_EQ(Form1->WorkingMode, 1);
    EXPECT_TRUE(Form1->Button5->GetEnabled());
    EXPECT_TRUE(Form1->Button3->GetEnabled());
}

TEST_F(ShellTest, HelpOpensTheHelpFileBesideTheProgram)
{
    StartOnWarehouse();
    d->Run([&] { d->Menu(Form1->N23); });
    ASSERT_EQ(d->ShellCalls().size(), 1u);
    EXPECT_EQ(d->ShellCalls()[0].Verb, "open");
    EXPECT_EQ(d->ShellCalls()[0].File, w->Dir() + "Складhelp.chm");
    EXPECT_EQ(d->ShellCalls()[0].ShowCmd, SW_SHOWMAXIMIZED);
}

}  // namespace

// At start-up the keys are in the groups tree, not on the first toolbar button: an Enter
// pressed before anything else must not start a new warehouse.
TEST_F(ShellTest, AtStartUpTheKeysAreInTheGroupsTreeAndEnterStartsNothing)
{
    const struct {
        const char* why;
        std::function<void()> arrange;
    } cases[] = {
        {"a remembered warehouse",
         [this] {
             w->SetPassword("1");
             Remember(w->Path());
         }},
        {"the demo warehouse, with its groups and goods", [this] { Remember(MakeDemoWarehouse(w->Dir())); }},
        {"none remembered: chosen in the open dialog",
         [this] {
             w->SetPassword("1");
             d->AnswerFileDialog(w->Path());
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TearDown();
        SetUp();
        c.arrange();
        ASSERT_TRUE(Start());
        ShowMain();
        EXPECT_EQ(Form1->GetActiveControl(), Form1->TreeView1);
        TWinControl* keys = Form1->GetActiveControl();
        ASSERT_NE(keys, nullptr);
        d->Key(keys, VK_RETURN);
        EXPECT_TRUE(d->Modals().empty()) << "Enter opened " << d->ModalNames().front();
        EXPECT_TRUE(Form1->DatabaseOpen());
    }
}
