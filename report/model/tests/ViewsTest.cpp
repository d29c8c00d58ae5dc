// ViewsTest.cpp - drawing every view on the recording canvas with the exact fake font
// (golden files), the device rectangle, frames and their difference text.
#include "report/model/tests/ReportFixture.h"

#include "report/model/rpRes.h"

#include "platform/graphics/testing/Golden.h"
#include "platform/graphics/testing/RecordingCanvas.h"

namespace {

class ViewsTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        R = MakeReport();
        Page = AddPage(R);
        Band = Add<TrpMasterData>(Page, "MasterData1");
        Band->SetBounds(0, 20, 700, 100);
    }
    // Draws the view at scale 1.5, offset (10, 5) and returns the recorded calls.
    AnsiString DrawOf(TrpReportComponent* view, Extended scale = 1.5L)
    {
        TRecordingCanvas c;
        view->Draw(&c.Canvas, scale, scale, 10, 5);
        return c.Dump();
    }
    void Golden(const char* name, TrpReportComponent* view, Extended scale = 1.5L)
    {
        ExpectGolden(std::string("views/") + name, DrawOf(view, scale));
    }
    // Splits Text over parts of changing heights in a memo set up by SetUp, and expects each
    // part and rest to be what laying out the whole rest from scratch at that height gives.
    void ExpectEveryPartIsTheWholeRests(const std::function<void(TrpMemoView*)>& SetUp, const AnsiString& Text, int MaxParts)
    {
        auto* m = Add<TrpMemoView>(Band, "Parted");
        SetUp(m);
        m->SetText(Text);
        m->InitPart();
        int parts = 0;
        while (!m->RestText.empty() && parts < MaxParts) {
            SCOPED_TRACE("part " + IntToStr(parts));
            const Extended height = 60 + (parts % 5) * 40;
            auto* whole = Add<TrpMemoView>(Band, "Whole");
            SetUp(whole);
            whole->SetText(m->RestText);
            whole->SetHeight(height);
            AnsiString wantRest, wantPart;
            {
                TrpDrawText& dt = whole->DrawTextObject();
                TrpDrawTextLock lock(dt);
                whole->SetDrawParams(nullptr, 1, 1, 0, 0);
                wantRest = dt.GetOutBoundsText();
                wantPart = dt.GetInBoundsText();
            }
            whole->SetText(wantPart);
            wantPart = whole->GetText();
            delete whole;
            m->SetHeight(height);
            m->DrawPart();
            ASSERT_EQ(m->GetText(), wantPart);
            ASSERT_EQ(m->RestText, wantRest);
            ++parts;
        }
        EXPECT_GT(parts, 2);
        delete m;
    }
    TrpReport* R = nullptr;
    TrpReportPage* Page = nullptr;
    TrpMasterData* Band = nullptr;
};

}  // namespace

TEST_F(ViewsTest, DeviceRectangleKeepsTheShadowInside)
{
    auto* m = Add<TrpMemoView>(Band, "Memo1");
    m->SetBounds(0, 0, 100, 20);
    Band->SetTop(0);
    m->GetFrame()->DropShadow = true;
    m->BeginDraw(nullptr, 1, 1, 0, 0);
    EXPECT_EQ(m->DX, 96);
    EXPECT_EQ(m->DY, 16);
}

TEST_F(ViewsTest, RoundingIsHalvesToEven)
{
    auto* s = Add<TrpShapeView>(Band, "Shape1");
    Band->SetTop(0);
    s->SetBounds(0.5L, 1.5L, 2, 2);
    s->BeginDraw(nullptr, 1, 1, 0, 0);
    EXPECT_EQ(s->X, 0);
    EXPECT_EQ(s->Y, 2);
    EXPECT_EQ(s->X1, 2);
    EXPECT_EQ(s->Y1, 4);
}

TEST_F(ViewsTest, FrameDiffAndViewDiff)
{
    auto* a = Add<TrpMemoView>(Band, "Memo1");
    auto* b = Add<TrpMemoView>(Band, "Memo2");
    EXPECT_EQ(static_cast<TrpView*>(a)->TrpView::Diff(b), "") << "a view against an equal one";
    a->GetFrame()->Typ = TrpFrameTypes{ftLeft, ftTop};
    EXPECT_EQ(static_cast<TrpView*>(a)->TrpView::Diff(b), " Frame.Typ=\"5\"");
    a->GetFrame()->Width = 2.5L;
    EXPECT_EQ(a->GetFrame()->Diff(b->GetFrame()), " Frame.Typ=\"5\" Frame.Width=\"2,5\"");
}

TEST_F(ViewsTest, MemoDiffAlwaysCarriesItsText)
{
    auto* a = Add<TrpMemoView>(Band, "Memo1");
    auto* b = Add<TrpMemoView>(Band, "Memo2");
    a->SetText("одна строка");
    b->SetText("одна строка");
    EXPECT_EQ(a->Diff(b), " x=\"одна строка\"");
    a->SetText("a\r\nb");
    a->HAlign = haRight;
    EXPECT_EQ(a->Diff(b), " HAlign=\"1\" x=\"a&#13;&#10;b\"");
}

TEST_F(ViewsTest, ShapeKindsAndStyles)
{
    struct Case {
        const char* golden;
        TrpShapeKind kind;
        TColor color;
        TBrushStyle brush;
        TrpFrameStyle style;
    };
    const Case cases[] = {
        {"shape_rectangle", skRectangle, clYellow, bsSolid, fsSolid},
        {"shape_roundrect", skRoundRectangle, clNone, bsSolid, fsSolid},
        {"shape_ellipse", skEllipse, clWhite, bsSolid, fsDash},
        {"shape_triangle", skTriangle, clNone, bsSolid, fsSolid},
        {"shape_diamond", skDiamond, clNone, bsSolid, fsDot},
        {"shape_diagonal1", skDiagonal1, clNone, bsSolid, fsSolid},
        {"shape_diagonal2", skDiagonal2, clNone, bsSolid, fsSolid},
        {"shape_crosshatch_transparent", skRectangle, clNone, bsCross, fsSolid},
        {"shape_crosshatch_filled", skEllipse, clAqua, bsCross, fsSolid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        auto* s = new TrpShapeView(Band);
        s->SetBounds(10, 10, 60, 40);
        s->Shape = c.kind;
        s->Color = c.color;
        s->BrushStyle = c.brush;
        s->GetFrame()->Style = c.style;
        s->GetFrame()->Width = 2;
        Golden(c.golden, s);
        delete s;
    }
}

TEST_F(ViewsTest, Frames)
{
    struct Case {
        const char* golden;
        TrpFrameTypes typ;
        TrpFrameStyle style;
        Extended width;
        bool shadow;
        TColor color;
        TColor frameColor;
    };
    const TrpFrameTypes all{ftLeft, ftRight, ftTop, ftBottom};
    const Case cases[] = {
        {"frame_solid_all", all, fsSolid, 1, false, clNone, clBlack},
        {"frame_solid_thick_top_left", TrpFrameTypes{ftTop, ftLeft}, fsSolid, 3, false, clSilver, clRed},
        {"frame_dash_all", all, fsDash, 2, false, clNone, clBlack},
        {"frame_double_all", all, fsDouble, 1, false, clWhite, clBlack},
        {"frame_double_top_only", TrpFrameTypes{ftTop}, fsDouble, 1, false, clNone, clBlack},
        {"frame_shadow", all, fsSolid, 1, true, clNone, clBlack},
        {"frame_none_color_shadow_only", all, fsSolid, 1, true, clNone, clNone},
        {"frame_zero_width", all, fsSolid, 0, false, clNone, clBlack},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        auto* s = new TrpSubreport(Band);
        s->SetName("Frame");
        s->SetBounds(10, 10, 60, 30);
        s->Color = c.color;
        s->GetFrame()->Typ = c.typ;
        s->GetFrame()->Style = c.style;
        s->GetFrame()->Width = c.width;
        s->GetFrame()->DropShadow = c.shadow;
        s->GetFrame()->Color = c.frameColor;
        s->GetFrame()->ShadowWidth = 4;
        // TrpView's own drawing: background and frame (the subreport adds its name).
        TRecordingCanvas rc;
        s->TrpView::Draw(&rc.Canvas, 1, 1, 0, 0);
        ExpectGolden(std::string("views/") + c.golden, rc.Dump());
        delete s;
    }
}

TEST_F(ViewsTest, LinesStraightenThemselves)
{
    struct Case {
        const char* why;
        Extended w, h;
        bool horizontal;
    };
    const Case cases[] = {
        {"wide and flat becomes horizontal", 100, 0.5L, true},
        {"narrow and tall becomes vertical", 5, 80, false},
        {"square becomes vertical", 30, 30, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto* l = new TrpLineView(Band);
        l->SetBounds(0, 0, c.w, c.h);
        DrawOf(l);
        if (c.horizontal) {
            EXPECT_EQ(l->GetHeight(), 0);
            EXPECT_TRUE(l->GetFrame()->Typ == TrpFrameTypes{ftTop});
        } else {
            EXPECT_EQ(l->GetWidth(), 0);
            EXPECT_TRUE(l->GetFrame()->Typ == TrpFrameTypes{ftLeft});
        }
        delete l;
    }
}

TEST_F(ViewsTest, LineDrawings)
{
    auto* h = Add<TrpLineView>(Band, "Line1");
    h->SetBounds(10, 10, 200, 0);
    Golden("line_horizontal", h);
    auto* d = Add<TrpLineView>(Band, "Line2");
    d->Diagonal = true;
    d->SetBounds(10, 10, 50, 30);
    d->GetFrame()->Style = fsDouble;
    d->GetFrame()->Width = 3;
    Golden("line_diagonal_double_drawn_solid", d);
    auto* z = Add<TrpLineView>(Band, "Line3");
    z->Diagonal = true;
    z->SetBounds(10, 10, 50, 30);
    z->GetFrame()->Width = 0;
    EXPECT_EQ(DrawOf(z), "") << "a diagonal of width 0 is not drawn";
}

TEST_F(ViewsTest, PicturesKeepTheirAspect)
{
    auto* p = Add<TrpPictureView>(Band, "Picture1");
    Band->SetTop(0);
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(200, 100);
    p->GetPicture()->SetGraphic(std::move(bmp));
    p->SetBounds(0, 0, 100, 100);
    TRecordingCanvas c;
    p->Draw(&c.Canvas, 1, 1, 0, 0);
    EXPECT_NE(c.Dump().find("bitmap 0 0 100 50 200x100"), AnsiString::npos) << c.Dump();
    p->Center = true;
    TRecordingCanvas c2;
    p->Draw(&c2.Canvas, 1, 1, 0, 0);
    EXPECT_NE(c2.Dump().find("bitmap 0 25 100 75 200x100"), AnsiString::npos) << c2.Dump();
    Golden("picture_centered", p);
}

// Without a picture, at design time, the view shows its name and the empty-picture sign;
// in a run it shows nothing inside.
TEST_F(ViewsTest, EmptyPictureShowsItsSignWhileDesigning)
{
    rpSetBitmapResourceLoader([](const AnsiString& name, TBitmap& b) {
        if (name != "rpEMPTY")
            return false;
        b.SetSize(16, 16);
        return true;
    });
    for (bool designing : {true, false}) {
        SCOPED_TRACE(designing ? "designing" : "running");
        auto* p = Add<TrpPictureView>(Band, designing ? "Picture1" : "Picture2");
        Band->SetTop(0);
        p->SetBounds(10, 20, 100, 50);
        p->IsDesigning = designing;
        TRecordingCanvas c;
        p->Draw(&c.Canvas, 1, 1, 0, 0);
        EXPECT_EQ(c.Dump().find("bitmap 11 22 27 38 16x16") != AnsiString::npos, designing) << c.Dump();
    }
    rpSetBitmapResourceLoader(nullptr);
}

TEST_F(ViewsTest, PictureDiffWithoutAPictureIsItsGeometry)
{
    auto* a = Add<TrpPictureView>(Band, "Picture1");
    auto* b = Add<TrpPictureView>(Band, "Picture2");
    EXPECT_EQ(a->Diff(b), " ");
}

TEST_F(ViewsTest, PictureBlobsAreRecognisedByTheirBytes)
{
    TBitmap bmp;
    bmp.SetSize(3, 2);
    TMemoryStream ms;
    bmp.SaveToStream(ms);
    AnsiString bytes(static_cast<size_t>(ms.GetSize()), '\0');
    ms.SetPosition(0);
    ms.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    auto header = [](uint32_t len) {
        AnsiString h("\x01\x00\x00\x01", 4);
        for (int i = 0; i < 4; ++i)
            h += static_cast<char>((len >> (8 * i)) & 0xFF);
        return h;
    };
    // A 3 x 1 icon of 32 bits per pixel (white, alpha kept).
    AnsiString icon("\0\0\1\0\1\0\3\1\0\0\1\0\x20\0\x38\0\0\0\x16\0\0\0", 22);
    icon += AnsiString("\x28\0\0\0\3\0\0\0\2\0\0\0\1\0\x20\0", 16) + AnsiString(24, '\0');
    icon += AnsiString(12, '\xFF') + AnsiString(4, '\0');
    struct Case {
        const char* why;
        AnsiString blob;
        bool loads;
    };
    const Case cases[] = {
        {"a bitmap without header", bytes, true},
        {"an icon (the value at offset 2 below 2)", icon, true},
        {"a bitmap after a header whose length matches", header(static_cast<uint32_t>(bytes.size())) + bytes, true},
        {"the same header with a wrong length is read from 0", header(1) + bytes, false},
        {"an empty blob", AnsiString(), false},
        {"a truncated bitmap is refused, not read past its end", bytes.substr(0, 20), false},
        {"unknown bytes", AnsiString("hello, picture"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TPicture pic;
        pic.SetGraphic(std::make_unique<TBitmap>());
        EXPECT_EQ(rpLoadPictureFromBlob(&pic, c.blob), c.loads);
        if (c.loads)
            EXPECT_EQ(pic.GetWidth(), 3);
        else
            EXPECT_EQ(pic.GetGraphic(), nullptr) << "the previous record's picture is cleared";
    }
}

TEST_F(ViewsTest, SubreportPage)
{
    auto* sub = Add<TrpSubreport>(Band, "Subreport1");
    auto* page2 = AddPage(R);
    sub->SetSubPage(page2);
    EXPECT_TRUE(page2->IsSubReport());
    delete sub;
    EXPECT_FALSE(page2->IsSubReport());
    auto* sub2 = Add<TrpSubreport>(Band, "Subreport2");
    sub2->SetSubPage(page2);
    delete page2;
    EXPECT_EQ(sub2->GetSubPage(), nullptr);
    sub2->SetBounds(10, 10, 100, 30);
    Golden("subreport", sub2);
}

TEST_F(ViewsTest, Memos)
{
    struct Case {
        const char* golden;
        const char* text;
        TrpHAlign h;
        TrpVAlign v;
        TrpFrameTypes frame;
        bool underlines;
        int rotation;
    };
    const Case cases[] = {
        {"memo_left_top", "Накладная №1", haLeft, vaTop, {}, false, 0},
        {"memo_right_bottom_frame", "Итого:\r\n12,50", haRight, vaBottom, TrpFrameTypes{ftLeft, ftRight, ftTop, ftBottom},
         false, 0},
        {"memo_center_wrapped_underlined", "Длинный текст, который переносится по словам", haCenter, vaCenter, {}, true, 0},
        {"memo_rotated_no_underlines", "Повёрнут", haLeft, vaTop, {}, true, 90},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        auto* m = new TrpMemoView(Band);
        m->SetBounds(10, 10, 120, 60);
        m->SetText(c.text);
        m->HAlign = c.h;
        m->VAlign = c.v;
        m->GetFrame()->Typ = c.frame;
        m->Underlines = c.underlines;
        m->SetRotation(c.rotation);
        m->Color = clWhite;
        Golden(c.golden, m);
        delete m;
    }
}

TEST_F(ViewsTest, MemoMeasuring)
{
    auto* m = Add<TrpMemoView>(Band, "Memo1");
    m->SetBounds(0, 0, 200, 20);
    m->SetText("abc\r\nabcdef");
    const Extended w = m->CalcWidth();
    m->SetText("abcdef");
    EXPECT_EQ(m->CalcWidth(), w) << "the wider line decides, nothing wraps";
    m->SetText("abc\r\nabcdef");
    EXPECT_GT(m->CalcHeight(), 20) << "two lines need more than one line's height";
}

TEST_F(ViewsTest, MemoAutoWidthKeepsTheRightEdge)
{
    auto* m = Add<TrpMemoView>(Band, "Memo1");
    m->SetBounds(100, 0, 200, 20);
    m->AutoWidth = true;
    m->HAlign = haRight;
    m->SetText("abc");
    TRecordingCanvas c;
    m->Draw(&c.Canvas, 1, 1, 0, 0);
    EXPECT_LT(m->GetWidth(), 200);
    EXPECT_NEAR(static_cast<double>(m->GetLeft() + m->GetWidth()), 300.0, 1e-9);
}

TEST_F(ViewsTest, MemoSplitsAcrossPages)
{
    auto* m = Add<TrpMemoView>(Band, "Memo1");
    m->SetBounds(0, 0, 200, 5);
    m->SetText("one\r\ntwo\r\nthree");
    m->InitPart();
    EXPECT_EQ(m->DrawPart(), 5) << "not even one line fits: the whole height is unused";
    EXPECT_EQ(m->RestText, "one\r\ntwo\r\nthree\r\n");
    m->SetHeight(m->CalcHeight());
    m->InitPart();
    const Extended unused = m->DrawPart();
    EXPECT_GT(unused, 0);
    EXPECT_EQ(m->RestText, "");
}

// Memos whose parts are laid out anew (a paragraph gap, or the width following the text) lay
// out only the first paragraphs of the rest; the parts still hold every word and every blank
// line, in order, wherever the paragraphs taken end.
TEST_F(ViewsTest, MemoPartsLaidOutAnewKeepEveryLine)
{
    struct TCase {
        const char* Name;
        int Paragraphs;
        const char* Break;  // what ends a paragraph, every fifth one ends with two
    };
    const TCase cases[] = {
        {"CR LF", 300, "\r\n"},
        {"LF", 300, "\n"},
        {"CR CR LF", 300, "\r\r\n"},
        {"one paragraph", 1, "\r\n"},
    };
    for (bool autoWidth : {false, true})
        for (const TCase& c : cases) {
            SCOPED_TRACE(AnsiString(c.Name) + (autoWidth ? ", auto width" : ", paragraph gap"));
            AnsiString text;
            std::vector<AnsiString> words;
            for (int p = 1; p <= c.Paragraphs; ++p) {
                for (int w = 0; w < 1 + p % 7; ++w) {
                    words.push_back("w" + IntToStr(p) + "_" + IntToStr(w));
                    text += words.back() + " ";
                }
                text += c.Break;
                if (p % 5 == 0)
                    text += c.Break;
            }
            auto* m = Add<TrpMemoView>(Band, "Memo1");
            m->SetBounds(0, 0, 120, 100);
            m->WordWrap = true;
            if (autoWidth)
                m->AutoWidth = true;
            else
                m->ParagraphGap = 10;
            m->SetText(text);
            m->InitPart();
            std::vector<AnsiString> got;
            AnsiString all;
            int parts = 0;
            while (!m->RestText.empty() && parts < 1000) {
                m->SetHeight(60 + (parts % 3) * 25);
                m->DrawPart();
                all += m->GetText();
                ++parts;
            }
            EXPECT_LT(parts, 1000);
            std::unique_ptr<TStringList> lines(new TStringList);
            lines->SetText(all);
            int blank = 0;
            for (int i = 0; i < lines->Count(); ++i) {
                const AnsiString line = Trim((*lines)[i]);
                if (line.empty())
                    ++blank;
                size_t start = 0;
                while (start < line.size()) {
                    size_t end = line.find(' ', start);
                    if (end == AnsiString::npos)
                        end = line.size();
                    if (end > start)
                        got.push_back(line.substr(start, end - start));
                    start = end + 1;
                }
            }
            EXPECT_EQ(got, words);
            const int blankLines = c.Paragraphs / 5 * (AnsiString(c.Break) == "\r\r\n" ? 3 : 1) +
                                   (AnsiString(c.Break) == "\r\r\n" ? c.Paragraphs - c.Paragraphs / 5 : 0);
            EXPECT_EQ(blank, blankLines);
            delete m;
        }
}

// Parts laid out anew from only the start of the rest are the parts the whole rest gives:
// each part is compared with the rest laid out whole at the part's height, also for one long
// paragraph, words longer than a line, hyphenation and tags.
TEST_F(ViewsTest, MemoPartsFromTheStartOfTheRestAreTheWholeRestsParts)
{
    struct TCase {
        const char* Name;
        bool AutoWidth, WordBreak, Tags;
        int ParagraphEvery;  // words per paragraph; 0: one paragraph
        bool Stray = false;  // "<" that opens no tag, and font tags holding blanks
        bool Unclosed = false;  // "<font color" with no ">" after it in the paragraph
    };
    const TCase cases[] = {
        {"one paragraph, paragraph gap", false, false, false, 0},
        {"one paragraph, auto width", true, false, false, 0},
        {"one paragraph, hyphenated", false, true, false, 0},
        {"one paragraph with tags", false, false, true, 0},
        {"paragraphs of 40 words", false, false, false, 40},
        {"paragraphs of 400 words, auto width", true, false, false, 400},
        {"one paragraph with stray \"<\" and font tags holding blanks", false, false, true, 0, true},
        {"stray \"<\", paragraphs of 40 words, auto width", true, false, true, 40, true},
        {"one paragraph with \"<font color\" never closed", false, false, true, 0, true, true},
        {"\"<font color\" never closed, paragraphs of 40 words, hyphenated", false, true, true, 40, false, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        AnsiString text;
        for (int w = 1; text.size() < 24000; ++w) {
            AnsiString word = w % 97 == 0 ? AnsiString(60, 'x') : "word" + IntToStr(w % 13 ? w : w * 1000);
            if (c.Tags && w % 11 == 0)
                word = "<b>" + word + "</b>";
            if (c.Tags && w % 17 == 0)
                word = "<font color=\"#FF0000\">" + word + "</font>";
            if (c.Stray && w % 7 == 0)
                word = "a<" + word;
            if (c.Stray && w % 19 == 0)
                word = "<font color=  red>" + word + " and more</font>";
            if (c.Unclosed && w % 5 == 0)
                word = "<font color " + word;
            text += word + (c.ParagraphEvery && w % c.ParagraphEvery == 0 ? "\r\n" : " ");
        }
        auto setUp = [&](TrpMemoView* m) {
            m->SetBounds(0, 0, 150, 100);
            m->WordWrap = true;
            m->WordBreak = c.WordBreak;
            m->AllowHTMLTags = c.Tags;
            m->AutoWidth = c.AutoWidth;
            if (!c.AutoWidth)
                m->ParagraphGap = 10;
        };
        ExpectEveryPartIsTheWholeRests(setUp, text, 1000);
    }
}

TEST_F(ViewsTest, DotMatrixMemoFrameRunsThroughCellMiddles)
{
    TrpReport* r = MakeReport("rpReport2");
    auto* page = new TrpDMPPage(r);
    auto* band = new TrpMasterData(page);
    band->SetTop(17);
    auto* m = new TrpDMPMemoView(band);
    m->SetBounds(9.6L, 17, 96, 34);
    m->GetFrame()->Typ = TrpFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
    m->SetText("DMP");
    TRecordingCanvas c;
    m->Draw(&c.Canvas, 1, 1, 0, 0);
    ExpectGolden("views/dmp_memo", c.Dump());
}

// A view with a negative width or height (drawn from its far corner) draws as its mirror
// image with positive sizes: the box shapes and the background, solid and hatched.
TEST_F(ViewsTest, NegativeSizesDrawAsTheMirrorImage)
{
    auto shape = [](TrpShapeKind kind) {
        return [kind](TrpBand* band) {
            auto* s = new TrpShapeView(band);
            s->Shape = kind;
            return static_cast<TrpView*>(s);
        };
    };
    auto background = [](TrpBand* band) {
        auto* v = new TrpSubreport(band);  // drawn as a plain view below: background and frame
        v->GetFrame()->Typ = TrpFrameTypes();
        v->Color = clYellow;
        v->BrushStyle = bsCross;
        return static_cast<TrpView*>(v);
    };
    const std::pair<const char*, std::function<TrpView*(TrpBand*)>> kinds[] = {
        {"rectangle", shape(skRectangle)},
        {"round rectangle", shape(skRoundRectangle)},
        {"ellipse", shape(skEllipse)},
        {"background", background},
    };
    const TRect boxes[] = {{70, 10, -60, 40}, {10, 50, 60, -40}, {70, 50, -60, -40}};  // left, top, width, height
    auto draw = [&](const std::function<TrpView*(TrpBand*)>& make, const TRect& b) {
        TrpView* v = make(Band);
        v->SetBounds(b.Left, b.Top, b.Right, b.Bottom);
        TRecordingCanvas rc;
        if (dynamic_cast<TrpShapeView*>(v))
            v->Draw(&rc.Canvas, 1, 1, 0, 0);
        else
            v->TrpView::Draw(&rc.Canvas, 1, 1, 0, 0);
        delete v;
        return rc.Dump();
    };
    for (const auto& [name, make] : kinds) {
        const AnsiString expected = draw(make, {10, 10, 60, 40});
        for (const TRect& b : boxes) {
            SCOPED_TRACE(std::string(name) + " " + std::to_string(b.Right) + " x " + std::to_string(b.Bottom));
            EXPECT_EQ(draw(make, b), expected);
        }
    }
}

// A turned memo split across pages wraps each part to that part's own box: text running
// along the height wraps to the height, which the engine sets anew for every part.
TEST_F(ViewsTest, TurnedMemoPartsWrapToTheirOwnHeight)
{
    struct TCase {
        const char* Why;
        int Rotation;
        bool WordBreak, Tags;
    };
    const TCase cases[] = {
        {"upright: the width wraps", 0, false, false},
        {"upside down: the width wraps", 180, false, false},
        {"slanted below 90: the width wraps", 45, false, false},
        {"a quarter turn: the height wraps", 90, false, false},
        {"three quarters: the height wraps", 270, false, false},
        {"slanted past 90: the height wraps", 135, false, false},
        {"a negative turn counts from 360", -90, false, false},
        {"a quarter turn, hyphenated, with tags", 90, true, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Why);
        AnsiString text;
        for (int w = 1; text.size() < 6000; ++w) {
            AnsiString word = w % 37 == 0 ? AnsiString(70, 'x') : (w % 5 ? "слово" : "word") + IntToStr(w);
            if (c.Tags && w % 11 == 0)
                word = "<b>" + word + "</b>";
            text += word + (w % 23 == 0 ? "\r\n" : " ");
        }
        auto setUp = [&](TrpMemoView* m) {
            m->SetBounds(0, 0, 150, 100);
            m->WordWrap = true;
            m->WordBreak = c.WordBreak;
            m->AllowHTMLTags = c.Tags;
            m->SetRotation(c.Rotation);
        };
        ExpectEveryPartIsTheWholeRests(setUp, text, 500);
    }
}

// A word far longer than a part, in a memo whose parts are laid out anew, is cut into
// starts inside the word; each part is still the one the whole rest gives at its height.
TEST_F(ViewsTest, MemoPartsOfOneLongWordAreTheWholeRestsParts)
{
    struct TCase {
        const char* Why;
        const char* Chunk;  // repeated into the one word
        bool WordBreak, Tags, AutoWidth;
        int Rotation;
    };
    const TCase cases[] = {
        {"Latin letters, paragraph gap", "abcdefghij", false, false, false, 0},
        {"Latin letters and dots, hyphenated", "abc.defghi", true, false, false, 0},
        {"Cyrillic between dashes, hyphenated", "ткрп-оцинкованный-бвгд", true, false, false, 0},
        {"Cyrillic, hyphenated, paragraph gap", "оцинкованный", true, false, false, 0},
        {"Cyrillic with rare vowels, hyphenated", "бвгджзклмнпрстфхцчшщбвгджзклмнпрстфхцчшщоткр", true, false, false, 0},
        {"tags inside the word, hyphenated", "накладная<b>склад</b><font color=red>товар</font>", true, true, false, 0},
        {"width following the text", "оцинкованный", true, false, true, 0},
        {"turned a quarter, hyphenated", "оцинкованный", true, false, false, 90},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Why);
        AnsiString text;
        while (text.size() < 30000)
            text += c.Chunk;
        text += " tail";
        auto setUp = [&](TrpMemoView* m) {
            m->SetBounds(0, 0, 150, 100);
            m->WordWrap = true;
            m->WordBreak = c.WordBreak;
            m->AllowHTMLTags = c.Tags;
            m->AutoWidth = c.AutoWidth;
            m->SetRotation(c.Rotation);
            if (!c.AutoWidth && c.Rotation == 0)
                m->ParagraphGap = 10;
        };
        ExpectEveryPartIsTheWholeRests(setUp, text, 1000);
    }
}

// A memo draws its text in a font no larger than the one it was measured with, at any font
// size or height and any scale: the text stays within the height and width it measured.
TEST_F(ViewsTest, MemoDrawsTheFontItMeasuredAtEverySize)
{
    struct Case {
        int size;    // points, or 0 to set the height instead
        int height;  // pixels; positive is the cell height
        Extended scale;
    };
    const Case cases[] = {
        {1, 0, 1},      {8, 0, 1},         {1000, 0, 1},       {3900, 0, 1},       {4000, 0, 1},
        {5000, 0, 1},   {24575, 0, 1},     {2000000000, 0, 1}, {-5000, 0, 1},      {0, 40000, 1},
        {0, -40000, 1}, {3000, 0, 2},      {20000, 0, 2},      {5000, 0, 0.5L},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Format("size %d height %d scale %g", {c.size, c.height, double(c.scale)}));
        auto* m = new TrpMemoView(Band);
        m->SetBounds(0, 0, 100000, 20);
        m->SetText("Wide");
        m->WordWrap = false;
        if (c.size != 0)
            m->GetFont()->SetSize(c.size);
        else
            m->GetFont()->SetHeight(c.height);
        const Extended width = m->CalcWidth(), height = m->CalcHeight();
        TRecordingCanvas canvas;
        m->Draw(&canvas.Canvas, c.scale, c.scale, 0, 0);
        const AnsiString dump = canvas.Dump();
        const size_t at = dump.find("font \"Arial\" ");
        ASSERT_NE(at, AnsiString::npos) << dump;
        const int drawn = std::abs(StrToInt(dump.substr(at + 13, dump.find(' ', at + 13) - at - 13)));
        EXPECT_GT(width, 0);
        EXPECT_GT(height, 0);
        EXPECT_GT(drawn, 0);
        EXPECT_LE(drawn, height * c.scale) << dump;
        TRecordingCanvas measure;
        measure.Canvas.GetFont()->SetName("Arial");
        measure.Canvas.GetFont()->SetHeight(-drawn);
        EXPECT_LE(measure.Canvas.TextWidth("Wide"), width * c.scale + 1) << dump;
        delete m;
    }
}
