// FuzzReplayTest.cpp - replays the fuzz corpora, and every truncation of each file.
#include "report/model/fuzz/FuzzTargets.h"

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
        for (size_t n = 0; n <= data.size(); ++n)
            target(reinterpret_cast<const uint8_t*>(data.data()), n);
        ++files;
    }
    EXPECT_GT(files, 0);
}
}  // namespace

TEST(FuzzReplay, ReportXML) { Replay("ReportXML", FuzzReportXML); }
TEST(FuzzReplay, FormCollection) { Replay("FormCollection", FuzzFormCollection); }
