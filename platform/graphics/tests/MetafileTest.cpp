#include "platform/graphics/Graphics.h"
#include "platform/graphics/testing/Golden.h"
#include "platform/graphics/testing/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <vector>

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

// A second recording replaces the first; a picture drawn into a canvas of its own holds
// one copy of itself afterwards, however often that is done (it used to double each time).
TEST(MetafileTest, RecordingAgainReplacesTheDrawing)
{
    TMetafile m;
    {
        TMetafileCanvas c(&m);
        c.Rectangle(5, 5, 30, 20);
    }
    TMetafile fresh;
    {
        TMetafileCanvas c(&fresh);
        c.Ellipse(0, 0, 10, 10);
    }
    {
        TMetafileCanvas c(&m);
        c.Ellipse(0, 0, 10, 10);
    }
    EXPECT_TRUE(m.Records() == fresh.Records());
    EXPECT_EQ(m.GetWidth(), 30);  // a frame once taken stays

    TMetafile self;
    MakeSample(self);
    std::vector<size_t> sizes{self.Records().size()};
    for (int i = 0; i < 12; ++i) {
        {
            TMetafileCanvas c(&self);
            c.Draw(0, 0, &self);
        }
        sizes.push_back(self.Records().size());
    }
    // Each round plays the last drawing once: the size moves by the same step every time.
    for (size_t i = 2; i < sizes.size(); ++i)
        EXPECT_EQ(sizes[i] - sizes[i - 1], sizes[1] - sizes[0]) << "round " << i;
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


// A stream of one 1x1 bitmap record with the given arguments, as the format stores it.
AnsiString OneBitmapStream(const std::vector<int32_t>& args)
{
    AnsiString out("SKMF", 4);
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(char((v >> (8 * i)) & 0xFF));
    };
    out.push_back(1);
    out.push_back(0);  // version 1
    u32(10);
    u32(10);
    u32(1);
    out.push_back(char(TDrawOp::Bitmap));
    u32(uint32_t(args.size()));
    for (int32_t v : args)
        u32(uint32_t(v));
    u32(0);  // no text
    out.push_back(1);
    u32(1);
    u32(1);
    u32(0xFF00FF00u);
    return out;
}

// A bitmap record keeps its stretch mode through the stream; a record without one (as
// every stream had before) plays smoothed, and modes the program never writes are refused.
TEST(MetafileTest, BitmapRecordsKeepTheirStretchMode)
{
    struct Case {
        const char* why;
        std::vector<int32_t> args;
        bool loads;
        const char* played;  // the record as it reaches another recording
    };
    const Case kCases[] = {
        {"an older record: smoothed", {0, 0, 10, 10, cmSrcCopy}, true, "bitmap 0 0 10 10 1x1 #040001ff"},
        {"colour on colour", {0, 0, 10, 10, cmSrcCopy, COLORONCOLOR}, true, "bitmap 0 0 10 10 1x1 #040001ff coloroncolor"},
        {"with a copy mode", {0, 0, 10, 10, cmSrcAnd, COLORONCOLOR}, true,
         "bitmap 0 0 10 10 1x1 #040001ff cm $008800C6 coloroncolor"},
        {"the default spelled out is not a form of ours", {0, 0, 10, 10, cmSrcCopy, HALFTONE}, false, ""},
        {"an unknown mode", {0, 0, 10, 10, cmSrcCopy, 1}, false, ""},
        {"a seventh number", {0, 0, 10, 10, cmSrcCopy, COLORONCOLOR, 0}, false, ""},
        {"four numbers", {0, 0, 10, 10}, false, ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        const AnsiString bytes = OneBitmapStream(c.args);
        TMetafile m;
        if (!c.loads) {
            EXPECT_THROW(m.Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), EInvalidGraphic);
            EXPECT_TRUE(m.Empty());
            continue;
        }
        m.Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        TRecordingCanvas played;
        played.Canvas.Draw(0, 0, &m);
        EXPECT_EQ(played.Dump(), AnsiString(c.played) + "\n");
        EXPECT_EQ(m.Encode(), bytes) << "written back as it was read";
    }
}

// The canvas keeps the mode for every bitmap it draws until it is set again.
TEST(MetafileTest, CanvasStretchModeAnswersThePreviousMode)
{
    TRecordingCanvas c;
    TBitmap b;
    b.SetSize(1, 1);
    struct Step {
        int set;
        int answer;
        int after;
    };
    const Step kSteps[] = {
        {COLORONCOLOR, HALFTONE, COLORONCOLOR},
        {0, 0, COLORONCOLOR},  // unknown: refused, the mode stays
        {1, 0, COLORONCOLOR},  // the monochrome modes are not kept
        {COLORONCOLOR, COLORONCOLOR, COLORONCOLOR},
        {HALFTONE, COLORONCOLOR, HALFTONE},
    };
    AnsiString expected;
    for (const Step& s : kSteps) {
        SCOPED_TRACE(s.set);
        EXPECT_EQ(c.Canvas.SetStretchBltMode(s.set), s.answer);
        EXPECT_EQ(c.Canvas.GetStretchBltMode(), s.after);
        c.Canvas.StretchDraw(Rect(0, 0, 4, 4), &b);
        expected += AnsiString("bitmap 0 0 4 4 1x1 #") + "09fa03fd" + (s.after == COLORONCOLOR ? " coloroncolor" : "") + "\n";
    }
    EXPECT_EQ(c.Dump(), expected);
}

}  // namespace
