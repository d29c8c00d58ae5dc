#include "platform/graphics/Graphics.h"

#include "platform/classes/Streaming.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

namespace {

TPixelBuffer Gradient(int w, int h)
{
    TPixelBuffer p;
    p.Width = w;
    p.Height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.Pixels.push_back(0xFF000000u | uint32_t((x * 255 / std::max(1, w - 1)) << 16) |
                               uint32_t((y * 255 / std::max(1, h - 1)) << 8) | 0x40u);
    return p;
}

AnsiString Bytes(std::initializer_list<int> list)
{
    AnsiString s;
    for (int b : list)
        s.push_back(char(b));
    return s;
}

// ---------------------------------------------------------------- BMP

TEST(Bmp, RoundTripKeepsEveryPixel)
{
    for (int bits : {24, 32}) {
        SCOPED_TRACE(bits);
        const TPixelBuffer p = Gradient(7, 5);  // odd width: rows are padded
        const AnsiString file = EncodeBmp(p, bits);
        const TPixelBuffer back = DecodeBmp(reinterpret_cast<const uint8_t*>(file.data()), file.size());
        EXPECT_EQ(back, p);
    }
}

TEST(Bmp, ReadsPalettedAndTopDownFiles)
{
    // 2 x 2, 1 bit per pixel, two palette entries (black, red), top-down (height -2).
    AnsiString file = Bytes({'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0});
    file += Bytes({40, 0, 0, 0, 2, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                   0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0});
    file += Bytes({0, 0, 0, 0, 0, 0, 255, 0});          // black, red (BGR0)
    file += Bytes({0x80, 0, 0, 0, 0x40, 0, 0, 0});      // row 0: 1 0; row 1: 0 1
    const TPixelBuffer p = DecodeBmp(reinterpret_cast<const uint8_t*>(file.data()), file.size());
    ASSERT_EQ(p.Width, 2);
    ASSERT_EQ(p.Height, 2);
    EXPECT_EQ(p.Pixels, (std::vector<uint32_t>{0xFFFF0000u, 0xFF000000u, 0xFF000000u, 0xFFFF0000u}));
}

struct BadBmp {
    const char* why;
    AnsiString bytes;
};

TEST(Bmp, DamagedHeadersAreRefusedCleanly)
{
    const AnsiString good = EncodeBmp(Gradient(3, 3), 24);
    AnsiString hugeWidth = good;
    hugeWidth[18] = char(0xFF), hugeWidth[19] = char(0xFF), hugeWidth[20] = char(0xFF), hugeWidth[21] = char(0x7F);
    AnsiString rle = good;
    rle[30] = 1;
    AnsiString badOffset = good;
    badOffset[10] = char(0xFF), badOffset[11] = char(0xFF);
    const BadBmp cases[] = {
        {"not a bitmap", "GIF89a"},
        {"huge width", hugeWidth},
        {"run-length compression", rle},
        {"pixel offset past the end", badOffset},
    };
    for (const BadBmp& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_THROW(DecodeBmp(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size()), EInvalidGraphic);
    }
}

TEST(Bmp, TruncationAtEveryLengthFailsCleanlyAndLeavesTheBitmap)
{
    const AnsiString file = EncodeBmp(Gradient(5, 4), 24);
    for (size_t n = 0; n < file.size(); ++n) {
        SCOPED_TRACE(n);
        TBitmap b;
        b.SetSize(2, 2);
        TStringStream s(file.substr(0, n));
        EXPECT_THROW(b.LoadFromStream(s), EInvalidGraphic);
        EXPECT_EQ(b.GetWidth(), 2);
    }
}

// ---------------------------------------------------------------- the software raster

TEST(RasterDevice, ShapesFollowThePlatformPixelRules)
{
    TBitmap b;
    b.SetSize(10, 10);
    TCanvas& c = *b.GetCanvas();
    c.GetBrush()->SetColor(clRed);
    c.FillRect(Rect(0, 0, 3, 2));  // right and bottom edges stay outside
    EXPECT_EQ(c.GetPixel(2, 1), clRed);
    EXPECT_EQ(c.GetPixel(3, 1), clWhite);
    EXPECT_EQ(c.GetPixel(2, 2), clWhite);

    c.GetPen()->SetColor(clBlue);
    c.MoveTo(0, 5);
    c.LineTo(4, 5);  // the end point is not painted
    EXPECT_EQ(c.GetPixel(3, 5), clBlue);
    EXPECT_EQ(c.GetPixel(4, 5), clWhite);

    c.GetBrush()->SetColor(clLime);
    c.Rectangle(5, 5, 9, 9);
    EXPECT_EQ(c.GetPixel(5, 5), clBlue);  // outline
    EXPECT_EQ(c.GetPixel(8, 8), clBlue);
    EXPECT_EQ(c.GetPixel(6, 6), clLime);  // inside
    EXPECT_EQ(c.GetPixel(9, 9), clWhite);

    c.SetPixel(0, 9, clYellow);
    EXPECT_EQ(c.GetPixel(0, 9), clYellow);
    EXPECT_EQ(c.GetPixel(10, 10), clNone);  // outside the bitmap
}

TEST(RasterDevice, XorPenDrawnTwiceRestores)
{
    TBitmap b;
    b.SetSize(5, 1);
    TCanvas& c = *b.GetCanvas();
    c.GetPen()->SetMode(pmXor);
    c.GetPen()->SetColor(clRed);
    c.MoveTo(0, 0);
    c.LineTo(5, 0);
    EXPECT_EQ(c.GetPixel(2, 0), RGB(0, 255, 255));
    c.MoveTo(0, 0);
    c.LineTo(5, 0);
    EXPECT_EQ(c.GetPixel(2, 0), clWhite);
}

TEST(RasterDevice, StretchDrawScalesByNearestPixel)
{
    TBitmap src;
    src.SetSize(2, 1);
    src.GetCanvas()->SetPixel(0, 0, clRed);
    src.GetCanvas()->SetPixel(1, 0, clBlue);
    TBitmap dst;
    dst.SetSize(4, 2);
    dst.GetCanvas()->StretchDraw(Rect(0, 0, 4, 2), &src);
    EXPECT_EQ(dst.GetCanvas()->GetPixel(1, 1), clRed);
    EXPECT_EQ(dst.GetCanvas()->GetPixel(2, 0), clBlue);
}

// Shapes with coordinates anywhere in the int range are cut to the bitmap and the clip
// rectangle before they are stepped: each case paints exactly the pixels it names, and the
// whole table runs in moments (stepping these pixel by pixel took minutes).
TEST(RasterDevice, HugeCoordinatesAreClippedBeforeStepping)
{
    constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    const struct {
        const char* why;
        void (*draw)(TCanvas& c);
        bool (*painted)(int x, int y);
    } kCases[] = {
        {"a line across the whole range", [](TCanvas& c) { c.MoveTo(kMin, 7); c.LineTo(kMax, 7); },
         [](int, int y) { return y == 7; }},
        {"a diagonal from corner to corner of the range", [](TCanvas& c) { c.MoveTo(kMin, kMin); c.LineTo(kMax, kMax); },
         [](int x, int y) { return x == y; }},
        {"a line ending far outside keeps its start",
         [](TCanvas& c) { c.MoveTo(3, 0); c.LineTo(3, kMax); },
         [](int x, int) { return x == 3; }},
        {"a thick pen is swept, not stamped", [](TCanvas& c) {
             c.GetPen()->SetWidth(5);
             c.MoveTo(kMin, 10);
             c.LineTo(kMax, 10);
         },
         [](int, int y) { return y >= 8 && y <= 12; }},
        {"a pen wider than the range covers everything", [](TCanvas& c) {
             c.GetPen()->SetWidth(kMax);
             c.MoveTo(0, 0);
             c.LineTo(1, 1);
         },
         [](int, int) { return true; }},
        {"a fill of the whole range stays inside the clip", [](TCanvas& c) {
             c.SetClipRect(Rect(5, 5, 10, 10));
             c.FillRect(Rect(kMin, kMin, kMax, kMax));
         },
         [](int x, int y) { return x >= 5 && x < 10 && y >= 5 && y < 10; }},
        {"an ellipse of the whole range", [](TCanvas& c) {
             c.GetPen()->SetStyle(psClear);
             c.Ellipse(Rect(kMin, kMin, kMax, kMax));
         },
         [](int, int) { return true; }},
        {"a polygon with corners at the ends of the range", [](TCanvas& c) {
             c.GetPen()->SetStyle(psClear);
             c.Polygon({{kMin, kMin}, {kMax, kMax}, {kMin, kMax}});
         },
         [](int x, int y) { return x <= y; }},
        {"a frame whose other edges lie far outside", [](TCanvas& c) { c.FrameRect(Rect(-5, 3, kMax, kMax)); },
         [](int, int y) { return y == 3; }},
        {"a bitmap stretched over the whole range", [](TCanvas& c) {
             TBitmap red;
             red.SetSize(1, 1);
             red.GetCanvas()->SetPixel(0, 0, clRed);
             c.StretchDraw(Rect(kMin, kMin, kMax, kMax), &red);
         },
         [](int, int) { return true; }},
    };
    for (const auto& k : kCases) {
        SCOPED_TRACE(k.why);
        TBitmap b;
        b.SetSize(20, 20);
        TCanvas& c = *b.GetCanvas();
        c.GetPen()->SetColor(clRed);
        c.GetBrush()->SetColor(clRed);
        k.draw(c);
        int wrong = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if ((c.GetPixel(x, y) == clRed) != k.painted(x, y) && ++wrong <= 3)
                    ADD_FAILURE() << "pixel " << x << "," << y;
        EXPECT_EQ(wrong, 0);
    }
}

TEST(BitmapTest, ResizingKeepsTheCanvasUsable)
{
    TBitmap b;
    TCanvas* c = b.GetCanvas();
    b.SetSize(3, 3);
    c->SetPixel(2, 2, clRed);  // the canvas handed out before follows the new pixels
    b.SetSize(4, 4);
    EXPECT_EQ(c->GetPixel(2, 2), clRed);
    EXPECT_EQ(c->GetPixel(3, 3), clWhite);
    EXPECT_THROW(b.SetSize(100000, 100000), EInvalidGraphic);
    EXPECT_EQ(b.GetWidth(), 4);
}

// ---------------------------------------------------------------- pictures

TEST(PictureTest, DataPropertyRoundTripsEveryKind)
{
    TPicture picture;
    picture.GetBitmap()->SetPixels(Gradient(3, 2));
    TMemoryStream data;
    picture.WriteData(data);
    data.SetPosition(0);
    TPicture back;
    back.ReadData(data);
    auto* b = dynamic_cast<TBitmap*>(back.GetGraphic());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Pixels(), Gradient(3, 2));
    EXPECT_EQ(data.Remaining(), 0);
}

TEST(PictureTest, DamagedDataIsRefused)
{
    TPicture picture;
    picture.GetBitmap()->SetPixels(Gradient(3, 2));
    TMemoryStream data;
    picture.WriteData(data);
    const AnsiString bytes = data.DataString();
    for (size_t n = 0; n < bytes.size(); ++n) {
        SCOPED_TRACE(n);
        TStringStream s(bytes.substr(0, n));
        TPicture back;
        EXPECT_THROW(back.ReadData(s), Exception);
    }
    TStringStream unknown(Bytes({4, 'T', 'F', 'o', 'o', 0, 0, 0, 0}));
    TPicture back;
    EXPECT_THROW(back.ReadData(unknown), EInvalidGraphic);
}

TEST(PictureTest, FilesByExtension)
{
    const std::string dir = testing::TempDir();
    TPicture picture;
    picture.GetBitmap()->SetPixels(Gradient(4, 3));
    picture.SaveToFile(dir + "picture_test.bmp");
    TPicture back;
    back.LoadFromFile(dir + "picture_test.bmp");
    EXPECT_EQ(back.GetWidth(), 4);
    EXPECT_EQ(back.GetHeight(), 3);
    try {
        back.LoadFromFile(dir + "picture_test.gif");
        FAIL() << "an unknown extension must be refused";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(AnsiString(e.what()), "Unknown picture file extension (.gif)");
    }
    EXPECT_EQ(back.GetWidth(), 4);
    std::remove((dir + "picture_test.bmp").c_str());
}

TEST(PictureTest, StreamKindFromFirstBytes)
{
    TMemoryStream s;
    const AnsiString file = EncodeBmp(Gradient(2, 2), 24);
    s.WriteBuffer(file.data(), int64_t(file.size()));
    s.SetPosition(0);
    TPicture p;
    p.LoadFromStream(s);
    EXPECT_NE(dynamic_cast<TBitmap*>(p.GetGraphic()), nullptr);
    TStringStream junk("nothing we know");
    EXPECT_THROW(p.LoadFromStream(junk), EInvalidGraphic);
}

}  // namespace
