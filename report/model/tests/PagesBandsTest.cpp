// PagesBandsTest.cpp - report pages (paper sizes, orientation, columns, background),
// bands (kinds, columns, references) and dot-matrix snapping.
#include "report/model/tests/ReportFixture.h"

#include "platform/graphics/testing/Golden.h"
#include "platform/graphics/testing/RecordingCanvas.h"
#include "platform/printers/PaperTable.h"

#include <cmath>

namespace {
class PagesBandsTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        R = MakeReport();
        Page = AddPage(R);
    }
    TrpReport* R = nullptr;
    TrpReportPage* Page = nullptr;
};

bool IsMultiple(Extended v, Extended cell)
{
    const Extended k = v / cell;
    return std::fabs(static_cast<double>(k - std::nearbyint(static_cast<double>(k)))) < 1e-6;
}
}  // namespace

TEST_F(PagesBandsTest, PaperSizes)
{
    struct Case {
        const char* why;
        int code;
        TPrinterOrientation orientation;
        Extended width, height;  // mm
    };
    const Case cases[] = {
        {"A4 portrait", DMPAPER_A4, poPortrait, 210, 297},
        {"A4 landscape is turned", DMPAPER_A4, poLandscape, 297, 210},
        {"A3 portrait", DMPAPER_A3, poPortrait, 297, 420},
        {"A5 landscape", DMPAPER_A5, poLandscape, 210, 148},
        {"Letter", DMPAPER_LETTER, poPortrait, 215.9L, 279.4L},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Page->SetOrientation(c.orientation);
        Page->SetPaperSize(c.code);
        EXPECT_NEAR(static_cast<double>(Page->GetPaperWidth()), static_cast<double>(c.width), 0.05);
        EXPECT_NEAR(static_cast<double>(Page->GetPaperHeight()), static_cast<double>(c.height), 0.05);
        EXPECT_EQ(Page->GetWidth(), std::nearbyint(static_cast<double>(Page->GetPaperWidth() * rpMMToUnits)));
        EXPECT_EQ(Page->GetPaperSize(), c.code);
    }
}

TEST_F(PagesBandsTest, NewPageIsA4PortraitWithoutMargins)
{
    EXPECT_EQ(Page->GetPaperSize(), 9);
    EXPECT_EQ(Page->GetPaperWidth(), 210);
    EXPECT_EQ(Page->GetPaperHeight(), 297);
    EXPECT_EQ(Page->LeftMargin, 0);
    EXPECT_EQ(Page->GetWidth(), 794);  // 210 * 3.77953 = 793.7
    Page->SetDefaults();
    EXPECT_EQ(Page->LeftMargin, 10);
    EXPECT_EQ(Page->BottomMargin, 10);
}

TEST_F(PagesBandsTest, DefaultsFollowThePrinterLayer)
{
    rpSetPrinterPaperQuery([](int& size, Extended& w, Extended& h, TPrinterOrientation& o) {
        size = DMPAPER_A5;
        w = 148;
        h = 210;
        o = poLandscape;
        return true;
    });
    Page->SetDefaults();
    rpSetPrinterPaperQuery(nullptr);
    EXPECT_EQ(Page->GetPaperSize(), DMPAPER_A5);
    EXPECT_EQ(Page->GetOrientation(), poLandscape);
}

TEST_F(PagesBandsTest, CustomWidthMakesTheSizeCustom)
{
    Page->SetPaperWidth(100);
    EXPECT_EQ(Page->GetPaperSize(), 256);
    EXPECT_EQ(Page->GetWidth(), 378);
    Page->SetPaperSize(300);
    EXPECT_EQ(Page->GetPaperSize(), 300);
    EXPECT_EQ(Page->GetPaperWidth(), 100) << "a code of 256 and up only stores the number";
}

TEST_F(PagesBandsTest, OrientationTurnsTheMargins)
{
    Page->LeftMargin = 10;
    Page->TopMargin = 20;
    Page->RightMargin = 30;
    Page->BottomMargin = 40;
    Page->SetOrientation(poLandscape);
    EXPECT_EQ(Page->LeftMargin, 20);
    EXPECT_EQ(Page->RightMargin, 40);
    EXPECT_EQ(Page->TopMargin, 30);
    EXPECT_EQ(Page->BottomMargin, 10);
    EXPECT_GT(Page->GetPaperWidth(), Page->GetPaperHeight());
    Page->SetOrientation(poPortrait);
    EXPECT_EQ(Page->LeftMargin, 10);
    EXPECT_EQ(Page->TopMargin, 20);
    EXPECT_EQ(Page->RightMargin, 30);
    EXPECT_EQ(Page->BottomMargin, 40);
}

TEST_F(PagesBandsTest, Columns)
{
    Page->LeftMargin = Page->RightMargin = 10;
    Page->SetColumns(2);
    EXPECT_EQ(Page->ColumnWidth, 95);
    EXPECT_EQ(Page->GetColumnPositions()->GetText(), "0\r\n95\r\n");
    Page->SetColumns(0);
    EXPECT_EQ(Page->GetColumnPositions()->Count(), 0);
}

TEST_F(PagesBandsTest, FindBandByInheritance)
{
    auto* title = Add<TrpReportTitle>(Page, "ReportTitle1");
    auto* m1 = Add<TrpMasterData>(Page, "MasterData1");
    Add<TrpMasterData>(Page, "MasterData2");
    EXPECT_EQ(Page->FindBand(TrpDataBand::StaticClass()), m1);
    EXPECT_EQ(Page->FindBand(TrpBand::StaticClass()), title);
    EXPECT_EQ(Page->FindBand(TrpOverlay::StaticClass()), nullptr);
}

TEST_F(PagesBandsTest, AlignChildrenStretchesBandsToThePrintableWidth)
{
    Page->SetDefaults();
    auto* b = Add<TrpMasterData>(Page, "MasterData1");
    b->SetBounds(0, 10, 5, 20);
    Page->AlignChildren();
    EXPECT_NEAR(static_cast<double>(b->GetWidth()), 190 * 3.77953, 1e-9);
    EXPECT_EQ(Page->GetWidth(), 794) << "the page gets its paper width back";
}

TEST_F(PagesBandsTest, BackgroundDrawsInsideTheMargins)
{
    Page->SetPaperWidth(50);
    Page->SetPaperHeight(30);
    Page->LeftMargin = Page->TopMargin = Page->RightMargin = Page->BottomMargin = 5;
    Page->SetColor(clYellow);
    Page->GetFrame()->Typ = TrpFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
    TRecordingCanvas c;
    Page->Draw(&c.Canvas, 1, 1, 0, 0);
    ExpectGolden("pages/background", c.Dump());
}

TEST_F(PagesBandsTest, BandNumbersAndNames)
{
    struct Case {
        TrpBand* band;
        int number;
        const char* name;
    };
    const Case cases[] = {
        {new TrpReportTitle(Page), 0, "ReportTitle"},   {new TrpMasterData(Page), 6, "MasterData"},
        {new TrpDataBand4(Page), 9, "Data4"},           {new TrpOverlay(Page), 17, "Overlay"},
        {new TrpNullBand(Page), 0, "Null"},             {new TrpColumnFooter(Page), 16, "ColumnFooter"},
        {new TrpGroupHeader(Page), 12, "GroupHeader"},  {new TrpPageFooter(Page), 3, "PageFooter"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.band->BandNumber(), c.number);
        EXPECT_EQ(c.band->GetBandName(), c.name);
    }
}

TEST_F(PagesBandsTest, DataBandColumnsAndRowCount)
{
    auto* b = Add<TrpMasterData>(Page, "MasterData1");
    b->Columns = 3;
    b->ColumnWidth = 200;
    b->ColumnGap = 10;
    b->SetCurColumn(2);
    EXPECT_EQ(b->GetLeft(), 210);
    b->ColumnBottom = 50;
    b->SetCurColumn(4);
    EXPECT_EQ(b->GetCurColumn(), 1);
    EXPECT_EQ(b->GetLeft(), 0);
    EXPECT_EQ(b->ColumnBottom, 0);
    b->SetRowCount(5);
    EXPECT_EQ(b->VirtualDataSet()->RangeEndCount, 5);
    EXPECT_EQ(b->VirtualDataSet()->RangeEnd, reCount);
}

TEST_F(PagesBandsTest, FreedChildBandIsForgotten)
{
    auto* b = Add<TrpMasterData>(Page, "MasterData1");
    auto* child = Add<TrpChild>(Page, "Child1");
    b->SetChild(child);
    delete child;
    EXPECT_EQ(b->GetChild(), nullptr);
}

TEST_F(PagesBandsTest, DotMatrixSnapping)
{
    TrpReport* r = MakeReport("rpReport2");
    auto* page = new TrpDMPPage(r);
    page->SetName("Page1");
    auto* band = new TrpMasterData(page);
    band->SetTop(40);
    band->SetLeft(10);
    EXPECT_EQ(band->GetTop(), 34);
    EXPECT_NEAR(static_cast<double>(band->GetLeft()), 9.6, 1e-12);
    auto* text = new TrpDMPMemoView(band);
    text->SetLeft(10);
    EXPECT_NEAR(static_cast<double>(text->GetLeft()), 9.6, 1e-12);
    text->SetLeft(19);
    EXPECT_NEAR(static_cast<double>(text->GetLeft()), 19.2, 1e-12);
    text->Align = baRight;
    text->SetLeft(19);
    EXPECT_NEAR(static_cast<double>(text->GetLeft()), 9.6, 1e-12);
    auto* line = new TrpDMPLineView(band);
    line->SetTop(20);
    EXPECT_NEAR(static_cast<double>(line->GetTop()), 25.5, 1e-12);
    page->SetPaperSize(DMPAPER_A4);
    EXPECT_TRUE(IsMultiple(page->GetPaperWidth() * rpMMToUnits, rpCharX));
    EXPECT_TRUE(IsMultiple(page->GetPaperHeight() * rpMMToUnits, rpCharY));
    EXPECT_EQ(text->GetFont()->GetName(), "Courier New");
    EXPECT_EQ(text->GetFont()->GetSize(), 12);
}

// A value already on a cell edge stays there, however the division by 9.6 rounds: set
// directly or read back from the text a template stores.
TEST_F(PagesBandsTest, DotMatrixValuesOnACellEdgeKeepTheirCell)
{
    TrpReport* r = MakeReport("rpReport2");
    auto* page = new TrpDMPPage(r);
    auto* band = new TrpMasterData(page);
    auto* text = new TrpDMPMemoView(band);
    text->Align = baRight;
    auto* line = new TrpDMPLineView(band);
    for (int k = 0; k < 200; ++k) {
        SCOPED_TRACE(k);
        const Extended edge = k * rpCharX;
        text->SetLeft(edge);
        EXPECT_NEAR(static_cast<double>(text->GetLeft()), static_cast<double>(edge), 1e-9) << "right-aligned text";
        text->SetLeft(StrToFloat(FloatToStr(static_cast<double>(text->GetLeft()))));
        EXPECT_NEAR(static_cast<double>(text->GetLeft()), static_cast<double>(edge), 1e-9) << "as stored";
        line->SetLeft(edge);
        EXPECT_NEAR(static_cast<double>(line->GetLeft()), static_cast<double>(edge + 4.8L), 1e-9) << "line left";
        line->SetTop(k * rpCharY);
        EXPECT_NEAR(static_cast<double>(line->GetTop()), k * 17 + 8.5, 1e-9) << "line top";
    }
    text->SetLeft(-19);
    EXPECT_NEAR(static_cast<double>(text->GetLeft()), -9.6, 1e-9) << "towards zero below it too";
}

// An object with ParentFont made on a band of a dot-matrix page, or read back from the
// template, has the page's style, as it would after setting ParentFont.
TEST_F(PagesBandsTest, DotMatrixObjectsTakeThePageStyleWhenMadeOrRead)
{
    TrpReport* r = MakeReport("rpReport2");
    auto* page = new TrpDMPPage(r);
    page->SetName("Page1");
    page->SetFontStyle(TrpDMPFontStyles{fsxItalic, fsxCondensed});
    auto* band = new TrpMasterData(page);
    band->SetName("MasterData1");
    (new TrpDMPMemoView(band))->SetName("Memo1");
    (new TrpDMPLineView(band))->SetName("Line1");
    TStringStream saved;
    r->SaveToStream(saved);
    TrpReport* back = MakeReport("rpReport3");
    TStringStream in(saved.DataString());
    back->LoadFromStream(in);
    ASSERT_EQ(back->Errors.Count(), 0) << back->Errors.Text();
    const TrpDMPFontStyles style{fsxItalic, fsxCondensed};
    for (TrpReport* report : {r, back}) {
        SCOPED_TRACE(report == r ? "made" : "read");
        auto* memo = dynamic_cast<TrpDMPMemoView*>(report->FindObject("Memo1"));
        auto* line = dynamic_cast<TrpDMPLineView*>(report->FindObject("Line1"));
        ASSERT_TRUE(memo && line);
        EXPECT_TRUE(memo->GetFontStyle() == style);
        EXPECT_TRUE(memo->GetParentFont());
        EXPECT_TRUE(memo->GetFont()->GetStyle() == TFontStyles{fsItalic});
        EXPECT_EQ(memo->GetFont()->GetName(), "Courier New");
        EXPECT_TRUE(line->GetFontStyle() == style);
        EXPECT_TRUE(line->GetParentFont());
    }
}

TEST_F(PagesBandsTest, DotMatrixPageStyleReachesObjectsWithParentFont)
{
    TrpReport* r = MakeReport("rpReport2");
    auto* page = new TrpDMPPage(r);
    auto* band = new TrpMasterData(page);
    auto* follows = new TrpDMPMemoView(band);
    auto* own = new TrpDMPMemoView(band);
    follows->SetParentFont(true);
    own->SetFontStyle(TrpDMPFontStyles{fsxWide});
    page->SetFontStyle(TrpDMPFontStyles{fsxBold, fsxCondensed});
    EXPECT_TRUE(follows->GetFontStyle() == (TrpDMPFontStyles{fsxBold, fsxCondensed}));
    EXPECT_TRUE(follows->GetFont()->GetStyle().Contains(fsBold));
    EXPECT_TRUE(own->GetFontStyle() == TrpDMPFontStyles{fsxWide});
    EXPECT_EQ(own->Diff(follows), own->TrpCustomMemoView::Diff(follows) + " FontStyle=\"64\"");
    EXPECT_EQ(follows->Diff(follows), follows->TrpCustomMemoView::Diff(follows)) << "no FontStyle when equal";
}

// A page read from a file keeps the sheet it was stored with. When the stored paper code
// does not name that sheet (the code is missing, another writer made the file), the sheet
// is custom: saved under the code, it would come back as that paper the next time.
TEST_F(PagesBandsTest, AStoredSheetThatIsNotItsPaperIsCustom)
{
    const struct {
        const char* why;
        const char* page;  // the page element's attributes
        int code;          // the paper code after loading
        Extended width, height;
    } cases[] = {
        {"A4 as written", "PaperHeight=\"297\" PaperSize=\"9\" PaperWidth=\"210\"", 9, 210, 297},
        {"A4 turned", "Orientation=\"poLandscape\" PaperHeight=\"210\" PaperSize=\"9\" PaperWidth=\"297\"", 9, 297, 210},
        {"a printer's A4 in points", "PaperHeight=\"297\" PaperSize=\"9\" PaperWidth=\"209.9\"", 9, 209.9L, 297},
        {"custom as written", "PaperHeight=\"60\" PaperSize=\"256\" PaperWidth=\"100\"", 256, 100, 60},
        {"the code missing", "PaperHeight=\"60\" PaperWidth=\"100\"", 256, 100, 60},
        {"the code missing, the width only", "PaperWidth=\"100\"", 256, 100, 297},
        {"nothing stored", "", 9, 210, 297},
        {"an unknown code", "PaperHeight=\"60\" PaperSize=\"77\" PaperWidth=\"100\"", 77, 100, 60},
    };
    int made = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const AnsiString text = AnsiString("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<TrpReport Name=\"\">") +
                                "<TrpReportPage Name=\"Page1\" " + c.page + "/></TrpReport>";
        AnsiString saved;
        for (int pass = 0; pass < 2; ++pass) {
            TrpReport* r = MakeReport("rpLoaded" + IntToStr(++made));
            TMemoryStream in;
            const AnsiString& from = pass == 0 ? text : saved;
            in.WriteBuffer(from.data(), static_cast<int64_t>(from.size()));
            in.SetPosition(0);
            r->LoadFromStream(in);
            auto* page = dynamic_cast<TrpReportPage*>(r->FindObject("Page1"));
            ASSERT_NE(page, nullptr);
            EXPECT_EQ(page->GetPaperSize(), c.code) << "pass " << pass;
            EXPECT_NEAR(static_cast<double>(page->GetPaperWidth()), static_cast<double>(c.width), 1e-9) << "pass " << pass;
            EXPECT_NEAR(static_cast<double>(page->GetPaperHeight()), static_cast<double>(c.height), 1e-9) << "pass " << pass;
            TMemoryStream out;
            r->SaveToStream(out, true, false);
            const AnsiString again = out.DataString();
            if (pass == 1) {
                EXPECT_EQ(again, saved) << "saved again, the file is the same";
            }
            saved = again;
        }
    }
    // A dot-matrix page rounds its paper to whole characters; it is still that paper.
    auto* dmp = new TrpDMPPage(R);
    dmp->SetPaperSize(DMPAPER_A4);
    dmp->Loaded();
    EXPECT_EQ(dmp->GetPaperSize(), DMPAPER_A4);
}
