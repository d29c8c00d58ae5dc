#include "app/shell/Unit1.h"

#include "app/documents/Unit11.h"
#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit4.h"
#include "app/documents/Unit8.h"
#include "app/documents/Unit9.h"
#include "app/shell/AppPaths.h"
#include "app/documents/GridWidths.h"
#include "app/shell/Layouts.h"
#include "app/documents/Statements.h"
#include "app/shell/ShellMessages.h"
#include "app/shell/Unit10.h"
#include "app/shell/Unit12.h"
#include "app/shell/Unit5.h"
#include "app/documents/Unit6.h"
#include "app/shell/Unit7.h"
#include "platform/classes/IniFiles.h"
#include "platform/db/ADODB.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/ScopeExit.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

TForm1* Form1 = nullptr;
TWarehouseData* WarehouseData = nullptr;
TMainWindow* MainWindow = nullptr;

namespace {

void QuestionYesNo(bool& yes, const AnsiString& text)
{
    yes = Application->MessageBox(text, "Внимание!", MB_YESNO) == IDYES;
}

}  // namespace

SKLAD_DEFINE_CLASS(TForm1)

void TForm1::Publish(TPropertyTable& t)
{
    t.Method("FormCreate", &TForm1::FormCreate);
    t.Method("FormShow", &TForm1::FormShow);
    t.Method("FormActivate", &TForm1::FormActivate);
    t.Method("FormClose", &TForm1::FormClose);
    t.Method("Button1Click", &TForm1::Button1Click);
    t.Method("Button2Click", &TForm1::Button2Click);
    t.Method("Button3Click", &TForm1::Button3Click);
    t.Method("Button4Click", &TForm1::Button4Click);
    t.Method("Button5Click", &TForm1::Button5Click);
    t.Method("Button6Click", &TForm1::Button6Click);
    t.Method("Button7Click", &TForm1::Button7Click);
    t.Method("Button8Click", &TForm1::Button8Click);
    t.Method("Button9Click", &TForm1::Button9Click);
    t.Method("Button10Click", &TForm1::Button10Click);
    t.Method("Button11Click", &TForm1::Button11Click);
    t.Method("SpeedButton1Click", &TForm1::SpeedButton1Click);
    t.Method("SpeedButton2Click", &TForm1::SpeedButton2Click);
    t.Method("SpeedButton3Click", &TForm1::SpeedButton3Click);
    t.Method("TreeView1Change", &TForm1::TreeView1Change);
    t.Method("TreeView1MouseDown", &TForm1::TreeView1MouseDown);
    t.Method("DBGrid1TitleClick", &TForm1::DBGrid1TitleClick);
    t.Method("DBGrid1DblClick", &TForm1::DBGrid1DblClick);
    t.Method("N1Click", &TForm1::N1Click);
    t.Method("N2Click", &TForm1::N2Click);
    t.Method("N3Click", &TForm1::N3Click);
    t.Method("N4Click", &TForm1::N4Click);
    t.Method("N6Click", &TForm1::N6Click);
    t.Method("N7Click", &TForm1::N7Click);
    t.Method("N8Click", &TForm1::N8Click);
    t.Method("N10Click", &TForm1::N10Click);
    t.Method("N12Click", &TForm1::N12Click);
    t.Method("N13Click", &TForm1::N13Click);
    t.Method("N14Click", &TForm1::N14Click);
    t.Method("N16Click", &TForm1::N16Click);
    t.Method("N17Click", &TForm1::N17Click);
    t.Method("N18Click", &TForm1::N18Click);
    t.Method("N19Click", &TForm1::N19Click);
    t.Method("N20Click", &TForm1::N20Click);
    t.Method("N21Click", &TForm1::N21Click);
    t.Method("N23Click", &TForm1::N23Click);
    t.Method("N24Click", &TForm1::N24Click);
    t.Method("N25Click", &TForm1::N25Click);
    t.Method("N26Click", &TForm1::N26Click);
    t.Method("rpReport1BeforePrint", &TForm1::rpReport1BeforePrint);
}

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    // The components are bound before OnCreate (FormCreate) runs, which needs them.
    InitLayoutText(FormLayoutText("Unit1"), [this] {
        BindComponents();
        CreateReports();
    });
    WarehouseData = this;
    MainWindow = this;
}

TForm1::~TForm1()
{
    ReleaseScratchLines();
    if (WarehouseData == this)
        WarehouseData = nullptr;
    if (MainWindow == this)
        MainWindow = nullptr;
}

void TForm1::BindComponents()
{
    SKLAD_BIND(Panel1); SKLAD_BIND(Panel2); SKLAD_BIND(Panel3); SKLAD_BIND(Panel4); SKLAD_BIND(Panel5);
    SKLAD_BIND(Splitter1);
    SKLAD_BIND(Button1); SKLAD_BIND(Button2); SKLAD_BIND(Button3); SKLAD_BIND(Button4);
    SKLAD_BIND(Button5); SKLAD_BIND(Button6); SKLAD_BIND(Button7); SKLAD_BIND(Button8);
    SKLAD_BIND(Button9); SKLAD_BIND(Button10); SKLAD_BIND(Button11);
    SKLAD_BIND(SpeedButton1); SKLAD_BIND(SpeedButton2); SKLAD_BIND(SpeedButton3);
    SKLAD_BIND(TreeView1); SKLAD_BIND(DBGrid1); SKLAD_BIND(MainMenu1); SKLAD_BIND(PopupMenu1);
    SKLAD_BIND(N1); SKLAD_BIND(N2); SKLAD_BIND(N3); SKLAD_BIND(N4); SKLAD_BIND(N6); SKLAD_BIND(N8);
    SKLAD_BIND(N9); SKLAD_BIND(N10); SKLAD_BIND(N12); SKLAD_BIND(N13); SKLAD_BIND(N14); SKLAD_BIND(N15);
    SKLAD_BIND(N16); SKLAD_BIND(N17); SKLAD_BIND(N18); SKLAD_BIND(N19); SKLAD_BIND(N20); SKLAD_BIND(N21);
    SKLAD_BIND(N22); SKLAD_BIND(N23); SKLAD_BIND(N24); SKLAD_BIND(N25); SKLAD_BIND(N26); SKLAD_BIND(N27);
    SKLAD_BIND(N28);
    SKLAD_BIND(ADOConnection1);
    SKLAD_BIND(ADOQuery1); SKLAD_BIND(ADOQuery2); SKLAD_BIND(ADOQuery3); SKLAD_BIND(ADOQuery4);
    SKLAD_BIND(ADOQuery5); SKLAD_BIND(ADOQuery6); SKLAD_BIND(ADOQuery7); SKLAD_BIND(ADOQuery8);
    SKLAD_BIND(ADOQuery9); SKLAD_BIND(ADOQuery14); SKLAD_BIND(ADOQuery15); SKLAD_BIND(ImportQuery);
    SKLAD_BIND(DataSource1); SKLAD_BIND(DataSource2); SKLAD_BIND(DataSource3); SKLAD_BIND(DataSource4);
    SKLAD_BIND(DataSource5);
    SKLAD_BIND(OpenDialog1); SKLAD_BIND(OpenDialog);
}

// ---------------------------------------------------------------- life cycle

void TForm1::FormCreate(TObject*)
{
    AppDir = ProgramDir();
    TIniFile ini(AppDir + kIniFileName);
    const AnsiString last = ini.ReadString(kIniSection, kIniKey, "");
    // A remembered file is opened without writing it back; one that fails to open is
    // treated like no file at all: the user chooses another.
    if (!last.empty() && FileExists(last) && OpenDatabase(last) == TOpenResult::Opened)
        return;
    if (!ChooseAndOpenWarehouse())
        Halt(1);
}

bool TForm1::ChooseAndOpenWarehouse()
{
    while (OpenDialog1->Execute()) {
        const AnsiString path = OpenDialog1->FileName;
        if (OpenDatabase(path) == TOpenResult::Opened) {
            WriteLastFile(path);
            return true;
        }
        // The message has been shown; offer the dialog again.
        if (DatabaseOpen())
            return false;
    }
    return false;
}

void TForm1::WriteLastFile(const AnsiString& path)
{
    TIniFile ini(AppDir + kIniFileName);
    ini.WriteString(kIniSection, kIniKey, path);
}

void TForm1::FormShow(TObject*)
{
    if (TreeView1->GetItems()->Count() > 0)
        TreeView1->SetSelected(TreeView1->GetItems()->GetFirstNode());
    // The keys start in the groups tree: left to the tab order they would land on the first
    // toolbar button, and a stray Enter would start a new warehouse.
    if (!GetActiveControl() && TreeView1->CanFocus())
        SetActiveControl(TreeView1);
    Form3->FirstShow = 1;
    Form2->FirstShow = 1;
    Form4->FirstShow = 1;
    Form9->FirstShow = 1;
    LoadOtherGridWidths();
}

void TForm1::FormActivate(TObject*)
{
    // Every return from a modal dialog activates this window again; the prompt below is
    // itself a modal dialog, so it must not start another one from inside.
    if (FInActivate || FQuitting || !DatabaseOpen())
        return;
    FInActivate = true;
    TScopeExit reset([this] { FInActivate = false; });

    OpenSql(ADOQuery2, "Select * From Passwords");
    while (ADOQuery2->IsEmpty() && !FQuitting) {
        Form7->SetMode(TPasswordMode::First);
        Form7->ShowModal();
        OpenSql(ADOQuery2, "Select * From Passwords");
        if (!ADOQuery2->IsEmpty())
            break;
        // No password given: the user may open another warehouse or leave, but is not
        // asked the same question again and again.
        if (Application->MessageBox(ShellMessage(TShellMessage::PasswordRequired), "Внимание!", MB_YESNO) != IDYES) {
            Quit();
            return;
        }
        if (!ChooseAndOpenWarehouse())
            continue;
        OpenSql(ADOQuery2, "Select * From Passwords");
    }
    if (FQuitting)
        return;
    LoadVatRate();
    // Any window may have changed goods while this one was inactive (a card, a document, an
    // import, a supplier's new name): the grid shows them as they are now. This runs after
    // every dialog, and a large warehouse takes a while to read: a file unchanged since the
    // grid was read is not read again. A grid emptied because its reading failed is read
    // again all the same: the file may be unchanged since the group before was read.
    if (ADOConnection1->DataVersion() != FGoodsVersion || !ADOQuery1->Active())
        ReloadGoods();
}

void TForm1::LoadVatRate()
{
    OpenSql(ADOQuery3, "Select * From NDS");
    VatRate = ADOQuery3->IsEmpty() ? 0 : ADOQuery3->FieldByName("НДС")->AsInteger();
}

void TForm1::Quit()
{
    FQuitting = true;
    Close();
}

void TForm1::FormClose(TObject*, TCloseAction& Action)
{
    if (!FQuitting) {
        bool yes = false;
        QuestionYesNo(yes, "Вы действительно хотите выйти?");
        if (!yes) {
            Action = caNone;
            return;
        }
    }
    SaveColumnWidths();
}

void TForm1::SaveColumnWidths() noexcept
{
    // Exit never fails because of the widths: without a database, or when an update
    // fails, the widths are simply not kept.
    if (DatabaseOpen())
        SaveGridWidths(ADOConnection1, ADOQuery2);
}

// ---------------------------------------------------------------- the warehouse file

bool TForm1::DatabaseOpen() const
{
    return ADOConnection1 && ADOConnection1->Connected();
}

TOpenResult TForm1::OpenDatabase(const AnsiString& path)
{
    // Check the file on a connection of our own first: only a file that opens as a
    // warehouse and reads whole replaces the open one.
    try {
        TADOConnection probe(nullptr);
        probe.SetConnectionString(JetConnectionString(path));
        probe.SetLoginPrompt(false);
        probe.Open();
        probe.CheckIntegrity();
        probe.Close();
    } catch (const std::exception& e) {
        const AnsiString why = e.what();
        ShowMessage(ShellMessage(DatabaseOpen() ? TShellMessage::OpenFailedKept : TShellMessage::OpenFailed,
                                 {path, why}));
        return TOpenResult::Failed;
    }

    const AnsiString previous = DatabaseOpen() ? FDatabasePath : AnsiString();
    try {
        SwitchDatabase(path);
        return TOpenResult::Opened;
    } catch (const std::exception& e) {
        const AnsiString why = e.what();
        // Whatever failed after the switch, the program goes back to the warehouse it had.
        bool restored = false;
        if (!previous.empty()) {
            try {
                SwitchDatabase(previous);
                restored = true;
            } catch (const std::exception&) {
            }
        }
        if (!restored)
            CloseDatabase();
        ShowMessage(ShellMessage(restored ? TShellMessage::OpenFailedKept : TShellMessage::OpenFailed, {path, why}));
        return TOpenResult::Failed;
    }
}

void TForm1::SwitchDatabase(const AnsiString& path)
{
    CloseDatabase();
    ADOConnection1->SetConnectionString(JetConnectionString(path));
    ADOConnection1->Open();
    FDatabasePath = path;
    UpgradeSchema();

    DBGrid1->SetVisible(false);
    TScopeExit show([this] { DBGrid1->SetVisible(true); });
    BuildGroupsTree(TreeView1, true);
    SetCaption("Korvel Склад 1.0  " + path);
    WorkingMode = wmWorking;
    // The rate is the open file's from the start: a document begun before the next
    // activation must not take the rate of the warehouse open before.
    LoadVatRate();
    EnableWarehouseCommands();
    LoadColumnWidths();
    // At start-up the other windows do not exist yet: FormShow does this for them.
    if (Form2 && Form3 && Form4 && Form9) {
        Form3->FirstShow = Form2->FirstShow = Form4->FirstShow = Form9->FirstShow = 1;
        LoadOtherGridWidths();
    }
}

void TForm1::CloseDatabase()
{
    ReleaseScratchLines();
    for (TADOQuery* q : {ADOQuery1, ADOQuery2, ADOQuery3, ADOQuery4, ADOQuery5})
        q->Close();
    ADOConnection1->Close();
    FDatabasePath.clear();
    TreeView1->GetItems()->Clear();
    SetCaption("Склад");  // as the window shows before any warehouse is open
    EnableWarehouseCommands();
}

void TForm1::UpgradeSchema()
{
    // A file made by an older program gets the scratch columns the template now has, once, in
    // one transaction that also records the file's new version; a file of this version is
    // only read here. Only scratch tables change, so no stock figure is touched. A file that
    // cannot take the change now (another program is writing it) is not opened: without its
    // columns every document would fail half-way.
    try {
        OpenSql(ADOQuery2, "PRAGMA user_version");
        const int version = ADOQuery2->IsEmpty() ? 0 : ADOQuery2->Fields()[0]->AsInteger();
        ADOQuery2->Close();
        if (version >= kSchemaVersion)
            return;
        const auto lacks = [this](const char* table, const char* column) {
            OpenSql(ADOQuery2, AnsiString("Select Count(*) As N From pragma_table_info('") + table + "') Where name=:c",
                    {{"c", AnsiString(column)}});
            const bool missing = ADOQuery2->FieldByName("N")->AsInteger() == 0;
            ADOQuery2->Close();
            return missing;
        };
        InTransaction(ADOConnection1, [&] {
            if (lacks("TempStructureDocuments", "IDТовара"))
                ExecSql(ADOQuery2, "Alter Table TempStructureDocuments Add Column IDТовара INTEGER "
                                   "CHECK (typeof(IDТовара) IN ('integer', 'null'))");
            if (lacks("TempStructureOtpusk", "IDСтрокиЗаявки"))
                ExecSql(ADOQuery2, "Alter Table TempStructureOtpusk Add Column IDСтрокиЗаявки INTEGER "
                                   "CHECK (typeof(IDСтрокиЗаявки) IN ('integer', 'null'))");
            ExecSql(ADOQuery2, "PRAGMA user_version = " + IntToStr(kSchemaVersion));
        });
    } catch (const EDbError& e) {
        ADOQuery2->Close();
        const int primary = e.SqliteCode() & 0xff;
        if (primary == 5 || primary == 6)  // SQLITE_BUSY, SQLITE_LOCKED
            throw EDbError(TDbMessage::FileLocked, {FDatabasePath.c_str()});
        throw;
    }
    ADOQuery2->Close();
}

void TForm1::LoadColumnWidths()
{
    LoadGridWidths(*this, ADOQuery2);
}

void TForm1::LoadOtherGridWidths()
{
    // Exit writes every grid's widths into the open warehouse, also those of a window not
    // shown since it opened: such a grid must hold this file's widths, not those of the file
    // open before or of its layout. Each window reads them again at its next showing.
    if (!DatabaseOpen())
        return;
    for (TForm* form : {static_cast<TForm*>(Form2), static_cast<TForm*>(Form3), static_cast<TForm*>(Form4),
                        static_cast<TForm*>(Form9)})
        LoadGridWidths(*form, ADOQuery2);
}

void TForm1::Button1Click(TObject*)
{
    ChooseAndOpenWarehouse();
}

void TForm1::N4Click(TObject* Sender) { Button1Click(Sender); }

void TForm1::Button8Click(TObject*)
{
    Form5->Ask(TInputJob::NewWarehouse);
}

void TForm1::N13Click(TObject* Sender) { Button8Click(Sender); }

bool TForm1::HoldScratchLines()
{
    if (FScratchLock >= 0)
        return true;
    if (FDatabasePath.empty())
        return true;
    // Beside the warehouse, never the warehouse itself: closing a descriptor of the database
    // file would drop the locks SQLite holds on it for this process. Beside the file itself,
    // links and ".." resolved: a program that opened it by another name shares its lines.
    std::string file = PathToSystem(FDatabasePath);
    if (char* real = ::realpath(file.c_str(), nullptr)) {
        file = real;
        ::free(real);
    }
    const std::string path = file + ".lock";
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    // A lock file another user made is not ours to write, but locks all the same.
    if (fd < 0)
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return true;  // a folder we cannot write to: no second program can begin a document there either
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        ::close(fd);
        // Only a lock another program holds refuses; a file system that keeps no such locks
        // is not another program entering a document.
        return why != EWOULDBLOCK;
    }
    FScratchLock = fd;
    return true;
}

void TForm1::ReleaseScratchLines()
{
    if (FScratchLock < 0)
        return;
    ::flock(FScratchLock, LOCK_UN);
    ::close(FScratchLock);
    FScratchLock = -1;
}

void TForm1::ClearTempDocumentTables()
{
    if (!HoldScratchLines())
        throw Exception(ShellMessage(TShellMessage::LinesBusy));
    // Both tables in one write: one commit to wait for, not two.
    InTransaction(ADOConnection1, [this] {
        ExecSql(ADOQuery4, "Delete * From TempStructureDocuments");
        ExecSql(ADOQuery4, "Delete * From TempStructureOtpusk");
    });
    OpenSql(ADOQuery4, "Select * From TempStructureOtpusk");
}

// ---------------------------------------------------------------- working and archive view

void TForm1::SetArchiveButtonsEnabled(bool enabled)
{
    for (TButton* b : {Button10, Button3, Button2, Button4, Button11, Button5, Button6, Button9})
        b->SetEnabled(enabled);
}

void TForm1::EnableWarehouseCommands()
{
    const bool open = DatabaseOpen();
    SetArchiveButtonsEnabled(open && WorkingMode == wmWorking);
    for (TControl* c : std::initializer_list<TControl*>{Button7, SpeedButton1, SpeedButton2, SpeedButton3})
        c->SetEnabled(open);
    for (TMenuItem* m : {N19, N1, N14, N26, N20, N16, N25, N6, N12, N8, N18, N17, N21, N10, N2, N3})
        m->SetEnabled(open);
}

bool TForm1::WorkingCommandsEnabled() const
{
    return Button10->GetEnabled();
}

void TForm1::JournalClosed()
{
    // Closing the journal always returns the main window to the working view.
    if (WorkingMode == wmArchive)
        Button10->SetEnabled(true);
    for (TButton* b : {Button3, Button2, Button4, Button11, Button5, Button6, Button9})
        b->SetEnabled(true);
    WorkingMode = wmWorking;
}

void TForm1::N18Click(TObject* Sender)
{
    SetArchiveButtonsEnabled(false);
    WorkingMode = wmArchive;
    Button7Click(Sender);
}

void TForm1::N19Click(TObject*)
{
    SetArchiveButtonsEnabled(true);
    WorkingMode = wmWorking;
}

// ---------------------------------------------------------------- settings and help

void TForm1::N14Click(TObject*)
{
    if (WorkingMode == wmArchive)
        return;
    Form6->ShowCompany();
}

void TForm1::N16Click(TObject*)
{
    if (WorkingMode == wmArchive)
        return;
    Form7->SetMode(TPasswordMode::Old);
    Form7->ShowModal();
}

void TForm1::N20Click(TObject*)
{
    if (WorkingMode == wmArchive)
        return;
    Form5->Ask(TInputJob::Vat);
}

void TForm1::N26Click(TObject*)
{
    Form12->ShowFlags();
}

void TForm1::N23Click(TObject*)
{
    Services().ShellExecute("open", AppDir + kHelpFileName, "", "", SW_SHOWMAXIMIZED);
}

void TForm1::N24Click(TObject*)
{
    Form10->ShowModal();
}

// ---------------------------------------------------------------- documents and reports

void TForm1::Button7Click(TObject*)
{
    Form4->ShowJournal();
}

void TForm1::N25Click(TObject* Sender) { Button7Click(Sender); }

void TForm1::N7Click(TObject* Sender)
{
    Button7Click(Sender);
    Form4->RadioButton7Click(nullptr);
}

// The new-document commands (Button5Click, Button6Click, Button9Click) and the order-request
// import (N1Click) are in Unit1Documents.cpp.
void TForm1::N6Click(TObject* Sender)
{
    if (WorkingMode == wmWorking)
        Button5Click(Sender);
}

void TForm1::N8Click(TObject* Sender)
{
    if (WorkingMode == wmWorking)
        Button6Click(Sender);
}

void TForm1::N12Click(TObject* Sender)
{
    if (WorkingMode == wmWorking)
        Button9Click(Sender);
}

void TForm1::N17Click(TObject*)
{
    if (WorkingMode == wmWorking)
        Form8->ShowModal();
}

void TForm1::N21Click(TObject*)
{
    if (WorkingMode == wmArchive)
        return;
    Form9->ShowBuilder();
}

// ---------------------------------------------------------------- goods cards
// Viewing, adding and deleting a goods card: Unit1Viewer.cpp.

void TForm1::Button11Click(TObject*)
{
    if (WorkingMode == wmArchive || !HasCurrentRow(ADOQuery1))
        return;
    Form5->AskGroupToMoveTo();
}

void TForm1::Button10Click(TObject*)
{
    if (!HasCurrentRow(ADOQuery1))
        return;
    Form5->Ask(TInputJob::Article);
}
