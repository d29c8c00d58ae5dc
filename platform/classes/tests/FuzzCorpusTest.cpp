// Replays the fuzz corpora (seeds and past crashes) and mutates a valid stream byte by
// byte: every input must end in a clean load or a clean Exception.
#include "platform/classes/fuzz/FuzzTargets.h"

#include "platform/classes/ObjectText.h"
#include "platform/classes/tests/TestClasses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::vector<std::filesystem::path> CorpusFiles(const char* reader)
{
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(SKLAD_CLASSES_CORPUS) / reader))
        if (e.is_regular_file())
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string ReadFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(FuzzCorpus, ComponentStreamCorpusReplays)
{
    const auto files = CorpusFiles("ComponentStream");
    EXPECT_GE(files.size(), 3u);
    for (const auto& f : files) {
        SCOPED_TRACE(f.filename().string());
        const std::string data = ReadFile(f);
        FuzzComponentStream(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    }
}

TEST(FuzzCorpus, ObjectTextCorpusReplays)
{
    const auto files = CorpusFiles("ObjectText");
    EXPECT_GE(files.size(), 3u);
    for (const auto& f : files) {
        SCOPED_TRACE(f.filename().string());
        const std::string data = ReadFile(f);
        FuzzObjectText(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    }
}

TEST(FuzzCorpus, EveryByteOfAValidStreamMutated)
{
    RegisterTestClasses();
    const std::string seed = ReadFile(std::filesystem::path(SKLAD_CLASSES_CORPUS) / "ComponentStream" / "form.bin");
    ASSERT_FALSE(seed.empty());
    for (size_t i = 0; i < seed.size(); ++i) {
        for (unsigned char v : {0x00, 0x01, 0x7F, 0xFF}) {
            std::string m = seed;
            m[i] = static_cast<char>(v);
            FuzzComponentStream(reinterpret_cast<const uint8_t*>(m.data()), m.size());
        }
    }
}

}  // namespace
