// Damaged warehouse files: each is refused with a message that names it, the file is left as
// it was, and the warehouse that was open stays open. The damaged copies are made here from
// the template and from the demo warehouse.
#include "app/shell/tests/ShellFixture.h"

#include "app/shell/Unit1.h"
#include "platform/db/ADODB.h"
#include "platform/db/DbFaults.h"
#include "platform/db/Sqlite.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Cp1251.h"

#include <fstream>
#include <functional>
#include <random>
#include <sstream>

namespace {

std::string ReadBytes(const AnsiString& path)
{
    std::ifstream in(PathToSystem(path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const AnsiString& path, const std::string& bytes)
{
    std::ofstream(PathToSystem(path), std::ios::binary | std::ios::trunc) << bytes;
}

size_t PageSize(const std::string& file)
{
    const size_t size = (static_cast<unsigned char>(file[16]) << 8) | static_cast<unsigned char>(file[17]);
    return size == 1 ? 65536 : size;
}

// Pages (from 2 on) that begin like a b-tree page: interior or leaf, table or index.
std::vector<size_t> BtreePages(const std::string& file)
{
    std::vector<size_t> pages;
    const size_t pageSize = PageSize(file);
    for (size_t p = 2; p * pageSize <= file.size(); ++p) {
        const unsigned char type = static_cast<unsigned char>(file[(p - 1) * pageSize]);
        if (type == 2 || type == 5 || type == 10 || type == 13)
            pages.push_back(p);
    }
    return pages;
}

struct TDamage {
    std::string Why;
    std::function<void(std::string&)> Apply;
};

// Damage that is always found: every page that holds a table or an index zeroed, or given a
// page type that does not exist; the file cut to half its length or by a few bytes.
std::vector<TDamage> CertainDamage(const std::string& good)
{
    std::vector<TDamage> damage;
    const size_t pageSize = PageSize(good);
    damage.push_back({"cut to half its length", [](std::string& f) { f.resize(f.size() / 2); }});
    // A few bytes off the end: SQLite alone reads the short page with zeros in their place.
    for (size_t cut : {size_t(1), size_t(3), pageSize - 1, pageSize})
        damage.push_back({"cut by " + std::to_string(cut) + " bytes", [cut](std::string& f) { f.resize(f.size() - cut); }});
    for (size_t page : BtreePages(good)) {
        const size_t at = (page - 1) * pageSize;
        damage.push_back({"page " + std::to_string(page) + " zeroed",
                          [at, pageSize](std::string& f) { std::fill_n(f.begin() + at, pageSize, '\0'); }});
        damage.push_back({"page " + std::to_string(page) + " of an unknown type",
                          [at](std::string& f) { f[at] = '\x07'; }});
    }
    return damage;
}

class DamagedWarehouseTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        StartOnWarehouse();
        FCaption = Form1->GetCaption();
        FGoods = Form1->ADOQuery1->RecordCount();
        FRoot = Form1->TreeView1->GetItems()->GetFirstNode()->GetText();
    }

    // The warehouse of the fixture is still open and shown as before.
    void ExpectTheOpenWarehouseKept()
    {
        EXPECT_TRUE(Form1->DatabaseOpen());
        EXPECT_EQ(Form1->DatabasePath(), w->Path());
        EXPECT_EQ(Form1->GetCaption(), FCaption);
        EXPECT_EQ(Form1->ADOQuery1->RecordCount(), FGoods);
        ASSERT_NE(Form1->TreeView1->GetItems()->GetFirstNode(), nullptr);
        EXPECT_EQ(Form1->TreeView1->GetItems()->GetFirstNode()->GetText(), FRoot);
    }

    // Opens the file through the program's own command; returns the messages shown.
    std::vector<AnsiString> Open(const AnsiString& path)
    {
        d->ClearMessages();
        d->AnswerFileDialog(path);
        d->Run([&] { d->Click(Form1->Button1); });
        return d->MessageTexts();
    }

    AnsiString FCaption;
    int FGoods = 0;
    AnsiString FRoot;
};

TEST_F(DamagedWarehouseTest, EveryCertainlyDamagedCopyIsRefusedByNameAndChangesNothing)
{
    struct TSource { const char* why; AnsiString path; };
    const TSource sources[] = {
        {"the template", TWarehouseFixture::TemplatePath()},
        {"the demo warehouse", MakeDemoWarehouse(w->Dir())},
    };
    const AnsiString damaged = w->Dir() + "повреждённый склад.kvb";
    for (const TSource& source : sources) {
        const std::string good = ReadBytes(source.path);
        const std::vector<TDamage> damage = CertainDamage(good);
        ASSERT_GT(damage.size(), 10u) << source.why;
        for (const TDamage& dmg : damage) {
            SCOPED_TRACE(std::string(source.why) + ": " + dmg.Why);
            std::string bytes = good;
            dmg.Apply(bytes);
            WriteBytes(damaged, bytes);
            const std::vector<AnsiString> shown = Open(damaged);
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_NE(shown[0].find("Файл склада " + damaged + " повреждён"), AnsiString::npos) << shown[0];
            EXPECT_NE(shown[0].find("Работа продолжается с прежним складом"), AnsiString::npos);
            ExpectTheOpenWarehouseKept();
            EXPECT_EQ(ReadBytes(damaged), bytes) << "a refused file is not written";
        }
    }
}

// Random byte damage may hit a value and leave a file SQLite cannot tell from a good one;
// such a file may open, but then every row of every table reads. A file that does not read
// whole is refused and the open warehouse stays.
TEST_F(DamagedWarehouseTest, ARandomlyDamagedCopyEitherReadsWholeOrIsRefused)
{
    const std::string good = ReadBytes(MakeDemoWarehouse(w->Dir()));
    const AnsiString damaged = w->Dir() + "flipped.kvb";
    std::mt19937 random(20261207);
    int refused = 0;
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::string bytes = good;
        for (int i = 0; i < 24; ++i)
            bytes[100 + random() % (bytes.size() - 100)] ^= static_cast<char>(1 + random() % 255);
        WriteBytes(damaged, bytes);
        const std::vector<AnsiString> shown = Open(damaged);
        if (Form1->DatabasePath() == damaged) {
            EXPECT_TRUE(shown.empty() || shown[0].find("не связанные") != AnsiString::npos);
            for (const AnsiString& table : sqlite::WarehouseTables()) {
                TADOQuery q(nullptr);
                q.SetConnection(Form1->ADOConnection1);
                q.GetSQL()->SetText("Select * From " + table);
                EXPECT_NO_THROW({
                    q.Open();
                    for (q.First(); !q.Eof(); q.Next())
                        for (int f = 0; f < q.FieldCount(); ++f)
                            q.Fields()[f]->AsString();
                }) << table;
            }
            d->ClearMessages();
            ASSERT_EQ(Open(w->Path()), std::vector<AnsiString>{});
        } else {
            ++refused;
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_NE(shown[0].find(damaged), AnsiString::npos) << shown[0];
            ExpectTheOpenWarehouseKept();
        }
    }
    EXPECT_GT(refused, 30);
}

// An index that no longer agrees with its table reads without an error, but lists and lookups
// through it are wrong (a group that holds goods shows none and may be deleted). One letter
// changed inside an index makes the file damaged like any other.
TEST_F(DamagedWarehouseTest, AFileWhoseIndexDisagreesWithItsTableIsRefused)
{
    TWarehouseFixture other;
    other.SetPassword("2");
    other.AddGroup("Краски", other.RootGroupId());
    other.AddProduct(Product("Эмаль", "Краски", 5, 100));
    const std::string good = ReadBytes(other.Path());
    const size_t pageSize = PageSize(good);
    const auto rootPage = [&](const char* index) {
        sqlite::Database db;
        db.OpenWarehouse(other.Path(), true);
        sqlite::Statement st(db, AnsiToUtf8("Select rootpage From sqlite_master Where type='index' And name=?"), "root");
        st.BindText(1, index);
        return st.Step() ? size_t(st.ColumnInt64(0)) : size_t(0);
    };
    struct TCase {
        const char* Index;
        const char* Text;  // a value in the index; its third letter 'а' becomes 'б'
    };
    const TCase cases[] = {
        {"Products_Группа", "Краски"},
        {"Products_Наименование", "Эмаль"},
        {"Groups_NameGroup", "Краски"},
    };
    const AnsiString damaged = w->Dir() + "индекс.kvb";
    ASSERT_EQ(Open(other.Path()), std::vector<AnsiString>{}) << "the undamaged copy opens";
    ASSERT_EQ(Open(w->Path()), std::vector<AnsiString>{});
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Index);
        const size_t page = rootPage(c.Index);
        ASSERT_GT(page, 1u);
        const size_t at = good.find(AnsiToUtf8(c.Text), (page - 1) * pageSize);
        ASSERT_LT(at, page * pageSize) << "the value lies in the index page";
        std::string bytes = good;
        bytes[at + 5] ^= 1;  // "а" is D0 B0, "б" is D0 B1
        WriteBytes(damaged, bytes);
        const std::vector<AnsiString> shown = Open(damaged);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].find("Файл склада " + damaged + " повреждён"), AnsiString::npos) << shown[0];
        ExpectTheOpenWarehouseKept();
        EXPECT_EQ(ReadBytes(damaged), bytes) << "a refused file is not written";
    }
}

// A warehouse-marked file whose table lacks a column the program names (another program's
// table of that name, or one a tool changed) is refused when it is opened, not half-way through
// a document or a report. Every column of every table, one at a time, renamed away.
TEST_F(DamagedWarehouseTest, AFileWhoseTableLacksAColumnIsRefusedByName)
{
    TWarehouseFixture other;
    other.SetPassword("2");
    const AnsiString foreign = w->Dir() + "чужой склад.kvb";
    int cases = 0;
    for (const sqlite::TWarehouseTable& table : sqlite::WarehouseColumns())
        for (const AnsiString& column : table.Columns) {
            SCOPED_TRACE(std::string(table.Name) + "." + std::string(column));
            const auto rename = [&](const AnsiString& from, const AnsiString& to) {
                other.Exec("Alter Table " + table.Name + " Rename Column \"" + from + "\" To \"" + to + "\"");
            };
            rename(column, column + "_старый");
            const std::string bytes = ReadBytes(other.Path());
            rename(column + "_старый", column);
            WriteBytes(foreign, bytes);
            const std::vector<AnsiString> shown = Open(foreign);
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_NE(shown[0].find("в таблице " + table.Name + " нет столбца " + column), AnsiString::npos)
                << shown[0];
            EXPECT_NE(shown[0].find("Работа продолжается с прежним складом"), AnsiString::npos);
            ExpectTheOpenWarehouseKept();
            EXPECT_EQ(ReadBytes(foreign), bytes) << "a refused file is not written";
            ++cases;
        }
    EXPECT_GT(cases, 100);
    WriteBytes(foreign, ReadBytes(other.Path()));
    EXPECT_EQ(Open(foreign), std::vector<AnsiString>{}) << "the copy with every column opens";
}

// Names are compared as SQLite compares them: a column or table spelled with other Latin
// capitals is the same one and opens; other Cyrillic capitals make another name, which the
// program's statements would not find, and a view in a table's place cannot be written.
TEST_F(DamagedWarehouseTest, NamesDifferingInLatinCaseOpenOthersAreRefused)
{
    struct TCase {
        const char* why;
        std::vector<const char*> change;
        const char* refusal;  // a part of the message shown, or nullptr when the file opens
    } const cases[] = {
        {"Latin capitals of a column", {"Alter Table Groups Rename Column NameGroup To NAMEGROUP"}, nullptr},
        {"Latin capitals of a table and its id",
         {"Alter Table Products Rename To PRODUCTS_", "Alter Table PRODUCTS_ Rename To products",
          "Alter Table products Rename Column ID To id"},
         nullptr},
        {"Cyrillic capitals of a column", {"Alter Table Products Rename Column Наименование To НАИМЕНОВАНИЕ"},
         "в таблице Products нет столбца Наименование"},
        {"a view in a table's place",
         {"Alter Table Name Rename To NameRows", "Create View Name As Select * From NameRows"},
         "в нём нет таблицы Name"},
    };
    const AnsiString changed = w->Dir() + "другой склад.kvb";
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        {
            TWarehouseFixture other;
            other.SetPassword("2");
            for (const char* sql : c.change)
                other.Exec(sql);
            WriteBytes(changed, ReadBytes(other.Path()));
        }
        const std::vector<AnsiString> shown = Open(changed);
        if (!c.refusal) {
            EXPECT_EQ(shown, std::vector<AnsiString>{});
            EXPECT_EQ(Form1->DatabasePath(), changed);
            EXPECT_NE(Form1->TreeView1->GetItems()->GetFirstNode(), nullptr) << "the groups were read";
            Open(w->Path());
            continue;
        }
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].find(c.refusal), AnsiString::npos) << shown[0];
        ExpectTheOpenWarehouseKept();
    }
}

TEST_F(DamagedWarehouseTest, AFailureAfterTheSwitchGoesBackToTheWarehouseThatWasOpen)
{
    TWarehouseFixture other;
    other.SetPassword("2");
    // Each statement of opening the other warehouse fails in turn: whichever it is, the
    // program goes back to the warehouse it had and says why.
    int failures = 0;
    for (int failAt = 1; failAt <= 8; ++failAt) {
        SCOPED_TRACE("statement " + std::to_string(failAt));
        DbFaults::FailStatement(failAt);
        const std::vector<AnsiString> shown = Open(other.Path());
        DbFaults::Clear();
        if (Form1->DatabasePath() == other.Path()) {
            EXPECT_TRUE(shown.empty());
            ASSERT_EQ(Open(w->Path()), std::vector<AnsiString>{});
            continue;
        }
        ++failures;
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].find("Склад " + other.Path() + " не открыт"), AnsiString::npos) << shown[0];
        EXPECT_NE(shown[0].find("Работа продолжается с прежним складом"), AnsiString::npos);
        ExpectTheOpenWarehouseKept();
        EXPECT_EQ(IniText().find(other.Path()), AnsiString::npos);
    }
    EXPECT_GE(failures, 2);
}

}  // namespace
