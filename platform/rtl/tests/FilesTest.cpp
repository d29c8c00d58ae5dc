#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace {

TEST(Files, NameParts)
{
    struct Row { const char* why; const char* name; const char* path; const char* file; const char* ext; const char* dir; };
    const Row rows[] = {
        {"unix path", "/home/склад/New.kvb", "/home/склад/", "New.kvb", ".kvb", "/home/склад"},
        {"windows delimiters", "C:\\Склад\\New\\New.kvb", "C:\\Склад\\New\\", "New.kvb", ".kvb", "C:\\Склад\\New"},
        {"no directory", "sklad.ini", "", "sklad.ini", ".ini", ""},
        {"no extension", "/tmp/README", "/tmp/", "README", "", "/tmp"},
        {"dot in a directory only", "/a.b/c", "/a.b/", "c", "", "/a.b"},
        {"root", "/x", "/", "x", "", "/"},
        {"two dots", "report.2024.rpf", "", "report.2024.rpf", ".rpf", ""},
        {"empty", "", "", "", "", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(ExtractFilePath(r.name), r.path);
        EXPECT_EQ(ExtractFileName(r.name), r.file);
        EXPECT_EQ(ExtractFileExt(r.name), r.ext);
        EXPECT_EQ(ExtractFileDir(r.name), r.dir);
    }
    EXPECT_EQ(ChangeFileExt("/a.b/report.xml", ".rpf"), "/a.b/report.rpf");
    EXPECT_EQ(ChangeFileExt("/a.b/report", ".rpf"), "/a.b/report.rpf");
    EXPECT_EQ(ChangeFileExt("склад.kvb", ""), "склад");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp"), "/tmp/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp/"), "/tmp/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/tmp/"), "/tmp");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
    EXPECT_TRUE(IsPathDelimiter("a\\b", 2));
    EXPECT_FALSE(IsPathDelimiter("a\\b", 9));
}

// A scratch directory with a Cyrillic name, removed afterwards.
class FilesOnDisk : public testing::Test {
protected:
    void SetUp() override
    {
        FRoot = GetTempDir() + "rtl-files-" + IntToStr(getpid()) + "/Склад/";
        ASSERT_TRUE(ForceDirectories(FRoot + "Вложенная/Папка"));
    }
    void TearDown() override
    {
        DeleteFile(FRoot + "Вложенная/Папка/файл.txt");
        DeleteFile(FRoot + "новый.txt");
        DeleteFile(FRoot + "копия.txt");
        RemoveDir(FRoot + "Вложенная/Папка");
        RemoveDir(FRoot + "Вложенная");
        RemoveDir(FRoot);
        RemoveDir(ExtractFileDir(ExcludeTrailingPathDelimiter(FRoot)));
    }
    AnsiString FRoot;
};

TEST_F(FilesOnDisk, CyrillicNamesReachTheDiskAsUtf8)
{
    const AnsiString file = FRoot + "Вложенная/Папка/файл.txt";
    {
        std::ofstream out(PathToSystem(file));
        out << "abc";
    }
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_TRUE(DirectoryExists(FRoot + "Вложенная"));
    EXPECT_FALSE(FileExists(FRoot + "Вложенная"));
    EXPECT_EQ(FileSize(file), 3);
    EXPECT_EQ(PathToSystem("Склад"), "\xD0\xA1\xD0\xBA\xD0\xBB\xD0\xB0\xD0\xB4");

    EXPECT_TRUE(CopyFile(file, FRoot + "копия.txt", true));
    EXPECT_FALSE(CopyFile(file, FRoot + "копия.txt", true));  // refuses to overwrite
    EXPECT_TRUE(RenameFile(file, FRoot + "новый.txt"));
    EXPECT_FALSE(FileExists(file));
    EXPECT_FALSE(RenameFile(FRoot + "копия.txt", FRoot + "новый.txt"));  // target exists
    EXPECT_TRUE(DeleteFile(FRoot + "новый.txt"));
    EXPECT_FALSE(DeleteFile(FRoot + "новый.txt"));
    EXPECT_EQ(FileSize(FRoot + "новый.txt"), -1);
}

TEST_F(FilesOnDisk, WindowsDelimitersWork)
{
    AnsiString winStyle = StringReplace(FRoot, "/", "\\", rfReplaceAll) + "Вложенная\\Папка";
    EXPECT_TRUE(DirectoryExists(winStyle));
}

}  // namespace
