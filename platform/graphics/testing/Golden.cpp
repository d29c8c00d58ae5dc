#include "platform/graphics/testing/Golden.h"

#include "platform/rtl/Cp1251.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

bool ReadFile(const std::string& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

}  // namespace

void ExpectGoldenIn(const std::string& base, const std::string& caseName, const AnsiString& actual,
                    const std::string& folder)
{
    const std::string dir = base.empty() || (!folder.empty() && folder[0] == '/') ? folder : base + "/" + folder;
    const std::string path = dir + "/" + caseName + ".txt";
    const std::string failed = dir + "/" + caseName + ".FAILED.txt";
    const std::string utf8 = AnsiToUtf8(actual);
    std::string expected;
    const bool have = ReadFile(path, expected);
    if (have && expected == utf8) {
        std::remove(failed.c_str());
        return;
    }
    const char* update = std::getenv("SKLAD_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        WriteFile(path, utf8);
        std::remove(failed.c_str());
        return;
    }
    WriteFile(failed, utf8);
    if (!have)
        ADD_FAILURE() << "no golden file " << path << "; the output is in " << failed;
    else
        ADD_FAILURE() << "output differs from " << path << "; see " << failed << "\n--- expected\n"
                      << expected << "--- actual\n" << utf8;
}
