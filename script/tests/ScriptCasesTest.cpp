// The script cases: small programs with their expectations inside, one folder
// per syntax under cases/, and the programs that once crashed under regress/.
//
//   <comment> expect: <output line>                 a line Print wrote, in order
//   <comment> expect compile error <L:C>: <text>    the first compile error
//   <comment> expect runtime error line <N>: <text> the error that left Execute
//
// Files are UTF-8 on disk; they are read into CP1251 like any script text.
#include "script/tests/CompilerFixture.h"

#include "platform/rtl/Cp1251.h"
#include "platform/rtl/testing/DecimalCommaLocale.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

struct CaseFile {
    std::string path;
    AnsiString language;
    AnsiString comment;
};

void PrintTo(const CaseFile& c, std::ostream* os)
{
    *os << c.path;
}

bool LanguageOf(const fs::path& p, AnsiString& language, AnsiString& comment)
{
    const std::string ext = p.extension().string();
    if (ext == ".pas") {
        language = "PascalScript";
        comment = "//";
    } else if (ext == ".cpp") {
        language = "C++Script";
        comment = "//";
    } else if (ext == ".js") {
        language = "JScript";
        comment = "//";
    } else if (ext == ".vb") {
        language = "BasicScript";
        comment = "'";
    } else {
        return false;
    }
    return true;
}

std::vector<CaseFile> CollectCases()
{
    std::vector<CaseFile> files;
    for (const char* dir : {"cases", "regress"}) {
        const fs::path root = fs::path(SCRIPT_TESTS_DIR) / dir;
        if (!fs::exists(root))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            CaseFile c;
            if (entry.is_regular_file() && LanguageOf(entry.path(), c.language, c.comment)) {
                c.path = entry.path().string();
                files.push_back(c);
            }
        }
    }
    std::sort(files.begin(), files.end(), [](const CaseFile& a, const CaseFile& b) { return a.path < b.path; });
    return files;
}

class ScriptCases : public CompilerTest {
protected:
    void RunCase(const CaseFile& c);
};

class ScriptCase : public ScriptCases, public ::testing::WithParamInterface<CaseFile> {};

void ScriptCases::RunCase(const CaseFile& c)
{
    std::ifstream in(c.path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const AnsiString text = Utf8ToAnsi(bytes);

    std::vector<AnsiString> expected;
    AnsiString compileError, runtimeError;
    const AnsiString out = c.comment + " expect: ", ce = c.comment + " expect compile error ",
                     re = c.comment + " expect runtime error ";
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == AnsiString::npos)
            end = text.size();
        AnsiString line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (auto at = line.find(out); at != AnsiString::npos)
            expected.push_back(line.substr(at + out.size()));
        else if (auto at2 = line.find(ce); at2 != AnsiString::npos)
            compileError = line.substr(at2 + ce.size());
        else if (auto at3 = line.find(re); at3 != AnsiString::npos)
            runtimeError = line.substr(at3 + re.size());
        start = end + 1;
    }

    Output.clear();
    const bool compiled = Compile(c.language, text);
    if (!compileError.empty()) {
        ASSERT_FALSE(compiled) << "compiled, but an error was expected";
        EXPECT_EQ(AnsiToUtf8(S->ErrorPos + ": " + S->ErrorText), AnsiToUtf8(compileError));
        return;
    }
    ASSERT_TRUE(compiled) << AnsiToUtf8(S->ErrorPos + ": " + S->ErrorText);
    AnsiString got;
    try {
        S->Execute();
    } catch (const EScriptRunError& e) {
        got = "line " + std::to_string(e.Line()) + ": " + e.Message();
    } catch (const Exception& e) {
        // A host callback's own exception leaves as raised; the script knows where.
        got = "line " + std::to_string(std::atoi(S->RunErrorPos.c_str())) + ": " + e.Message();
    }
    EXPECT_EQ(AnsiToUtf8(got), AnsiToUtf8(runtimeError));
    std::vector<std::string> o, x;
    for (const AnsiString& s : Output)
        o.push_back(AnsiToUtf8(s));
    for (const AnsiString& s : expected)
        x.push_back(AnsiToUtf8(s));
    EXPECT_EQ(o, x);
}

TEST_P(ScriptCase, RunsAsItSays)
{
    RunCase(GetParam());
}

// Every case again under a decimal comma in the C library's locale, as Qt sets it on a
// Russian desktop: number literals and what the programs print do not change.
TEST_F(ScriptCases, EveryCaseRunsAsItSaysUnderADecimalComma)
{
    TDecimalCommaLocale comma;
    if (!comma.On())
        GTEST_SKIP() << "no locale with a decimal comma can be had here";
    for (const CaseFile& c : CollectCases()) {
        SCOPED_TRACE(c.path);
        S = std::make_unique<TscScript>(nullptr);
        S->Parent = scGlobalUnit();
        RegisterHost(*S);
        RunCase(c);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ScriptCase, ::testing::ValuesIn(CollectCases()),
                         [](const ::testing::TestParamInfo<CaseFile>& info) {
                             const fs::path p(info.param.path);
                             std::string name = p.parent_path().filename().string() + "_" + p.stem().string() +
                                                "_" + p.extension().string().substr(1);
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

} // namespace
