// Replays the warehouse fuzz corpus: every file there once broke, or nearly broke, the opening
// of a warehouse. Each must end in a clean refusal or a successful read.
#include "platform/db/fuzz/WarehouseFuzz.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

TEST(WarehouseFuzzCorpus, EveryFileIsRefusedOrReadCleanly)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(SKLAD_TESTS_DIR).parent_path() / "fuzz" / "corpus" / "warehouse";
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        EXPECT_NO_THROW(FuzzWarehouseFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
        ++files;
    }
    EXPECT_GE(files, 5);
}
