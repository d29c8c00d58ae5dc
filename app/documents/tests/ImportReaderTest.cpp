// The .sklad reader: a valid file, refused headers, truncation at every length, damaged counts
// and numbers, mutated bytes, and the fuzz corpus replayed.
#include "app/documents/Import.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>

namespace {

OrderRequestFile TwoLines()
{
    OrderRequestFile f;
    f.Magic = OrderRequestFile::kMagic;
    f.Customer = "Иванов И.И.";
    f.DocumentNumber = "З-17";
    f.DueDate = "15.03.2027";
    f.Records.push_back({"", "Болт М8", 0.1f, "шт", 33.333f});
    f.Records.push_back({"запас", std::string(100, 'Ж'), 3.0f, "кг", 2.5f});  // a name that fills its field
    return f;
}

void SetU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = uint8_t(v >> (8 * i));
}

TEST(ImportReader, ReadsAValidFile)
{
    const std::vector<uint8_t> bytes = WriteOrderRequest(TwoLines());
    ASSERT_EQ(bytes.size(), 312u + 2 * 308u);
    OrderRequestFile f;
    const TImportRead r = ReadOrderRequest(bytes.data(), bytes.size(), f);
    ASSERT_EQ(r.Status, TImportStatus::Ok) << r.Detail;
    EXPECT_EQ(f.Count, 2u);
    EXPECT_EQ(f.Customer, "Иванов И.И.");
    EXPECT_EQ(f.DocumentNumber, "З-17");
    EXPECT_DOUBLE_EQ(f.Due, double(EncodeDate(2027, 3, 15)));
    ASSERT_EQ(f.Records.size(), 2u);
    EXPECT_EQ(f.Records[0].ItemName, "Болт М8");
    EXPECT_EQ(f.Records[0].UnitName, "шт");
    EXPECT_EQ(f.Records[0].Quantity, 0.1f);
    EXPECT_EQ(f.Records[0].Price, 33.333f);
    EXPECT_EQ(f.Records[1].Spare, "запас");
    EXPECT_EQ(f.Records[1].ItemName, std::string(100, 'Ж'));
}

struct HeaderCase {
    const char* why;
    uint32_t version, magic, count;
    TImportStatus expected;
};

TEST(ImportReader, HeaderDecidesBeforeAnythingElse)
{
    const HeaderCase cases[] = {
        {"version 1 is not read", 1, 1985, 2, TImportStatus::BadVersion},
        {"no version above 0 is read", 0xFFFFFFFFu, 1985, 2, TImportStatus::BadVersion},
        {"another magic is another file", 0, 1984, 2, TImportStatus::NotRequest},
        {"count 0 imports nothing, silently", 0, 1985, 0, TImportStatus::Empty},
        {"a count the file cannot hold", 0, 1985, 3, TImportStatus::Damaged},
        {"a count near 2^32 allocates nothing", 0, 1985, 0xFFFFFFFFu, TImportStatus::Damaged},
        {"the written count", 0, 1985, 2, TImportStatus::Ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<uint8_t> bytes = WriteOrderRequest(TwoLines());
        SetU32(bytes, 0, c.version);
        SetU32(bytes, 4, c.magic);
        SetU32(bytes, 8, c.count);
        OrderRequestFile f;
        EXPECT_EQ(ReadOrderRequest(bytes.data(), bytes.size(), f).Status, c.expected);
        if (c.expected != TImportStatus::Ok) {
            EXPECT_TRUE(f.Records.empty());
        }
    }
}

TEST(ImportReader, EveryTruncationIsRefusedCleanly)
{
    const std::vector<uint8_t> bytes = WriteOrderRequest(TwoLines());
    for (size_t n = 0; n < bytes.size(); ++n) {
        SCOPED_TRACE("file cut to " + std::to_string(n) + " bytes");
        // A copy of exactly n bytes, so a read past the end is a read outside the buffer.
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + n);
        OrderRequestFile f;
        const TImportRead r = ReadOrderRequest(cut.data(), cut.size(), f);
        EXPECT_NE(r.Status, TImportStatus::Ok);
        EXPECT_TRUE(f.Records.empty());
        if (n >= 12) {
            EXPECT_EQ(r.Status, TImportStatus::Damaged);
        }
        if (r.Status == TImportStatus::Damaged) {
            EXPECT_FALSE(ImportStatusText(r, "a.sklad").empty());
        }
    }
}

TEST(ImportReader, NumbersAndDatesThatAreNotValuesAreRefused)
{
    struct Case {
        const char* why;
        std::function<void(OrderRequestFile&)> damage;
    };
    const Case cases[] = {
        {"NaN quantity", [](OrderRequestFile& f) { f.Records[1].Quantity = std::numeric_limits<float>::quiet_NaN(); }},
        {"infinite price", [](OrderRequestFile& f) { f.Records[0].Price = std::numeric_limits<float>::infinity(); }},
        {"absurd quantity", [](OrderRequestFile& f) { f.Records[0].Quantity = 3e30f; }},
        {"due date that is no date", [](OrderRequestFile& f) { f.DueDate = "вчера"; }},
        {"due date of a month 13", [](OrderRequestFile& f) { f.DueDate = "01.13.2027"; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        OrderRequestFile f = TwoLines();
        c.damage(f);
        const std::vector<uint8_t> bytes = WriteOrderRequest(f);
        OrderRequestFile out;
        const TImportRead r = ReadOrderRequest(bytes.data(), bytes.size(), out);
        EXPECT_EQ(r.Status, TImportStatus::Damaged);
        EXPECT_FALSE(r.Detail.empty());
    }
}

TEST(ImportReader, MutatedBytesNeverReadOutside)
{
    const std::vector<uint8_t> valid = WriteOrderRequest(TwoLines());
    std::mt19937 rng(1985);
    for (int i = 0; i < 3000; ++i) {
        std::vector<uint8_t> bytes = valid;
        const int flips = 1 + int(rng() % 8);
        for (int k = 0; k < flips; ++k)
            bytes[rng() % bytes.size()] = uint8_t(rng());
        bytes.resize(rng() % (bytes.size() + 1));
        OrderRequestFile f;
        const TImportRead r = ReadOrderRequest(bytes.data(), bytes.size(), f);
        if (r.Status == TImportStatus::Ok) {
            ASSERT_EQ(f.Records.size(), f.Count);
            ASSERT_LE(312u + size_t(f.Count) * 308u, bytes.size());
        }
    }
}

// Every file of the fuzz corpus (seeds and past crashes) is read again: a clean status, and a
// clean read only where the file holds what its header says.
TEST(ImportReader, CorpusReplays)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(SKLAD_TESTS_DIR).parent_path() / "fuzz" / "corpus" / "sklad_import";
    ASSERT_TRUE(fs::is_directory(dir)) << dir;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        OrderRequestFile f;
        const TImportRead r = ReadOrderRequest(bytes.data(), bytes.size(), f);
        if (r.Status == TImportStatus::Ok) {
            EXPECT_EQ(f.Records.size(), f.Count);
        }
        ++files;
    }
    EXPECT_GE(files, 5);
}

}  // namespace
