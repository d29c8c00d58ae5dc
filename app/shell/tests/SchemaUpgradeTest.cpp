// Opening a warehouse reads it and changes nothing; a file made by an older program gets the
// scratch columns it lacks once, in one transaction, and records its new version.
#include "app/shell/tests/ShellFixture.h"

#include "app/shell/Unit1.h"
#include "platform/db/Sqlite.h"
#include "platform/rtl/Cp1251.h"

#include <fstream>
#include <sstream>

namespace {

std::string ReadBytes(const AnsiString& path)
{
    std::ifstream in(PathToSystem(path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class SchemaUpgradeTest : public ShellTest {
protected:
    int64_t Version() { return w->Scalar("PRAGMA user_version").AsInt64(); }
    bool HasColumn(const char* table, const char* column)
    {
        return w->Scalar(AnsiString("Select Count(*) From pragma_table_info('") + table + "') Where name=:c",
                         {AnsiString(column)})
                   .AsInteger() == 1;
    }
    // Opens the warehouse again through the program; returns whether the file's bytes stayed.
    bool ReopenLeavesTheFileAsItWas()
    {
        const std::string before = ReadBytes(w->Path());
        d->Run([this] { Form1->OpenDatabase(w->Path()); });
        EXPECT_EQ(Form1->DatabasePath(), w->Path());
        return ReadBytes(w->Path()) == before;
    }
};

TEST_F(SchemaUpgradeTest, AnOlderFileIsUpgradedOnceAndNeverAgain)
{
    struct TOld {
        const char* Why;
        const char* Sql;  // what makes the fixture's file look like the older one
    };
    const TOld olds[] = {
        {"this version", ""},
        {"a file of version 1 with the product column",
         "Drop Table TempStructureOtpusk; Create Table TempStructureOtpusk (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
         "IDТовара INTEGER, Количество REAL, Макс REAL, Сумма REAL, Ставка REAL, Сумма_с_НДС REAL); "
         "PRAGMA user_version=1"},
        {"a file of version 1 without it",
         "Drop Table TempStructureOtpusk; Create Table TempStructureOtpusk (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
         "IDТовара INTEGER, Количество REAL, Макс REAL, Сумма REAL, Ставка REAL, Сумма_с_НДС REAL); "
         "Drop Table TempStructureDocuments; Create Table TempStructureDocuments (ID INTEGER PRIMARY KEY "
         "AUTOINCREMENT, Наименование VARCHAR(255), Марка VARCHAR(100), Цвет VARCHAR(50), Размеры VARCHAR(50), "
         "Единица_измерения VARCHAR(50), Имя_поставщика VARCHAR(255), Цена REAL, Минимум REAL, Максимум REAL, "
         "Группа VARCHAR(255), Количество REAL, Сумма REAL, Ставка REAL, Сумма_с_НДС REAL); "
         "PRAGMA user_version=1"},
    };
    for (const TOld& old : olds) {
        SCOPED_TRACE(old.Why);
        TearDown();  // a fresh program on a fresh file for each
        SetUp();
        w->SetPassword("1");
        w->AddProduct(Product("Болт", "Склад", 3, 2));
        if (*old.Sql) {
            sqlite::Database db;
            db.OpenWarehouse(w->Path(), false);
            db.Exec(old.Sql);
        }
        const std::string before = ReadBytes(w->Path());
        Remember(w->Path());
        ASSERT_TRUE(Start());
        ASSERT_EQ(Form1->DatabasePath(), w->Path());
        EXPECT_EQ(Version(), 2);
        EXPECT_TRUE(HasColumn("TempStructureDocuments", "IDТовара"));
        EXPECT_TRUE(HasColumn("TempStructureOtpusk", "IDСтрокиЗаявки"));
        if (!*old.Sql) {
            EXPECT_EQ(ReadBytes(w->Path()), before) << "a file of this version is only read";
        }
        EXPECT_TRUE(ReopenLeavesTheFileAsItWas());
        EXPECT_EQ(w->Scalar("Select Количество From Products").AsDouble(), 3) << "the stock is untouched";
    }
}

// An older file another program is writing cannot take its new columns now: it is refused by
// name, the open warehouse stays, and the file is upgraded once it is free.
TEST_F(SchemaUpgradeTest, AnOlderFileThatCannotBeUpgradedNowIsRefused)
{
    StartOnWarehouse();
    const AnsiString old = w->Dir() + "старый.kvb";
    CopyFile(w->Path(), old, false);
    {
        sqlite::Database db;
        db.OpenWarehouse(old, false);
        db.Exec("Drop Table TempStructureOtpusk; Create Table TempStructureOtpusk (ID INTEGER PRIMARY KEY "
                "AUTOINCREMENT, IDТовара INTEGER, Количество REAL, Макс REAL, Сумма REAL, Ставка REAL, "
                "Сумма_с_НДС REAL); PRAGMA user_version=1");
    }
    const std::string before = ReadBytes(old);
    const int timeout = Form1->ADOConnection1->GetBusyTimeout();
    Form1->ADOConnection1->SetBusyTimeout(50);
    {
        sqlite::Database writer;
        writer.OpenWarehouse(old, false);
        writer.Exec("BEGIN IMMEDIATE");
        d->ClearMessages();
        d->Run([&] { Form1->OpenDatabase(old); });
        writer.Exec("ROLLBACK");
    }
    Form1->ADOConnection1->SetBusyTimeout(timeout);
    EXPECT_EQ(Form1->DatabasePath(), w->Path()) << "the open warehouse is kept";
    ASSERT_EQ(d->MessageTexts().size(), 1u);
    EXPECT_NE(d->MessageTexts()[0].find("Файл склада " + old + " занят другой программой"), AnsiString::npos)
        << d->MessageTexts()[0];
    EXPECT_EQ(ReadBytes(old), before);

    d->ClearMessages();
    d->Run([&] { Form1->OpenDatabase(old); });
    EXPECT_EQ(Form1->DatabasePath(), old);
    EXPECT_EQ(d->MessageTexts(), std::vector<AnsiString>{});
    sqlite::Database db;
    db.OpenWarehouse(old, true);
    sqlite::Statement version(db, "PRAGMA user_version", "PRAGMA user_version");
    ASSERT_TRUE(version.Step());
    EXPECT_EQ(version.ColumnInt64(0), 2);
}

}  // namespace
