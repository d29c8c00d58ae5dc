// Replays the compile corpus (seeds and past crashes), and feeds the compiler
// byte-mutated versions of the case scripts: every outcome must be clean.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

int FuzzScriptCompile(const uint8_t* data, size_t size);
int FuzzScriptCompileIn(const char* language, const uint8_t* data, size_t size);
extern const char* const kFuzzScriptLanguages[4];

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(CompileFuzz, CorpusReplays)
{
    int files = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(SCRIPT_FUZZ_DIR) / "corpus" / "compile")) {
        SCOPED_TRACE(entry.path().string());
        const std::string bytes = ReadFile(entry.path());
        // Every file in every language, and as the fuzzer reads it.
        for (const char* language : kFuzzScriptLanguages)
            EXPECT_EQ(FuzzScriptCompileIn(language, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
        EXPECT_EQ(FuzzScriptCompile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
        ++files;
    }
    EXPECT_GT(files, 0);
}

TEST(CompileFuzz, MutatedCasesEndCleanly)
{
    // SKLAD_COMPILE_FUZZ_ROUNDS raises the rounds per file for a longer search.
    const char* env = std::getenv("SKLAD_COMPILE_FUZZ_ROUNDS");
    const int rounds = env ? std::max(1, std::atoi(env)) : 6;
    std::mt19937 rng(env ? static_cast<unsigned>(std::atoi(env)) : 20261206u);
    const char kBytes[] = "();:=.,[]{}<>'\"\n\r begin end if then else x 1 $ # & | ! @ _ \\";
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(SCRIPT_TESTS_DIR) / "cases")) {
        if (!entry.is_regular_file())
            continue;
        const std::string original = ReadFile(entry.path());
        for (int round = 0; round < rounds && !original.empty(); ++round) {
            std::string text = original;
            for (int k = 0; k < 3; ++k) {
                const size_t at = rng() % text.size();
                switch (rng() % 3) {
                case 0: text[at] = kBytes[rng() % (sizeof(kBytes) - 1)]; break;
                case 1: text.erase(at, 1 + rng() % 8); break;
                default: text.insert(at, 1, kBytes[rng() % (sizeof(kBytes) - 1)]); break;
                }
                if (text.empty())
                    break;
            }
            SCOPED_TRACE(entry.path().string() + " round " + std::to_string(round));
            for (const char* language : kFuzzScriptLanguages)
                EXPECT_EQ(FuzzScriptCompileIn(language, reinterpret_cast<const uint8_t*>(text.data()), text.size()), 0);
        }
    }
}

} // namespace
