#include "platform/db/Sqlite.h"

#include "platform/db/DbFaults.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/Math.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

struct TempDir {
    fs::path Path;
    TempDir()
    {
        char tmpl[] = "/tmp/sklad_db_XXXXXX";
        Path = ::mkdtemp(tmpl);
    }
    ~TempDir() { fs::remove_all(Path); }
    std::string File(const char* name) const { return (Path / name).string(); }
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

int Compare(sqlite::Database& db, const char* a, const char* b)
{
    sqlite::Statement st(db, "SELECT CASE WHEN ?1 = ?2 COLLATE RUNOCASE THEN 0 WHEN ?1 < ?2 COLLATE RUNOCASE THEN -1 ELSE 1 END", "");
    st.BindText(1, a);
    st.BindText(2, b);
    EXPECT_TRUE(st.Step());
    return static_cast<int>(st.ColumnInt64(0));
}

struct CollationCase {
    const char* why;
    const char* a;
    const char* b;
    int expected;
};

const CollationCase kCollation[] = {
    {"Cyrillic ignores case", "склад", "СКЛАД", 0},
    {"mixed case Cyrillic", "Склад", "сКЛАД", 0},
    {"Latin ignores case", "Box", "BOX", 0},
    {"Ё equals ё", "ЁЛКА", "ёлка", 0},
    {"Ё sorts after Е", "Ёж", "Еж", 1},
    {"Ё sorts before Ж", "Ёж", "Жук", -1},
    {"Я sorts last of the alphabet", "Яблоко", "ящик", -1},
    {"а before б whatever the case", "а", "Б", -1},
    {"Latin before Cyrillic", "Zebra", "Арбуз", -1},
    {"digits before letters", "9", "A", -1},
    {"a prefix sorts first", "Склад", "Складской", -1},
    {"different words differ", "болт", "гайка", -1},
};

TEST(SqliteCollation, ComparesIgnoringCaseInRussianOrder)
{
    TempDir dir;
    sqlite::Database db;
    db.Open(dir.File("c.db"), sqlite::Database::Mode::Create);
    for (const auto& c : kCollation) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Compare(db, c.a, c.b), c.expected);
        EXPECT_EQ(Compare(db, c.b, c.a), -c.expected);
    }
}

// RoundTo in a statement is the program's RoundTo: halves to the even neighbour of the
// extended quotient, where SQLite's Round takes them away from zero (0.125 gives 0.13 there).
TEST(SqliteFunctions, RoundToRoundsAsTheProgramDoes)
{
    TempDir dir;
    sqlite::Database db;
    db.Open(dir.File("r.db"), sqlite::Database::Mode::Create);
    const auto round = [&](double x, int digit) {
        sqlite::Statement st(db, "SELECT RoundTo(?1, ?2)", "");
        st.BindDouble(1, x);
        st.BindInt64(2, digit);
        EXPECT_TRUE(st.Step());
        return st.ColumnDouble(0);
    };
    const struct {
        const char* why;
        double x;
        int digit;
    } cases[] = {
        {"a half cent below an even cent", 0.125, -2},
        {"a half cent above an even cent", 0.375, -2},
        {"negative", -0.625, -2},
        {"no tie", 2.675, -2},
        {"large", 1234567890.125, -2},
        {"beyond what cents hold", 1e20, -2},
        {"to whole units", 2.5, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(round(c.x, c.digit), RoundTo(c.x, c.digit));
    }
    EXPECT_EQ(round(0.125, -2), 0.12);
    sqlite::Statement null(db, "SELECT RoundTo(NULL, -2) IS NULL", "");
    ASSERT_TRUE(null.Step());
    EXPECT_EQ(null.ColumnInt64(0), 1) << "Null stays Null";
}

TEST(SqliteStatement, TextCrossesAsUtf8AndComesBackAsCp1251)
{
    TempDir dir;
    sqlite::Database db;
    db.Open(dir.File("t.db"), sqlite::Database::Mode::Create);
    db.Exec("CREATE TABLE T (Имя TEXT)");
    sqlite::Statement ins(db, "INSERT INTO T VALUES (?)", "");
    ins.BindText(1, "Гайка М6 «особая» №5");
    EXPECT_FALSE(ins.Step());
    // Stored bytes are UTF-8: SQLite's own length() counts characters.
    sqlite::Statement len(db, AnsiToUtf8("SELECT length(Имя), Имя FROM T"), "");
    ASSERT_TRUE(len.Step());
    EXPECT_EQ(len.ColumnInt64(0), 20);
    EXPECT_EQ(len.ColumnText(1), "Гайка М6 «особая» №5");
    EXPECT_EQ(len.ColumnName(0), "length(Имя)");
}

TEST(SqliteStatement, ErrorsCarrySqliteMessageAndStatement)
{
    TempDir dir;
    sqlite::Database db;
    db.Open(dir.File("e.db"), sqlite::Database::Mode::Create);
    try {
        db.Exec("Select * From Нет");
        FAIL() << "no error";
    } catch (const EDbError& e) {
        EXPECT_EQ(e.Id(), TDbMessage::StatementFailed);
        const std::string msg = e.Message();
        EXPECT_NE(msg.find("no such table"), std::string::npos) << msg;
        EXPECT_NE(msg.find("Select * From Нет"), std::string::npos) << msg;
    }
}

struct RefusalCase {
    const char* why;
    std::string bytes;
    TDbMessage expected;
};

TEST(SqliteWarehouse, RefusesFilesThatAreNotWarehousesAndWritesNothing)
{
    TempDir dir;
    // A real SQLite file of another program.
    const std::string foreign = dir.File("foreign.db");
    {
        sqlite::Database db;
        db.Open(foreign, sqlite::Database::Mode::Create);
        db.Exec("CREATE TABLE X (a); PRAGMA application_id=7");
    }
    std::string header16("SQLite format 3\0", 16);
    const RefusalCase kCases[] = {
        {"an empty file", "", TDbMessage::NotADatabase},
        {"a text file", "Склад 1\nтовары\n", TDbMessage::NotADatabase},
        {"random bytes", std::string(4096, '\x5a'), TDbMessage::NotADatabase},
        {"the SQLite magic alone", header16, TDbMessage::NotADatabase},
        {"another program's database", ReadAll(foreign), TDbMessage::ForeignDatabase},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        const std::string path = dir.File("case.kvb");
        WriteAll(path, c.bytes);
        sqlite::Database db;
        try {
            db.OpenWarehouse(path, false, 50);
            ADD_FAILURE() << "accepted";
        } catch (const EDbError& e) {
            EXPECT_EQ(e.Id(), c.expected) << e.Message();
        }
        EXPECT_FALSE(db.IsOpen());
        EXPECT_EQ(ReadAll(path), c.bytes);
        EXPECT_FALSE(fs::exists(path + "-journal"));
    }
}

TEST(SqliteWarehouse, MissingFileIsNotCreated)
{
    TempDir dir;
    const std::string path = dir.File("none.kvb");
    sqlite::Database db;
    try {
        db.OpenWarehouse(path, false);
        FAIL();
    } catch (const EDbError& e) {
        EXPECT_EQ(e.Id(), TDbMessage::FileMissing);
    }
    EXPECT_FALSE(fs::exists(path));
}

TEST(SqliteWarehouse, WarehouseWithoutItsTablesIsRefused)
{
    TempDir dir;
    const std::string path = dir.File("half.kvb");
    {
        sqlite::Database db;
        db.Open(path, sqlite::Database::Mode::Create);
        db.Exec("PRAGMA application_id=1263944241; CREATE TABLE Groups (ID INTEGER)");
    }
    sqlite::Database db;
    try {
        db.OpenWarehouse(path, false);
        FAIL();
    } catch (const EDbError& e) {
        EXPECT_EQ(e.Id(), TDbMessage::MissingTable);
        EXPECT_NE(e.Message().find("Products"), std::string::npos);
    }
}

TEST(DbFaultsTest, FailsTheNthCountedStatementOnly)
{
    DbFaults::FailStatement(2);
    EXPECT_NO_THROW(DbFaults::BeforeStatement());
    EXPECT_THROW(DbFaults::BeforeStatement(), EDbError);
    EXPECT_NO_THROW(DbFaults::BeforeStatement());
    DbFaults::Clear();
    EXPECT_NO_THROW(DbFaults::BeforeStatement());
}

}  // namespace
