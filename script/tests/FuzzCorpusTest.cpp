// Replays the fuzz corpora (seeds and past crashes) through the fuzz targets.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

int FuzzScriptXmlReader(const uint8_t* data, size_t size);
int FuzzScriptLexer(const uint8_t* data, size_t size);

namespace {

void Replay(const char* corpus, int (*target)(const uint8_t*, size_t))
{
    const std::filesystem::path dir = std::filesystem::path(SCRIPT_FUZZ_DIR) / "corpus" / corpus;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(target(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
        ++files;
    }
    EXPECT_GT(files, 0);
}

} // namespace

TEST(FuzzCorpus, XmlReader)
{
    Replay("xml", FuzzScriptXmlReader);
}

TEST(FuzzCorpus, Lexer)
{
    Replay("lexer", FuzzScriptLexer);
}
