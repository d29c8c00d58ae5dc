// Ending the process at once (Halt, the services' ExitProcess) loses nothing that was
// written before: ini files, file streams and C streams are on disk, and committed
// database rows are in the file; a transaction still open is rolled back when the file
// is next opened, so the file holds all of it or none of it.
#include "platform/gui/Services.h"

#include "platform/classes/IniFiles.h"
#include "platform/classes/Streams.h"
#include "platform/db/Sqlite.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/stat.h>

namespace {

// A fixed folder: a death test's child may run the test body again from its start.
std::string TempDir()
{
    const std::string dir = ::testing::TempDir() + "sklad-exit-test/";
    ::mkdir(dir.c_str(), 0777);
    for (const char* name : {"sklad.ini", "stream.bin", "log.txt", "store.kvb", "store.kvb-journal"})
        std::remove((dir + name).c_str());
    return dir;
}

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ExitProcessNowDeathTest, WritesMadeBeforeTheExitAreKeptAndOpenTransactionsAreNot)
{
    const std::string dir = TempDir();
    const AnsiString ini = dir + "sklad.ini";
    const AnsiString stream = dir + "stream.bin";
    const std::string log = dir + "log.txt";
    const AnsiString db = dir + "store.kvb";

    EXPECT_EXIT(
        {
            TIniFile(ini).WriteString("Files", "Last", "/home/user/Склад.kvb");
            TFileStream file(stream, fmCreate);
            file.WriteBuffer("0123", 4);
            std::FILE* f = std::fopen(log.c_str(), "w");
            std::fputs("buffered, never closed", f);
            sqlite::Database base;
            base.Open(db, sqlite::Database::Mode::Create);
            base.Exec("CREATE TABLE Goods(Name TEXT); INSERT INTO Goods VALUES('Гвозди')");
            base.Exec("BEGIN IMMEDIATE; INSERT INTO Goods VALUES('Шурупы'); DELETE FROM Goods WHERE Name='Гвозди'");
            ExitProcessNow(7);
        },
        ::testing::ExitedWithCode(7), "");

    EXPECT_EQ(TIniFile(ini).ReadString("Files", "Last", ""), "/home/user/Склад.kvb");
    EXPECT_EQ(Slurp(stream), "0123");
    EXPECT_EQ(Slurp(log), "buffered, never closed") << "C streams are flushed before the end";
    sqlite::Database base;
    base.Open(db, sqlite::Database::Mode::ReadWrite);
    sqlite::Statement rows(base, "SELECT group_concat(Name) FROM Goods", "SELECT");
    ASSERT_TRUE(rows.Step());
    EXPECT_EQ(rows.ColumnText(0), "Гвозди") << "the committed row is there, the open transaction is not";
}

}  // namespace
