#include "platform/graphics/Graphics.h"
#include "platform/graphics/testing/Golden.h"
#include "platform/graphics/testing/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {

// A small metafile with every kind of record, drawn through a metafile canvas.
void MakeSample(TMetafile& m)
{
    m.SetWidth(200);
    m.SetHeight(100);
    TMetafileCanvas c(&m, 0, &FakeFontBackend());
    c.GetPen()->SetColor(clNavy);
    c.GetPen()->SetWidth(2);
    c.Rectangle(0, 0, 200, 100);
    c.GetFont()->SetName("Times New Roman");
    c.GetFont()->SetHeight(-20);
    c.TextOut(10, 10, "Накладная №1");
    const int dx[] = {12, 12, 12};
    const TRect r = Rect(10, 40, 100, 60);
    c.ExtTextOut(10, 40, ETO_CLIPPED, &r, "abc", dx);
    c.MoveTo(0, 100);
    c.LineTo(200, 0);
    c.Polygon({{0, 0}, {10, 0}, {5, 8}});
    c.SetClipRect(Rect(0, 0, 50, 50));
    c.Ellipse(0, 0, 40, 40);
    c.ResetClip();
    TBitmap b;
    b.SetSize(2, 2);
    c.StretchDraw(Rect(150, 50, 190, 90), &b);
    c.SetPixel(1, 1, clRed);
}

TEST(MetafileTest, CanvasRecordsOnDestruction)
{
    TMetafile m;
    {
        TMetafileCanvas c(&m);
        c.Rectangle(5, 5, 30, 20);
        EXPECT_TRUE(m.Empty());  // nothing reaches the metafile before the canvas goes
    }
    EXPECT_FALSE(m.Empty());
    EXPECT_EQ(m.GetWidth(), 30);  // no frame was set: the drawing's extent
    EXPECT_EQ(m.GetHeight(), 20);
}

TEST(MetafileTest, ReplayScalesIntoTheTargetRectangle)
{
    TMetafile m;
    MakeSample(m);
    TRecordingCanvas at1;
    at1.Canvas.Draw(0, 0, &m);
    ExpectGolden("metafile_at_1", at1.Dump());
    TRecordingCanvas twice;
    twice.Canvas.StretchDraw(Rect(100, 100, 500, 300), &m);
    ExpectGolden("metafile_at_2", twice.Dump());
}

TEST(MetafileTest, StreamRoundTripKeepsEveryRecord)
{
    TMetafile m;
    MakeSample(m);
    TMemoryStream s;
    m.SaveToStream(s);
    s.SetPosition(0);
    TMetafile back;
    back.LoadFromStream(s);
    EXPECT_EQ(back.GetWidth(), 200);
    EXPECT_EQ(back.GetHeight(), 100);
    EXPECT_TRUE(back.Records() == m.Records());
    EXPECT_EQ(DumpRecords(back.Records()), DumpRecords(m.Records()));
}

TEST(MetafileTest, TruncationAtEveryLengthFailsCleanlyAndKeepsTheOldPicture)
{
    TMetafile m;
    MakeSample(m);
    const AnsiString bytes = m.Encode();
    TMetafile keep;
    keep.SetWidth(7);
    {
        TMetafileCanvas c(&keep);
        c.Rectangle(0, 0, 1, 1);
    }
    const TDrawRecords before = keep.Records();
    for (size_t n = 0; n < bytes.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_THROW(keep.Decode(reinterpret_cast<const uint8_t*>(bytes.data()), n), EInvalidGraphic);
        EXPECT_TRUE(keep.Records() == before);
        EXPECT_EQ(keep.GetWidth(), 7);
    }
}

struct Patch {
    const char* why;
    size_t offset;
    std::vector<uint8_t> bytes;
};

TEST(MetafileTest, DamagedCountsAndRecordsAreRefused)
{
    TMetafile m;
    {
        TMetafileCanvas c(&m);
        c.Rectangle(0, 0, 10, 10);  // records: pen, brush, bk, rect
    }
    const AnsiString good = m.Encode();
    // Layout: "SKMF" version(2) width(4) height(4) count(4) = 18 bytes, then records.
    const Patch patches[] = {
        {"wrong signature", 0, {'X'}},
        {"unknown version", 4, {9}},
        {"negative width", 6, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"a record count far beyond the data", 14, {0xFF, 0xFF, 0xFF, 0x0F}},
        {"unknown operation", 18, {0xEE}},
        {"pen with a wrong argument count", 19, {3}},
        {"an argument count beyond the data", 19, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"bad pixel flag", 18 + 1 + 4 + 16 + 4, {2}},
    };
    for (const Patch& p : patches) {
        SCOPED_TRACE(p.why);
        AnsiString bad = good;
        for (size_t i = 0; i < p.bytes.size(); ++i)
            bad[p.offset + i] = char(p.bytes[i]);
        TMetafile back;
        EXPECT_THROW(back.Decode(reinterpret_cast<const uint8_t*>(bad.data()), bad.size()), EInvalidGraphic);
        EXPECT_TRUE(back.Empty());
    }
    AnsiString trailing = good + "x";
    TMetafile back;
    EXPECT_THROW(back.Decode(reinterpret_cast<const uint8_t*>(trailing.data()), trailing.size()), EInvalidGraphic);
}

TEST(MetafileTest, PictureCarriesAMetafile)
{
    TPicture p;
    auto m = std::make_unique<TMetafile>();
    MakeSample(*m);
    p.SetGraphic(std::move(m));
    TMemoryStream data;
    p.WriteData(data);
    data.SetPosition(0);
    TPicture back;
    back.ReadData(data);
    ASSERT_NE(dynamic_cast<TMetafile*>(back.GetGraphic()), nullptr);
    EXPECT_EQ(back.GetWidth(), 200);
}

}  // namespace
