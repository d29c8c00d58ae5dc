// ClassesFuzzReplayTest.cpp - replays the report-class fuzz corpora and truncations of
// each file (every length for small files, every seventh for larger ones).
#include "report/model/fuzz/ClassesTargets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {
void Replay(const char* reader, void (*target)(const uint8_t*, size_t))
{
    const auto dir = std::filesystem::path(SKLAD_REPORT_CORPUS) / reader;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().string());
        std::ifstream f(entry.path(), std::ios::binary);
        const std::string data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        const size_t step = data.size() < 2000 ? 1 : 7;
        for (size_t n = 0; n <= data.size(); n += step)
            target(reinterpret_cast<const uint8_t*>(data.data()), n);
        target(reinterpret_cast<const uint8_t*>(data.data()), data.size());
        ++files;
    }
    EXPECT_GT(files, 0);
}
}  // namespace

TEST(ClassesFuzzReplay, ReportTemplate) { Replay("ReportTemplate", FuzzReportTemplate); }
TEST(ClassesFuzzReplay, StyleFile) { Replay("StyleFile", FuzzStyleFile); }
