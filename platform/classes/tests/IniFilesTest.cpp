// TIniFile and the registry stand-in.
#include "platform/classes/IniFiles.h"

#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { FName = CreateTempFile("", "ini"); }
    void TearDown() override { DeleteFile(FName); }
    AnsiString Raw() const
    {
        TFileStream f(FName, fmOpenRead);
        AnsiString s(static_cast<size_t>(f.GetSize()), '\0');
        f.ReadBuffer(s.data(), static_cast<int64_t>(s.size()));
        return s;
    }
    AnsiString FName;
};

TEST_F(IniFileTest, LastFileIsWrittenAtOnceAndReadBack)
{
    {
        TIniFile ini(FName);
        EXPECT_EQ(ini.ReadString("LASTFILE", "LastFile", ""), "");
        ini.WriteString("LASTFILE", "LastFile", "/home/user/Склад.kvb");
        // On disk already, before the object goes.
        EXPECT_NE(Raw().find(AnsiToUtf8("Склад.kvb")), AnsiString::npos);
    }
    TIniFile again(FName);
    EXPECT_EQ(again.ReadString("lastfile", "LASTFILE", "x"), "/home/user/Склад.kvb");
}

struct TypedCase {
    const char* why;
    const char* stored;
    int asInt;
    bool asBool;
};

TEST_F(IniFileTest, TypedReadsFallBackToTheDefault)
{
    const TypedCase cases[] = {
        {"decimal", "42", 42, true},
        {"negative", "-7", -7, true},
        {"hex with $", "$1F", 31, true},
        {"zero is false", "0", 0, false},
        {"garbage gives the default", "abc", 99, true},
        {"empty gives the default", "", 99, true},
    };
    TIniFile ini(FName);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        ini.WriteString("S", "K", c.stored);
        EXPECT_EQ(ini.ReadInteger("S", "K", 99), c.asInt);
        EXPECT_EQ(ini.ReadBool("S", "K", true), c.asBool);
    }
    ini.WriteBool("S", "B", false);
    EXPECT_EQ(ini.ReadString("S", "B", ""), "0");
    ini.WriteInteger("S", "I", 12);
    EXPECT_EQ(ini.ReadInteger("S", "I", 0), 12);
}

TEST_F(IniFileTest, SectionsKeysAndComments)
{
    {
        TFileStream f(FName, fmCreate);
        const AnsiString text = "; comment\r\n[One]\r\na=1\r\n\r\n[Two]\r\nb = 2\r\n";
        f.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    }
    TIniFile ini(FName);
    TStringList sections, keys;
    ini.ReadSections(sections);
    EXPECT_EQ(sections.CommaText(), "One,Two");
    EXPECT_EQ(ini.ReadString("Two", "b", ""), " 2");
    ini.WriteString("One", "c", "3");
    ini.ReadSection("One", keys);
    EXPECT_EQ(keys.CommaText(), "a,c");
    ini.EraseSection("two");
    EXPECT_FALSE(ini.SectionExists("Two"));
    ini.DeleteKey("One", "A");
    EXPECT_FALSE(ini.ValueExists("One", "a"));
    EXPECT_EQ(Raw().rfind("; comment\r\n", 0), 0u);
}

TEST_F(IniFileTest, ValuesWithLineBreaksStayOneLine)
{
    TIniFile ini(FName);
    ini.WriteString("S", "K", "a\r\n[Evil]\r\nx=1");
    TIniFile again(FName);
    EXPECT_FALSE(again.SectionExists("Evil"));
    EXPECT_EQ(again.ReadString("S", "K", "").find('\n'), AnsiString::npos);
}

TEST_F(IniFileTest, UnwritableFileIsAnError)
{
    // A path through a regular file cannot be created, not even by root.
    TIniFile ini(FName + "/sub/x.ini");
    EXPECT_EQ(ini.ReadString("S", "K", "d"), "d");
    EXPECT_THROW(ini.WriteString("S", "K", "v"), EIniFileException);
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FDir = IncludeTrailingPathDelimiter(GetTempDir()) + "skladreg" + IntToStr(static_cast<int64_t>(::getpid()));
        ForceDirectories(FDir);
        const char* old = std::getenv("XDG_CONFIG_HOME");
        FOld = old ? old : "";
        FHadOld = old != nullptr;
        ::setenv("XDG_CONFIG_HOME", PathToSystem(FDir).c_str(), 1);
    }
    void TearDown() override
    {
        DeleteFile(TRegistry::FileName());
        std::error_code ec;
        std::filesystem::remove_all(PathToSystem(FDir), ec);
        if (FHadOld)
            ::setenv("XDG_CONFIG_HOME", FOld.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
    AnsiString FDir, FOld;
    bool FHadOld = false;
};

TEST_F(RegistryTest, KeysLiveInAFileUnderTheConfigDirectory)
{
    EXPECT_EQ(TRegistry::FileName(), IncludeTrailingPathDelimiter(FDir) + "sklad/registry.ini");
    TRegistry r;
    EXPECT_FALSE(r.OpenKey("\\Software\\Report Library\\MRUFont", false));
    EXPECT_TRUE(r.OpenKey("\\Software\\Report Library\\MRUFont", true));
    r.WriteString("Font1", "Arial");
    r.WriteInteger("Count", 1);
    EXPECT_EQ(r.ReadString("font1"), "Arial");
    EXPECT_EQ(r.ReadInteger("Count"), 1);
    EXPECT_THROW(r.ReadInteger("Missing"), EIniFileException);
    EXPECT_TRUE(FileExists(TRegistry::FileName()));
    TRegistry other;
    EXPECT_TRUE(other.KeyExists("\\Software\\Report Library"));
    EXPECT_TRUE(other.OpenKey("Software\\Report Library", false));
    TStringList names;
    other.GetKeyNames(names);
    EXPECT_EQ(names.CommaText(), "MRUFont");
}

TEST_F(RegistryTest, RegistryIniFileMapsSectionsToSubKeys)
{
    TRegistryIniFile ini("\\Software\\Report Library");
    ini.WriteString("Form.TrpPreviewForm", "Width", "640");
    EXPECT_EQ(ini.ReadInteger("Form.TrpPreviewForm", "Width", 0), 640);
    TRegistry r;
    ASSERT_TRUE(r.OpenKey("\\Software\\Report Library\\Form.TrpPreviewForm", false));
    EXPECT_EQ(r.ReadString("Width"), "640");
    ini.EraseSection("Form.TrpPreviewForm");
    EXPECT_EQ(ini.ReadString("Form.TrpPreviewForm", "Width", "none"), "none");
}

}  // namespace
