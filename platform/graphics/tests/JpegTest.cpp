#include "platform/graphics/Graphics.h"
#include "platform/graphics/fuzz/GraphicsTargets.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

TPixelBuffer Picture(int w, int h)
{
    TPixelBuffer p;
    p.Width = w;
    p.Height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.Pixels.push_back(0xFF000000u | uint32_t(((x * 8) & 0xFF) << 16) | uint32_t(((y * 8) & 0xFF) << 8) |
                               uint32_t(x < w / 2 ? 0x30 : 0xC0));
    return p;
}

int MaxDifference(const TPixelBuffer& a, const TPixelBuffer& b)
{
    int worst = 0;
    for (size_t i = 0; i < a.Pixels.size(); ++i)
        for (int shift : {0, 8, 16})
            worst = std::max(worst, std::abs(int((a.Pixels[i] >> shift) & 0xFF) - int((b.Pixels[i] >> shift) & 0xFF)));
    return worst;
}

TEST(JpegTest, EncodeDecodeRoundTrip)
{
    const TPixelBuffer original = Picture(24, 16);
    const AnsiString data = EncodeJpeg(original, 95, false);
    ASSERT_GE(data.size(), 4u);
    EXPECT_EQ(uint8_t(data[0]), 0xFF);
    EXPECT_EQ(uint8_t(data[1]), 0xD8);
    TJpegInfo info;
    const TPixelBuffer back = DecodeJpeg(reinterpret_cast<const uint8_t*>(data.data()), data.size(), false, &info);
    EXPECT_EQ(info.Width, 24);
    EXPECT_EQ(info.Height, 16);
    EXPECT_EQ(info.Components, 3);
    ASSERT_EQ(back.Width, 24);
    ASSERT_EQ(back.Height, 16);
    EXPECT_LT(MaxDifference(original, back), 40);  // lossy, but the picture survives
}

TEST(JpegTest, QualityAndGrayscale)
{
    const TPixelBuffer p = Picture(64, 64);
    const AnsiString low = EncodeJpeg(p, 10, false), high = EncodeJpeg(p, 100, false);
    EXPECT_LT(low.size(), high.size());
    const AnsiString grey = EncodeJpeg(p, 90, true);
    TJpegInfo info;
    const TPixelBuffer back = DecodeJpeg(reinterpret_cast<const uint8_t*>(grey.data()), grey.size(), false, &info);
    EXPECT_EQ(info.Components, 1);
    for (uint32_t px : back.Pixels) {
        ASSERT_EQ((px >> 16) & 0xFF, (px >> 8) & 0xFF);
        ASSERT_EQ((px >> 8) & 0xFF, px & 0xFF);
    }
    const AnsiString progressive = EncodeJpeg(p, 80, false, true);
    EXPECT_TRUE(ReadJpegHeader(reinterpret_cast<const uint8_t*>(progressive.data()), progressive.size()).Progressive);
}

TEST(JpegTest, ImageAssignedABitmapCompressesOnSave)
{
    TBitmap b;
    b.SetPixels(Picture(10, 6));
    TJPEGImage j;
    j.SetCompressionQuality(75);
    j.Assign(&b);
    EXPECT_EQ(j.GetWidth(), 10);
    TMemoryStream s;
    j.SaveToStream(s);
    s.SetPosition(0);
    TJPEGImage back;
    back.LoadFromStream(s);
    EXPECT_EQ(back.GetWidth(), 10);
    EXPECT_EQ(back.GetHeight(), 6);
    EXPECT_THROW(back.SetWidth(3), EInvalidGraphicOperation);
    TBitmap again;
    again.Assign(&back);  // a bitmap takes a JPEG's pixels
    EXPECT_EQ(again.GetWidth(), 10);
}

TEST(JpegTest, TruncationAtEveryLengthRaisesAndKeepsTheImage)
{
    const AnsiString data = EncodeJpeg(Picture(16, 16), 90, false);
    TJPEGImage keep;
    {
        TStringStream s(data);
        keep.LoadFromStream(s);
    }
    for (size_t n = 0; n < data.size(); ++n) {
        SCOPED_TRACE(n);
        TStringStream s(data.substr(0, n));
        EXPECT_THROW(keep.LoadFromStream(s), EInvalidGraphic);
        EXPECT_EQ(keep.GetWidth(), 16);
        EXPECT_EQ(keep.Data(), data);
    }
}

TEST(JpegTest, FlippedBytesNeverCrash)
{
    const AnsiString data = EncodeJpeg(Picture(16, 16), 90, false);
    int refused = 0;
    for (size_t i = 0; i < data.size(); ++i) {
        AnsiString bad = data;
        bad[i] = char(bad[i] ^ 0x5A);
        try {
            const TPixelBuffer p = DecodeJpeg(reinterpret_cast<const uint8_t*>(bad.data()), bad.size());
            EXPECT_EQ(p.Pixels.size(), size_t(p.Width) * size_t(p.Height));
        } catch (const EInvalidGraphic&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(JpegTest, HugeDeclaredSizeIsRefusedBeforeDecoding)
{
    AnsiString data = EncodeJpeg(Picture(8, 8), 90, false);
    // The SOF0 marker holds height and width as big-endian 16-bit numbers.
    const size_t sof = data.find("\xFF\xC0");
    ASSERT_NE(sof, AnsiString::npos);
    data[sof + 5] = char(0xFF), data[sof + 6] = char(0xF0);
    data[sof + 7] = char(0xFF), data[sof + 8] = char(0xF0);
    EXPECT_THROW(DecodeJpeg(reinterpret_cast<const uint8_t*>(data.data()), data.size()), EInvalidGraphic);
}

// Every file of the fuzz corpus goes through its fuzz target (load, and draw for a
// metafile) and ends cleanly: faults found once stay fixed.
TEST(JpegTest, CorpusReplay)
{
    const struct {
        const char* reader;
        void (*target)(const uint8_t*, size_t);
    } kReaders[] = {{"jpeg", FuzzJpeg}, {"bmp", FuzzBmp}, {"metafile", FuzzMetafile}};
    for (const auto& r : kReaders) {
        const std::filesystem::path dir = std::filesystem::path(SKLAD_TESTS_DIR) / "../fuzz/corpus" / r.reader;
        ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
        int files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            SCOPED_TRACE(entry.path().string());
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            const std::string data = bytes.str();
            r.target(reinterpret_cast<const uint8_t*>(data.data()), data.size());
            ++files;
        }
        EXPECT_GT(files, 0) << r.reader;
    }
}

}  // namespace
