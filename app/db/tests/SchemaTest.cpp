// The template warehouse: the 18 tables with their columns in the program's order, number and
// date types where the windows compute, Архив defaulting to 0, and the rows the program reads
// without checking.
#include "app/db/testing/WarehouseFixture.h"

#include "platform/db/Sqlite.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TableCase {
    const char* table;
    std::vector<const char*> columns;
};

const TableCase kTables[] = {
    {"Groups", {"ID", "NameGroup", "IDName"}},
    {"Products", {"ID", "№", "Наименование", "Марка", "Цвет", "Размеры", "Единица_измерения", "Имя_поставщика", "Цена",
                  "Минимум", "Максимум", "Группа", "Количество", "ПоставщикОстатка", "КоличествоОстатка", "V", "O"}},
    {"P", {"Название", "Адрес", "Рс", "Кс", "В", "БИК", "ИНН", "КПП", "ОКОНХ", "ОКПО", "Тел", "Директор"}},
    {"Owner", {"Название", "Адрес", "Рс", "Кс", "В", "БИК", "ИНН", "КПП", "ОКОНХ", "ОКПО", "Тел", "Директор"}},
    {"NDS", {"НДС"}},
    {"Passwords", {"Пароль"}},
    {"Name", {"Цвет", "Размеры"}},
    {"ColumnSize", {"ID", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}},
    {"Documents", {"ID", "Дата_создания", "№_заказа", "Тип_документа", "Вид_оплаты", "Имя_поставщика", "Через_кого", "Архив"}},
    {"StructureDocuments", {"IDДокумента", "IDТовара", "Количество", "Сумма", "Ставка", "Сумма_с_НДС", "Архив"}},
    {"Otpusk", {"ID", "Дата_создания", "Получатель", "Через_кого", "Заказчик", "№_заказа", "IDЗаявки", "Архив"}},
    {"StructureOtpusk", {"IDДокумента", "IDТовара", "Количество", "Сумма", "Ставка", "Сумма_с_НДС", "Архив"}},
    {"Application", {"ID", "Дата_создания", "Дата_сдачи", "Получатель", "Через_кого", "Отпуск_товара", "Заказчик",
                     "№_заказа", "Sort", "Архив"}},
    {"StructureApplication", {"IDДокумента", "IDТовара", "Количество", "Сумма", "Отпущено", "Архив"}},
    {"Akt", {"ID", "Дата_создания", "Причина", "Дата", "Архив"}},
    {"StructureAkt", {"IDДокумента", "IDТовара", "Количество", "Сумма", "Архив"}},
    {"TempStructureDocuments", {"ID", "Наименование", "Марка", "Цвет", "Размеры", "Единица_измерения", "Имя_поставщика",
                                "Цена", "Минимум", "Максимум", "Группа", "Количество", "Сумма", "Ставка", "Сумма_с_НДС",
                                "IDТовара"}},
    {"TempStructureOtpusk", {"ID", "IDТовара", "Количество", "Макс", "Сумма", "Ставка", "Сумма_с_НДС",
                             "IDСтрокиЗаявки"}},
};

struct Column {
    AnsiString name, type, defaultValue;
    bool primaryKey;
};

std::vector<Column> Columns(sqlite::Database& db, const AnsiString& table)
{
    std::vector<Column> out;
    sqlite::Statement st(db, AnsiToUtf8("PRAGMA table_info(\"" + table + "\")"), "");
    while (st.Step())
        out.push_back({st.ColumnText(1), st.ColumnText(2), st.ColumnText(4), st.ColumnInt64(5) != 0});
    return out;
}

class SchemaTest : public ::testing::Test {
protected:
    void SetUp() override { db.Open(TWarehouseFixture::TemplatePath(), sqlite::Database::Mode::ReadOnly); }
    sqlite::Database db;
};

TEST_F(SchemaTest, HasTheEighteenTablesWithTheirColumnsInOrder)
{
    ASSERT_EQ(std::size(kTables), 18u);
    for (const auto& t : kTables) {
        SCOPED_TRACE(t.table);
        const auto cols = Columns(db, t.table);
        ASSERT_EQ(cols.size(), t.columns.size());
        for (size_t i = 0; i < cols.size(); ++i)
            EXPECT_EQ(cols[i].name, t.columns[i]);
    }
    sqlite::Statement count(db, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'", "");
    ASSERT_TRUE(count.Step());
    EXPECT_EQ(count.ColumnInt64(0), 18);
}

struct TypeCase {
    const char* why;
    const char* table;
    const char* column;
    const char* type;
};

const TypeCase kTypes[] = {
    {"ids number themselves", "Products", "ID", "INTEGER"},
    {"quantities are numbers", "Products", "Количество", "REAL"},
    {"prices are numbers", "Products", "Цена", "REAL"},
    {"sums are numbers", "StructureDocuments", "Сумма_с_НДС", "REAL"},
    {"dates are dates", "Documents", "Дата_создания", "DATETIME"},
    {"due dates are dates", "Application", "Дата_сдачи", "DATETIME"},
    {"act dates are dates", "Akt", "Дата", "DATETIME"},
    {"the VAT rate is an integer", "NDS", "НДС", "INTEGER"},
    {"name flags are integers", "Name", "Цвет", "INTEGER"},
    {"widths are integers", "ColumnSize", "12", "INTEGER"},
    {"Sort counts minutes", "Application", "Sort", "INTEGER"},
    {"line links are integers", "StructureAkt", "IDТовара", "INTEGER"},
    {"names are text", "Products", "Наименование", "VARCHAR(255)"},
};

TEST_F(SchemaTest, ColumnTypes)
{
    for (const auto& c : kTypes) {
        SCOPED_TRACE(c.why);
        bool found = false;
        for (const Column& col : Columns(db, c.table))
            if (col.name == c.column) {
                found = true;
                EXPECT_EQ(col.type, c.type);
            }
        EXPECT_TRUE(found);
    }
}

TEST_F(SchemaTest, EveryArchiveFlagDefaultsToZero)
{
    int flags = 0;
    for (const auto& t : kTables)
        for (const Column& col : Columns(db, t.table))
            if (col.name == "Архив") {
                SCOPED_TRACE(t.table);
                EXPECT_EQ(col.defaultValue, "0");
                ++flags;
            }
    EXPECT_EQ(flags, 8);
}

TEST_F(SchemaTest, IdsAreAutoNumbers)
{
    for (const auto& t : kTables) {
        const auto cols = Columns(db, t.table);
        if (cols.empty() || cols[0].name != "ID" || std::string(t.table) == "ColumnSize")
            continue;
        SCOPED_TRACE(t.table);
        EXPECT_TRUE(cols[0].primaryKey);
        sqlite::Statement sql(db, AnsiToUtf8("SELECT sql FROM sqlite_master WHERE name='" + AnsiString(t.table) + "'"), "");
        ASSERT_TRUE(sql.Step());
        EXPECT_NE(sql.ColumnText(0).find("AUTOINCREMENT"), std::string::npos);
    }
}

struct RowCase {
    const char* why;
    const char* sql;
    long long expected;
};

const RowCase kRows[] = {
    {"one top-level group", "SELECT count(*) FROM Groups WHERE IDName=0", 1},
    {"no other group", "SELECT count(*) FROM Groups", 1},
    {"one VAT row", "SELECT count(*) FROM NDS", 1},
    {"the VAT rate", "SELECT НДС FROM NDS", 18},
    {"one Name row", "SELECT count(*) FROM Name", 1},
    {"name shows colour", "SELECT Цвет FROM Name", 1},
    {"name shows sizes", "SELECT Размеры FROM Name", 1},
    {"five width rows", "SELECT count(*) FROM ColumnSize", 5},
    {"the width ids", "SELECT sum(ID) FROM ColumnSize", 1 + 2 + 3 + 4 + 9},
    {"main grid article width", "SELECT \"0\" FROM ColumnSize WHERE ID=1", 46},
    {"main grid name width", "SELECT \"1\" FROM ColumnSize WHERE ID=1", 182},
    {"main grid group width", "SELECT \"9\" FROM ColumnSize WHERE ID=1", 78},
    {"report builder article width", "SELECT \"0\" FROM ColumnSize WHERE ID=9", 46},
    {"report builder name width", "SELECT \"1\" FROM ColumnSize WHERE ID=9", 182},
    {"report builder mark width", "SELECT \"6\" FROM ColumnSize WHERE ID=9", 24},
    {"every used width is set", "SELECT count(*) FROM ColumnSize WHERE \"12\" IS NULL", 0},
    {"no password", "SELECT count(*) FROM Passwords", 0},
    {"one empty owner row", "SELECT count(*) FROM Owner WHERE Название=''", 1},
    {"no goods", "SELECT count(*) FROM Products", 0},
    {"no documents", "SELECT count(*) FROM Documents", 0},
    {"warehouse mark", "PRAGMA application_id", 0x4B564231},
    {"schema version", "PRAGMA user_version", 2},
};

TEST_F(SchemaTest, TemplateRows)
{
    for (const auto& c : kRows) {
        SCOPED_TRACE(c.why);
        sqlite::Statement st(db, AnsiToUtf8(c.sql), c.sql);
        ASSERT_TRUE(st.Step());
        EXPECT_EQ(st.ColumnInt64(0), c.expected);
    }
}

TEST_F(SchemaTest, RollbackJournalNotWal)
{
    sqlite::Statement st(db, "PRAGMA journal_mode", "");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.ColumnText(0), "delete");
}

TEST(SchemaDefaults, InsertsThatNameFewColumnsGetNumbersAndZeroFlags)
{
    TWarehouseFixture w;
    const int64_t id = w.Exec("Insert Into Akt (Причина) Values (:r)", {"брак"});
    EXPECT_EQ(w.Scalar("Select Архив From Akt Where ID=:id", {id}).AsInt64(), 0);
    w.Exec("Insert Into StructureAkt (IDДокумента,IDТовара) Values (:d,:p)", {id, 1});
    EXPECT_EQ(w.Scalar("Select typeof(Количество) From StructureAkt").AsString(), "real");
    EXPECT_EQ(w.Scalar("Select Архив From StructureAkt").AsInt64(), 0);
}

struct RefusedValue {
    const char* why;
    const char* sql;
    Variant value;
};

TEST(SchemaChecks, NumberColumnsRefuseTextThatIsNoNumber)
{
    TWarehouseFixture w;
    const RefusedValue kCases[] = {
        {"a decimal comma", "Insert Into Products (Цена) Values (:v)", "12,5"},
        {"a date text in a date column", "Insert Into Akt (Дата) Values (:v)", "12.03.2024"},
        {"an empty quantity", "Insert Into Products (Количество) Values (:v)", ""},
        {"an archive flag of 2", "Insert Into Akt (Архив) Values (:v)", 2},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_THROW(w.Exec(c.sql, {c.value}), EDbError);
    }
    EXPECT_NO_THROW(w.Exec("Insert Into Products (Цена) Values (:v)", {"12.5"}));
    EXPECT_EQ(w.Scalar("Select typeof(Цена) From Products").AsString(), "real");
}

}  // namespace
