#include "app/shell/Unit5.h"

#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit4.h"
#include "app/shell/AppPaths.h"
#include "app/shell/CatalogueMessages.h"
#include "app/shell/Layouts.h"
#include "app/documents/Statements.h"
#include "app/shell/MainWindow.h"
#include "app/shell/Unit7.h"
#include "platform/classes/IniFiles.h"
#include "platform/db/ADODB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"

TForm5* Form5 = nullptr;

namespace {

constexpr const char* kGroupExists = "Группа с таким именем уже существует";
constexpr const char* kFileExists = "Файл с таким именем уже существует";

// The ID of the product under the goods grid's cursor; false when there is none.
bool CurrentProductId(int64_t& id)
{
    TADOQuery* q = MainWindow->ADOQuery1;
    if (!HasCurrentRow(q))
        return false;
    id = q->FieldByName("ID")->AsLargeInt();
    return true;
}

// The password dialog of write-off acts (WriteOff.h).
TWriteOffOutcome AskWriteOffPassword(const TWriteOffAct& act)
{
    Form5->WriteOffAct = act;
    Form5->WriteOffPosted = false;
    Form5->Ask(TInputJob::WriteOff);
    return Form5->WriteOffPosted ? TWriteOffOutcome::Posted : TWriteOffOutcome::NotPosted;
}

}  // namespace

const char* InputJobCaption(TInputJob job)
{
    switch (job) {
    case TInputJob::AddSubgroup: return "Добавить подгруппу";
    case TInputJob::Rename: return "Переименовать";
    case TInputJob::NewWarehouse: return "Наименование нового склада";
    case TInputJob::Vat: return "Изменение НДС";
    case TInputJob::WriteOff: return "Введите пароль на списание";
    case TInputJob::Article: return "Добавить/изменить артикул";
    case TInputJob::MoveProduct:
    case TInputJob::None: break;
    }
    return "Form5";
}

bool IsValidWarehouseName(const AnsiString& name)
{
    // The name becomes a file in the program's folder: no folder parts, nothing the
    // file systems the warehouses travel to would refuse (characters, a blank or a dot at
    // the end, a device name before the first dot: CON, PRN, AUX, NUL, CONIN$, CONOUT$,
    // COM0 to COM9, LPT0 to LPT9). The superscript-digit forms (COM¹ ...) cannot be held
    // by the name's code page: they arrive as '?', which is refused with the characters.
    if (name.empty() || name.back() == ' ' || name.back() == '.')
        return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F || std::string_view("\\/:*?\"<>|").find(char(c)) != std::string_view::npos)
            return false;
    const AnsiString base = UpperCase(TrimRight(name.substr(0, name.find('.'))));
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (base == device)
            return false;
    const bool numbered = base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) &&
                          base[3] >= '0' && base[3] <= '9';
    return !numbered;
}

SKLAD_DEFINE_CLASS(TForm5)

void TForm5::Publish(TPropertyTable& t)
{
    t.Method("Button1Click", &TForm5::Button1Click);
    t.Method("FormShow", &TForm5::FormShow);
    t.Method("FormClose", &TForm5::FormClose);
}

TForm5::TForm5(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit5"));
    SKLAD_BIND(Edit1);
    SKLAD_BIND(Button1);
    SKLAD_BIND(ComboBox1);
    SetWriteOffDialog(&AskWriteOffPassword);
}

TForm5::~TForm5()
{
    SetWriteOffDialog(nullptr);
}

void TForm5::SetJob(TInputJob job)
{
    FJob = job;
    SetCaption(InputJobCaption(job));
}

// ---------------------------------------------------------------- openers


void TForm5::Ask(TInputJob job, const AnsiString& text)
{
    Edit1->SetPasswordChar(job == TInputJob::WriteOff ? '*' : 0);
    Edit1->SetText(text);
    ComboBox1->SetVisible(false);
    SetJob(job);
    ShowModal();
    // The other jobs show what is typed.
    Edit1->SetPasswordChar(0);
}

void TForm5::AskGroupToMoveTo()
{
    // Goods sit only in groups without subgroups, so only those are offered, in tree order.
    ComboBox1->GetItems()->Clear();
    for (const AnsiString& group : MainWindow->GoodsGroupNames())
        ComboBox1->GetItems()->Add(group);
    ComboBox1->SetItemIndex(-1);
    ComboBox1->SetText("");
    Edit1->SetVisible(true);
    Edit1->SetEnabled(true);
    SetJob(TInputJob::MoveProduct);
    SetCaption("Переместить в группу");
    ComboBox1->SetVisible(true);
    ShowModal();
}

// ---------------------------------------------------------------- dispatch

void TForm5::Button1Click(TObject*)
{
    // The move job reads the list, not the edit box.
    if (FJob == TInputJob::MoveProduct) {
        MoveProduct();
        return;
    }
    const AnsiString text = Edit1->GetText();
    if (text.empty()) {
        ShowMessage("Поле не должно быть пустым");
        return;
    }
    const bool isName = FJob == TInputJob::AddSubgroup || FJob == TInputJob::Rename || FJob == TInputJob::Article;
    if (isName && HasControlCharacters(text)) {
        ShowMessage(CatalogueMessage(TCatalogueMessage::ControlCharacters, {text}));
        return;
    }
    switch (FJob) {
    case TInputJob::AddSubgroup: AddSubgroup(text); break;
    case TInputJob::Rename: RenameGroup(text); break;
    case TInputJob::NewWarehouse: NewWarehouse(text); break;
    case TInputJob::Vat: {
        Form2->VatInputValid = 1;
        int value = 0;
        if (!ParseVat(value)) {
            Form2->VatInputValid = 0;
            return;
        }
        StoreVat(value);
        Close();
        break;
    }
    case TInputJob::WriteOff: PostWriteOffAct(text); break;
    case TInputJob::Article: SetArticle(text); break;
    case TInputJob::MoveProduct:
    case TInputJob::None: break;
    }
}

void TForm5::FormShow(TObject*)
{
    if (FJob == TInputJob::Vat) {
        OpenSql(MainWindow->ADOQuery3, "Select * From NDS");
        Edit1->SetText(MainWindow->ADOQuery3->IsEmpty() ? AnsiString() : MainWindow->ADOQuery3->FieldByName("НДС")->AsString());
    }
    if (Edit1->CanFocus())
        Edit1->SetFocus();
}

void TForm5::FormClose(TObject*, TCloseAction& Action)
{
    // The VAT dialog keeps the value shown whichever way it is closed, and holds on to
    // a text that is no percent.
    if (FJob != TInputJob::Vat)
        return;
    Form2->VatInputValid = 1;
    int value = 0;
    if (!ParseVat(value)) {
        Form2->VatInputValid = 0;
        Action = caNone;
        return;
    }
    StoreVat(value);
}

// ---------------------------------------------------------------- groups

void TForm5::AddSubgroup(const AnsiString& name)
{
    TADOQuery* q2 = MainWindow->ADOQuery2;
    // Group names are unique in the whole warehouse, not only among siblings.
    OpenSql(q2, "Select * From Groups Where NameGroup=:name", {{"name", name}});
    if (!q2->IsEmpty()) {
        ShowMessage(kGroupExists);
        return;
    }
    TTreeNode* parent = MainWindow->SelectedGroup();
    if (!parent)
        return;
    OpenSql(q2, "Select * From Groups Where NameGroup=:name", {{"name", parent->GetText()}});
    if (q2->IsEmpty()) {
        ShowMessage(CatalogueMessage(TCatalogueMessage::GroupGone, {parent->GetText()}));
        return;
    }
    const int64_t parentId = q2->FieldByName("ID")->AsLargeInt();
    ExecSql(MainWindow->ADOQuery3, "Insert Into Groups (NameGroup,IDName) Values (:name,:parent)",
            {{"name", name}, {"parent", parentId}});
    MainWindow->AddGroupNode(parent, name);
    Close();
}

void TForm5::RenameGroup(const AnsiString& name)
{
    TADOQuery* q2 = MainWindow->ADOQuery2;
    TADOQuery* q3 = MainWindow->ADOQuery3;
    OpenSql(q2, "Select * From Groups Where NameGroup=:name", {{"name", name}});
    if (!q2->IsEmpty()) {
        ShowMessage(kGroupExists);
        return;
    }
    TTreeNode* node = MainWindow->SelectedGroup();
    if (!node)
        return;
    const AnsiString old = node->GetText();
    // The goods follow their group's new name; the goods of subgroups name their own groups.
    // Both land together or not at all.
    try {
        InTransaction(MainWindow->ADOConnection1, [&] {
            OpenSql(q3, "Select * From Groups Where NameGroup=:old", {{"old", old}});
            if (q3->IsEmpty())
                throw Exception(CatalogueMessage(TCatalogueMessage::GroupGone, {old}));
            const int64_t id = q3->FieldByName("ID")->AsLargeInt();
            ExecSql(q3, "Update Products Set Группа=:new Where Группа=:old", {{"new", name}, {"old", old}});
            ExecSql(q2, "Update Groups Set NameGroup=:new Where ID=:id", {{"new", name}, {"id", id}});
        });
    } catch (const std::exception& e) {
        ShowMessage(CatalogueMessage(TCatalogueMessage::RenameFailed, {e.what()}));
        return;
    }
    Close();
    MainWindow->RenameGroupNode(node, name);
}

// ---------------------------------------------------------------- goods

void TForm5::MoveProduct()
{
    const int index = ComboBox1->GetItemIndex();
    if (index < 0) {
        ShowMessage("Выберите группу из списка");
        return;
    }
    int64_t id = 0;
    if (CurrentProductId(id))
        ExecSql(MainWindow->ADOQuery2, "Update Products Set Группа=:group Where ID=:id",
                {{"group", ComboBox1->GetItems()->Strings(index)}, {"id", id}});
    MainWindow->RefreshGoodsGrid();
    Close();
}

void TForm5::SetArticle(const AnsiString& article)
{
    int64_t id = 0;
    if (CurrentProductId(id))
        ExecSql(MainWindow->ADOQuery2, "Update Products Set №=:article Where ID=:id", {{"article", article}, {"id", id}});
    Close();
    MainWindow->RefreshGoodsGrid();
}

// ---------------------------------------------------------------- VAT

bool TForm5::ParseVat(int& value)
{
    // A percent: a whole number, nothing around it; a negative rate would lower prices.
    if (TryStrToInt(Edit1->GetText(), value) && value >= 0)
        return true;
    Application->MessageBox("Введены ошибочные данные", "Повторите ввод", 0);
    return false;
}

void TForm5::StoreVat(int value)
{
    TADOQuery* q3 = MainWindow->ADOQuery3;
    if (ExecSql(q3, "Update NDS Set НДС=:v", {{"v", value}}) == 0)
        ExecSql(q3, "Insert Into NDS (НДС) Values (:v)", {{"v", value}});
    MainWindow->VatRate = value;
}

// ---------------------------------------------------------------- new warehouse

void TForm5::NewWarehouse(const AnsiString& name)
{
    if (!IsValidWarehouseName(name)) {
        ShowMessage(CatalogueMessage(TCatalogueMessage::BadWarehouseName, {name}));
        return;
    }
    const AnsiString dir = MainWindow->AppDir;
    const AnsiString templatePath = dir + kTemplatePath;
    const AnsiString path = dir + name + ".kvb";
    // Never over an existing file: the copy itself refuses one, checked first only to say so.
    if (FileExists(path)) {
        ShowMessage(kFileExists);
        return;
    }
    if (!FileExists(templatePath)) {
        ShowMessage(CatalogueMessage(TCatalogueMessage::NoTemplate, {templatePath}));
        return;
    }
    if (!CopyFile(templatePath, path, true)) {
        ShowMessage(FileExists(path) ? AnsiString(kFileExists)
                                     : CatalogueMessage(TCatalogueMessage::CopyFailed, {path}));
        return;
    }

    const AnsiString previous = MainWindow->DatabasePath();
    if (MainWindow->OpenDatabase(path) != TOpenResult::Opened) {
        DeleteFile(path);  // OpenDatabase has said why
        return;
    }
    const AnsiString iniPath = dir + kIniFileName;
    const AnsiString oldEntry = TIniFile(iniPath).ReadString(kIniSection, kIniKey, "");
    TIniFile(iniPath).WriteString(kIniSection, kIniKey, path);
    MainWindow->SelectTopGroup();

    // The first password of the new warehouse.
    Form7->Cancelled = 0;
    Form7->SetMode(TPasswordMode::First);
    Form7->ShowModal();
    if (!Form7->Cancelled) {
        Close();
        return;
    }
    // No password: the new file goes, "LastFile" names what it named before, and the warehouse
    // open before comes back. When that one cannot be opened, the program is left with none
    // open (and says why) rather than on a warehouse nobody may use.
    MainWindow->CloseDatabase();
    DeleteFile(path);
    {
        TIniFile ini(iniPath);
        if (oldEntry.empty())
            ini.DeleteKey(kIniSection, kIniKey);
        else
            ini.WriteString(kIniSection, kIniKey, oldEntry);
    }
    if (!previous.empty())
        MainWindow->OpenDatabase(previous);
}

// ---------------------------------------------------------------- write-off

void TForm5::PostWriteOffAct(const AnsiString& password)
{
    TADOQuery* q2 = MainWindow->ADOQuery2;
    OpenSql(q2, "Select * From Passwords");
    const AnsiString stored = q2->IsEmpty() ? AnsiString() : q2->FieldByName("Пароль")->AsString();
    if (q2->IsEmpty() || stored != password) {
        ShowMessage("Неверный пароль,проверьте раскладку клавиатуры");
        return;
    }
    const TPostResult result = PostWriteOff(q2, MainWindow->ADOQuery3, WriteOffAct);
    if (result.Status != TPostStatus::Posted) {
        ShowMessage(result.Message);
        return;
    }
    WriteOffPosted = true;
    Form3->Close();
    Close();
    // The stock changed: the grid first, so that nothing after the posting can leave it on
    // the figures from before.
    MainWindow->RefreshGoodsGrid();
    Form4->RadioButton10Click(nullptr);
    // The act's lines went with the posting; what is left of the scratch tables is emptied
    // before the next document anyway, so a failure here loses nothing.
    try {
        MainWindow->ClearTempDocumentTables();
    } catch (const std::exception&) {
    }
}
