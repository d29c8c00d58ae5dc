// The engine on small templates over in-memory data: the page frame, data bands, groups,
// page numbers in two passes, columns, stretching and splitting, keeping together,
// subreports; and what it does with templates and data that can never give pages.
#include "report/output/tests/EngineTestSupport.h"

#include "report/output/rpEngineConsts.h"

#include "report/model/rpDMPClass.h"
#include "report/model/rpDialogs.h"

#include "platform/gui/StdCtrls.h"

#include "platform/graphics/testing/Golden.h"
#include "platform/graphics/testing/RecordingCanvas.h"
#include "platform/gui/testing/TestDriver.h"
#include "platform/rtl/testing/DecimalCommaLocale.h"
#include "platform/rtl/SysUtils.h"

namespace {

template <class T>
bool Is(const TObject* O)
{
    return dynamic_cast<const T*>(O) != nullptr;
}

AnsiString Texts(TrpPreviewPages* Pages)
{
    AnsiString out;
    for (int i = 0; i < Pages->GetCount(); ++i) {
        out += "|";
        for (const AnsiString& s : PageTexts(Pages, i))
            out += s + ";";
    }
    return out;
}

// Title, page header, a master band with two memos, summary with a total and a page footer
// with page numbers over n rows.
struct TFrameReport : TTestReport {
    explicit TFrameReport(int Rows)
    {
        Data = DataSet("Data", NumberedRows(Rows, 3));
        Title = Band<TrpReportTitle>(0, 20);
        Memo(Title, 0, 0, 200, 20, "Title");
        Header = Band<TrpPageHeader>(30, 15);
        Memo(Header, 0, 0, 200, 15, "Header [Page#]");
        Master = Band<TrpMasterData>(60, 20);
        Master->SetName("Master");
        Master->SetDataSet(Data);
        Memo(Master, 0, 0, 100, 20, "[Line#]. [Data.\"Name\"]");
        Memo(Master, 100, 0, 100, 20, "[Data.\"Sum\"]");
        Summary = Band<TrpReportSummary>(90, 20);
        Memo(Summary, 0, 0, 200, 20, "Total [SUM(<Data.\"Sum\">,Master)]");
        Footer = Band<TrpPageFooter>(120, 15);
        Memo(Footer, 0, 0, 200, 15, "Page [Page#] of [TotalPages#]");
    }
    TRowsDataSet* Data;
    TrpBand *Title, *Header, *Summary;
    TrpPageFooter* Footer;
    TrpMasterData* Master;
};

TEST(EngineFrame, TwoPagesGolden)
{
    TFrameReport t(12);
    t.Report()->GetEngineOptions()->DoublePass = true;
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    ASSERT_EQ(t.Pages()->GetCount(), 2);
    ExpectGolden("engine_frame_two_pages.layout", LayoutDump(t.Pages()));
    ExpectGolden("engine_frame_two_pages.pages", DrawDump(t.Pages()));
}

TEST(EngineFrame, PageFlags)
{
    struct Case {
        const char* why;
        std::function<void(TFrameReport&)> set;
        const char* expected;
    };
    const Case cases[] = {
        {"title before header by default", [](TFrameReport&) {},
         "|Title;Header 1;1. Item 1;10;2. Item 2;20;3. Item 3;30;4. Item 4;40;5. Item 5;50;6. Item 6;60;Page 1 of "
         "[TotalPages#];|Header 2;7. Item 7;70;Total 280;Page 2 of [TotalPages#];"},
        {"page header above the title when TitleBeforeHeader is off",
         [](TFrameReport& r) { r.Page()->TitleBeforeHeader = false; },
         "|Header 1;Title;1. Item 1;10;2. Item 2;20;3. Item 3;30;4. Item 4;40;5. Item 5;50;6. Item 6;60;Page 1 of "
         "[TotalPages#];|Header 2;7. Item 7;70;Total 280;Page 2 of [TotalPages#];"},
        {"page header left out on the first page only",
         [](TFrameReport& r) { static_cast<TrpPageHeader*>(r.Header)->PrintOnFirstPage = false; },
         "|Title;1. Item 1;10;2. Item 2;20;3. Item 3;30;4. Item 4;40;5. Item 5;50;6. Item 6;60;7. Item 7;70;Page 1 "
         "of [TotalPages#];|Header 2;Total 280;Page 2 of [TotalPages#];"},
        {"page footer left out on the first page",
         [](TFrameReport& r) { r.Footer->PrintOnFirstPage = false; },
         "|Title;Header 1;1. Item 1;10;2. Item 2;20;3. Item 3;30;4. Item 4;40;5. Item 5;50;6. Item 6;60;|Header "
         "2;7. Item 7;70;Total 280;Page 2 of [TotalPages#];"},
        {"page footer left out on the last page",
         [](TFrameReport& r) { r.Footer->PrintOnLastPage = false; },
         "|Title;Header 1;1. Item 1;10;2. Item 2;20;3. Item 3;30;4. Item 4;40;5. Item 5;50;6. Item 6;60;Page 1 of "
         "[TotalPages#];|Header 2;7. Item 7;70;Total 280;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TFrameReport t(7);
        c.set(t);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), c.expected);
    }
}

namespace {

// Rows with a child band each, and a summary: which band flags move what to which page.
struct TChildReport : TTestReport {
    TChildReport()
    {
        Master = Band<TrpMasterData>(10, 40);
        Master->SetRowCount(3);
        Memo(Master, 0, 0, 100, 40, "Row [Line]");
        Child = Band<TrpChild>(60, 30);
        Memo(Child, 0, 0, 100, 30, "Child [Line]");
        Master->SetChild(Child);
        Summary = Band<TrpReportSummary>(100, 20);
        Memo(Summary, 0, 0, 100, 20, "Sum");
    }
    TrpChild* AddGrandChild()
    {
        auto* more = Band<TrpChild>(95, 10);
        Memo(more, 0, 0, 100, 10, "More");
        Child->SetChild(more);
        return more;
    }
    // A second report page of two rows with a page header of its own.
    TrpReportPage* AddSecondPage()
    {
        TrpReportPage* page = AddPage();
        Memo(Band<TrpPageHeader>(0, 15, page), 0, 0, 100, 15, "PH2");
        auto* rows = Band<TrpMasterData>(20, 20, page);
        rows->SetRowCount(2);
        Memo(rows, 0, 0, 100, 20, "P2 [Line]");
        return page;
    }
    TrpMasterData* Master;
    TrpChild* Child;
    TrpBand* Summary;
};

}  // namespace

TEST(EngineFrame, BandFlags)
{
    struct Case {
        const char* why;
        std::function<void(TChildReport&)> set;
        const char* expected;
    };
    const Case cases[] = {
        {"a child that does not fit goes on alone", [](TChildReport&) {},
         "|Row 1;Child 1;Row 2;Child 2;Row 3;|Child 3;Sum;"},
        {"KeepChild takes the row on with its child", [](TChildReport& r) { r.Master->KeepChild = true; },
         "|Row 1;Child 1;Row 2;Child 2;|Row 3;Child 3;Sum;"},
        {"StartNewPage on a data band breaks before every row but the first",
         [](TChildReport& r) { r.Master->StartNewPage = true; },
         "|Row 1;Child 1;|Row 2;Child 2;|Row 3;Child 3;Sum;"},
        {"StartNewPage on a child breaks before every child", [](TChildReport& r) { r.Child->StartNewPage = true; },
         "|Row 1;|Child 1;Row 2;|Child 2;Row 3;|Child 3;Sum;"},
        {"StartNewPage on the summary", [](TChildReport& r) { r.Summary->StartNewPage = true; },
         "|Row 1;Child 1;Row 2;Child 2;Row 3;|Child 3;|Sum;"},
        {"an invisible child is left out with the chain after it",
         [](TChildReport& r) {
             r.AddGrandChild();
             r.Child->SetVisible(false);
         },
         "|Row 1;Row 2;Row 3;Sum;"},
        {"PrintChildIfInvisible goes on along the chain",
         [](TChildReport& r) {
             r.AddGrandChild();
             r.Child->SetVisible(false);
             r.Child->PrintChildIfInvisible = true;
         },
         "|Row 1;More;Row 2;More;Row 3;More;Sum;"},
        {"a second report page starts a sheet of its own", [](TChildReport& r) { r.AddSecondPage(); },
         "|Row 1;Child 1;Row 2;Child 2;Row 3;|Child 3;Sum;|PH2;P2 1;P2 2;"},
        {"PrintOnPreviousPage goes on below the last band, without its page header",
         [](TChildReport& r) { r.AddSecondPage()->PrintOnPreviousPage = true; },
         "|Row 1;Child 1;Row 2;Child 2;Row 3;|Child 3;Sum;P2 1;P2 2;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TChildReport t;
        c.set(t);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), c.expected);
    }
}

TEST(EngineFrame, TotalPagesNeedsTwoPasses)
{
    struct Case {
        const char* why;
        bool doublePass;
        const char* expected;
    };
    const Case cases[] = {
        {"one pass: the total is not known while pages are built", false, "0/0;"},
        {"two passes: the first pass's count in the second", true, "3/3;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Report()->GetEngineOptions()->DoublePass = c.doublePass;
        auto* master = t.Band<TrpMasterData>(20, 80);
        master->SetDataSet(t.DataSet("Data", NumberedRows(5)));
        t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 200, 15, "[TotalPages]/[TotalPages]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ASSERT_EQ(t.Pages()->GetCount(), 3);
        AnsiString last;
        for (const AnsiString& s : PageTexts(t.Pages(), 2))
            last += s + ";";
        EXPECT_EQ(last, c.expected);
    }
}

TEST(EngineFrame, EmptyDataAndPrintIfEmpty)
{
    for (bool printIfEmpty : {false, true}) {
        SCOPED_TRACE(printIfEmpty ? "PrintIfEmpty: the frame alone" : "no page for a report without rows");
        TFrameReport t(0);
        t.Report()->GetEngineOptions()->PrintIfEmpty = printIfEmpty;
        t.Prepare();
        EXPECT_EQ(t.Pages()->GetCount(), printIfEmpty ? 1 : 0);
        if (printIfEmpty) {
            EXPECT_EQ(Texts(t.Pages()), "|Title;Header 1;Total;Page 1 of [TotalPages#];");
        }
    }
}

TEST(EngineData, RowCountWithoutDataSet)
{
    TTestReport t;
    auto* band = t.Band<TrpMasterData>(10, 20);
    band->SetRowCount(3);
    t.Memo(band, 0, 0, 100, 20, "Row [Line]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(Texts(t.Pages()), "|Row 1;Row 2;Row 3;");
}

TEST(EngineData, HeaderFooterAndFooterAfterEach)
{
    for (bool afterEach : {false, true}) {
        SCOPED_TRACE(afterEach ? "footer after every row and not again at the end" : "header, rows, footer");
        TTestReport t;
        t.Memo(t.Band<TrpHeader>(0, 15), 0, 0, 100, 15, "Head");
        auto* band = t.Band<TrpMasterData>(20, 15);
        band->SetDataSet(t.DataSet("Data", NumberedRows(2)));
        band->FooterAfterEach = afterEach;
        t.Memo(band, 0, 0, 100, 15, "[Data.\"N\"]");
        t.Memo(t.Band<TrpFooter>(40, 15), 0, 0, 100, 15, "Foot");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), afterEach ? "|Head;1;Foot;2;Foot;" : "|Head;1;2;Foot;");
    }
}

TEST(EngineData, MasterAndDetail)
{
    TTestReport t;
    auto* master = t.Band<TrpMasterData>(10, 15);
    master->SetDataSet(t.DataSet("M", NumberedRows(2)));
    t.Memo(master, 0, 0, 100, 15, "M[M.\"N\"]");
    auto* detail = t.Band<TrpDetailData>(30, 15);
    detail->SetDataSet(t.DataSet("D", NumberedRows(2)));
    t.Memo(detail, 10, 0, 100, 15, "D[D.\"N\"] [Line#]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(Texts(t.Pages()), "|M1;D1 1;D2 2;M2;D1 1;D2 2;");
}

// Groups of three rows with a header, a footer holding the group's total, and a line
// counter that restarts in each group while Line# runs on.
TEST(EngineGroups, HeadersFootersAndTotalsGolden)
{
    TTestReport t;
    TRowsDataSet* data = t.DataSet("Data", NumberedRows(7, 3));
    auto* gh = t.Band<TrpGroupHeader>(10, 15);
    gh->SetName("GH");
    gh->Condition = "Data.\"Group\"";
    t.Memo(gh, 0, 0, 200, 15, "Group [Data.\"Group\"]");
    auto* master = t.Band<TrpMasterData>(30, 15);
    master->SetName("Master");
    master->SetDataSet(data);
    t.Memo(master, 0, 0, 200, 15, "[Line] [Line#] [Data.\"Name\"]");
    auto* gf = t.Band<TrpGroupFooter>(50, 15);
    t.Memo(gf, 0, 0, 200, 15, "Sum [SUM(<Data.\"Sum\">,Master)] count [COUNT(Master)] last [Data.\"N\"]");
    t.Page()->SetPaperHeight(120);
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(Texts(t.Pages()),
              "|Group G1;1 1 Item 1;2 2 Item 2;3 3 Item 3;Sum 60 count 3 last 3;Group G2;1 4 Item 4;2 5 Item 5;3 6 "
              "Item 6;Sum 150 count 3 last 6;Group G3;1 7 Item 7;Sum 70 count 1 last 7;");
    ExpectGolden("engine_groups.layout", LayoutDump(t.Pages()));
}

TEST(EngineGroups, ConditionThatFailsStopsWithAnError)
{
    TTestReport t;
    auto* gh = t.Band<TrpGroupHeader>(10, 15);
    gh->SetName("GH");
    gh->Condition = "1 div (Data.\"N\" - 2)";
    auto* master = t.Band<TrpMasterData>(30, 15);
    master->SetDataSet(t.DataSet("Data", NumberedRows(5)));
    t.Memo(master, 0, 0, 100, 15, "[Data.\"N\"]");
    EXPECT_FALSE(t.Prepare());
    EXPECT_NE(t.Errors().find("GH"), AnsiString::npos) << t.Errors();
    EXPECT_LE(t.Pages()->GetCount(), 1);
}

TEST(EngineColumns, ThreeColumnBandFillsRowsLeftToRight)
{
    TTestReport t;
    auto* band = t.Band<TrpMasterData>(10, 20);
    band->SetDataSet(t.DataSet("Data", NumberedRows(7)));
    band->Columns = 3;
    band->ColumnWidth = 100;
    band->ColumnGap = 10;
    t.Memo(band, 0, 0, 100, 20, "[Data.\"N\"]");
    t.Memo(t.Band<TrpFooter>(40, 15), 0, 0, 100, 15, "end");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    ExpectGolden("engine_columns.layout", LayoutDump(t.Pages()));
    TrpReportPage* page = t.Pages()->GetPage(0);
    std::vector<AnsiString> places;
    for (TrpComponent* c : page->Objects())
        if (Is<TrpDataBand>(c))
            places.push_back(FormatFloat("0", static_cast<double>(c->GetLeft())) + "," +
                             FormatFloat("0", static_cast<double>(c->GetTop())));
    EXPECT_EQ(places, (std::vector<AnsiString>{"0,0", "110,0", "220,0", "0,20", "110,20", "220,20", "0,40"}));
}

// A memo far taller than a page in a band that may split: its lines continue on the next
// pages, and nothing of the text is lost or repeated.
TEST(EngineStretch, MemoSplitsAcrossPages)
{
    TTestReport t;
    AnsiString text;
    for (int i = 1; i <= 30; ++i)
        text += "Line " + IntToStr(i) + (i < 30 ? "\r\n" : "");
    auto* band = t.Band<TrpMasterData>(10, 20);
    band->SetRowCount(1);
    band->AllowSplit = true;
    band->Stretched = true;
    TrpMemoView* m = t.Memo(band, 0, 0, 200, 20, text);
    m->StretchMode = smActualHeight;
    t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 100, 15, "p[Page]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    ASSERT_GE(t.Pages()->GetCount(), 2);
    ExpectGolden("engine_split_memo.layout", LayoutDump(t.Pages()));
    AnsiString joined;
    for (int i = 0; i < t.Pages()->GetCount(); ++i)
        for (const AnsiString& s : PageTexts(t.Pages(), i))
            if (s.substr(0, 1) != "p")
                joined += (joined.empty() ? "" : "\r\n") + s;
    EXPECT_EQ(joined, text);
}

// Every part of a split memo has its frame, gaps and shadow again: the last part is given
// room for them too, so its last lines are printed and not cut off.
TEST(EngineStretch, SplitMemoKeepsItsLastLinesWhateverItsFrame)
{
    struct Case {
        const char* why;
        bool shadow;
        Extended frameWidth, gapY, paragraphGap;
    };
    const Case cases[] = {
        {"a plain memo", false, 1, 1, 0},
        {"a drop shadow", true, 1, 1, 0},
        {"a thick frame", false, 5, 1, 0},
        {"wide gaps", false, 1, 4, 0},
        {"a shadow and a thick frame", true, 3, 2, 0},
        {"a shadow, laid out part by part for its paragraph gap", true, 1, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        for (int lines : {40, 41, 45}) {
            SCOPED_TRACE(lines);
            TTestReport t;
            AnsiString text;
            for (int i = 1; i <= lines; ++i)
                text += "Line " + IntToStr(i) + (i < lines ? "\r\n" : "");
            auto* band = t.Band<TrpMasterData>(100, 40);
            band->SetRowCount(1);
            band->AllowSplit = true;
            band->Stretched = true;
            TrpMemoView* m = t.Memo(band, 20, 5, 200, 30, text);
            m->StretchMode = smActualHeight;
            m->GetFrame()->Typ = TrpFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
            m->GetFrame()->Width = c.frameWidth;
            m->GetFrame()->DropShadow = c.shadow;
            m->GapY = c.gapY;
            m->ParagraphGap = c.paragraphGap;
            ASSERT_TRUE(t.Prepare()) << t.Errors();
            AnsiString joined;
            for (int i = 0; i < t.Pages()->GetCount(); ++i)
                for (const AnsiString& s : PageTexts(t.Pages(), i))
                    joined += (joined.empty() ? "" : "\r\n") + s;
            EXPECT_EQ(joined, text);
        }
    }
}

// The text a part shows: its lines without mark-up, trailing blanks dropped (an empty line
// is laid out as one blank).
std::vector<AnsiString> ShownLines(const AnsiString& Text)
{
    AnsiString plain;
    for (size_t i = 0; i < Text.size(); ++i) {
        const size_t close = Text[i] == '<' ? Text.find('>', i) : AnsiString::npos;
        if (close != AnsiString::npos)
            i = close;
        else
            plain += Text[i];
    }
    TStringList lines;
    lines.SetText(plain);
    std::vector<AnsiString> out;
    for (int i = 0; i < lines.Count(); ++i)
        out.push_back(TrimRight(lines[i]));
    return out;
}

// A memo of 10,000 lines split over hundreds of pages shows every line once and in order,
// whichever way its parts are taken: from one layout, laid out anew for a paragraph gap or
// a width that follows the text, with mark-up (a paragraph opened by tags included), with
// blank lines, wrapped, or as a dot-matrix text.
TEST(EngineStretch, TenThousandLineMemoShowsEveryLineOnceInOrder)
{
    struct Case {
        const char* why;
        bool tags, paragraphGap, autoWidth, wrapped, dotMatrix;
    };
    const Case cases[] = {
        {"plain lines", false, false, false, false, false},
        {"tags, some opening a line", true, false, false, false, false},
        {"a paragraph gap: parts laid out anew", false, true, false, false, false},
        {"tags and a paragraph gap", true, true, false, false, false},
        {"the width follows the text", false, false, true, false, false},
        {"long lines wrapped, with tags", true, false, false, true, false},
        {"long lines wrapped, with tags and a paragraph gap", true, true, false, true, false},
        {"a dot-matrix text", false, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        AnsiString text;
        std::vector<AnsiString> want;
        for (int i = 1; i <= 10000; ++i) {
            AnsiString line = i % 10 == 0 ? AnsiString() : "Line " + IntToStr(i);
            if (c.wrapped && !line.empty())
                line += " alpha <b>beta</b> gamma delta <i>epsilon zeta</i> eta theta iota kappa lambda";
            if (c.tags && i % 3 == 0)
                line = "<b>" + line + "</b>";
            if (c.tags && i % 7 == 0)
                line = "<font color=red>" + line;
            if (c.tags && i % 11 == 0)
                line += "</font>";
            text += line + "\r\n";
            for (const AnsiString& shown : ShownLines(line + "\r\n"))
                want.push_back(shown);
        }
        auto* band = t.Band<TrpMasterData>(10, 20);
        band->SetRowCount(1);
        band->AllowSplit = true;
        band->Stretched = true;
        TrpCustomMemoView* m = nullptr;
        if (c.dotMatrix) {
            m = new TrpDMPMemoView(band);
            m->SetName("Text");
            m->SetBounds(0, 0, 345.6L, 17);
            m->SetText(text);
        } else {
            m = t.Memo(band, 0, 0, 300, 20, text);
        }
        m->StretchMode = smActualHeight;
        m->AllowHTMLTags = c.tags;
        m->AutoWidth = c.autoWidth;
        if (c.paragraphGap)
            m->ParagraphGap = 5;
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ASSERT_GT(t.Pages()->GetCount(), 300);
        std::vector<AnsiString> got;
        for (int i = 0; i < t.Pages()->GetCount(); ++i)
            for (TrpComponent* o : t.Pages()->GetPage(i)->GetAllObjects())
                if (auto* part = dynamic_cast<TrpCustomMemoView*>(o))
                    for (const AnsiString& shown : ShownLines(part->GetText()))
                        got.push_back(shown);
        if (c.wrapped) {
            // A paragraph cut between pages goes on on the next page: compare the words.
            auto words = [](const std::vector<AnsiString>& Lines) {
                std::vector<AnsiString> out;
                for (const AnsiString& line : Lines)
                    for (size_t at = 0; at < line.size();) {
                        size_t end = line.find(' ', at);
                        if (end == AnsiString::npos)
                            end = line.size();
                        if (end > at)
                            out.push_back(line.substr(at, end - at));
                        at = end + 1;
                    }
                return out;
            };
            ASSERT_EQ(words(got), words(want));
        } else {
            ASSERT_EQ(got, want);
        }
    }
}

// A bottom-aligned or centred memo split across pages draws every line of each part inside
// its box, also where a part begins with a paragraph whose first characters are tags.
TEST(EngineStretch, SplitMemoAlignedDownDrawsEveryLineInsideItsBox)
{
    const char* const openers[] = {"", "<b>", "<font color=red>", "</b>", "<u><i>", "<sub>"};
    for (TrpVAlign align : {vaTop, vaCenter, vaBottom})
        for (bool paragraphGap : {false, true})
            for (const char* opener : openers) {
                SCOPED_TRACE(AnsiString("opener ") + opener + " align " + IntToStr(int(align)) +
                             (paragraphGap ? " with a paragraph gap" : ""));
                TTestReport t;
                AnsiString text;
                for (int i = 1; i <= 40; ++i)
                    text += (i % 12 == 1 ? AnsiString(opener) : AnsiString()) + "Line " + IntToStr(i) + "\r\n";
                auto* band = t.Band<TrpMasterData>(10, 20);
                band->SetRowCount(1);
                band->AllowSplit = true;
                band->Stretched = true;
                TrpMemoView* m = t.Memo(band, 0, 0, 200, 20, text);
                m->StretchMode = smActualHeight;
                m->AllowHTMLTags = true;
                m->VAlign = align;
                if (paragraphGap)
                    m->ParagraphGap = 4;
                ASSERT_TRUE(t.Prepare()) << t.Errors();
                ASSERT_GE(t.Pages()->GetCount(), 3);
                int lines = 0;
                for (int i = 0; i < t.Pages()->GetCount(); ++i) {
                    TRecordingCanvas canvas;
                    t.Pages()->DrawPage(i, &canvas.Canvas, 1, 1, 0, 0);
                    for (const TDrawRecord& r : canvas.Device.Records()) {
                        if (r.Op != TDrawOp::Text || r.Text.empty())
                            continue;
                        ++lines;
                        EXPECT_GE(r.Args[1], r.Args[4]) << "page " << i + 1 << ": \"" << r.Text << "\" above its box";
                    }
                }
                EXPECT_EQ(lines, 40);
            }
}

// A memo that takes its width from its text keeps its right edge (right-aligned), its centre
// or its left edge where the template has it, on every page, whether it is split across
// pages or not and whether it flows its rest into another memo.
TEST(EngineStretch, AutoWidthMemoKeepsItsPlaceOnEveryPart)
{
    struct Case {
        TrpHAlign align;
        int lines;
        bool flows;
    };
    const Case cases[] = {
        {haRight, 3, false}, {haRight, 30, false}, {haRight, 3, true},  {haCenter, 3, false},
        {haCenter, 30, false}, {haCenter, 3, true}, {haLeft, 30, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(IntToStr(static_cast<int>(c.align)) + " " + IntToStr(c.lines) + (c.flows ? " flows" : ""));
        TTestReport t;
        AnsiString text;
        for (int i = 1; i <= c.lines; ++i)
            text += "Line " + IntToStr(i) + "\r\n";
        auto* band = t.Band<TrpMasterData>(10, 40);
        band->SetRowCount(1);
        band->AllowSplit = true;
        band->Stretched = true;
        TrpMemoView* m = t.Memo(band, 100, 5, 200, c.flows ? 20 : 30, text);
        m->AutoWidth = true;
        m->HAlign = c.align;
        if (c.flows)
            m->SetFlowTo(t.Memo(band, 0, 30, 90, 40, ""));
        else
            m->StretchMode = smActualHeight;
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ASSERT_EQ(t.Pages()->GetCount(), c.lines > 10 ? 3 : 1);
        for (int i = 0; i < t.Pages()->GetCount(); ++i) {
            DrawDump(t.Pages());  // drawn: the memo has taken its width
            TrpMemoView* drawn = nullptr;
            for (TrpComponent* o : t.Pages()->GetPage(i)->GetAllObjects())
                if (auto* memo = dynamic_cast<TrpMemoView*>(o); memo && memo->GetLeft() >= 50)
                    drawn = memo;
            ASSERT_NE(drawn, nullptr);
            EXPECT_LT(drawn->GetWidth(), 100) << "the width of the text";
            const Extended left = drawn->GetLeft(), right = left + drawn->GetWidth();
            switch (c.align) {
            case haRight: EXPECT_NEAR(double(right), 300, 0.001) << "page " << i + 1; break;
            case haCenter: EXPECT_NEAR(double(left + right) / 2, 200, 0.001) << "page " << i + 1; break;
            default: EXPECT_NEAR(double(left), 100, 0.001) << "page " << i + 1; break;
            }
        }
    }
}

// On a page that holds nothing yet a band that cannot fit would not fit on the next page
// either: it is placed there, overflowing, instead of leaving an empty page behind.
TEST(EngineStretch, BandTallerThanAPageWithoutSplitOverflowsWithoutEmptyPages)
{
    TTestReport t;
    auto* band = t.Band<TrpMasterData>(10, 400);
    band->SetRowCount(2);
    t.Memo(band, 0, 0, 100, 20, "[Line]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(Texts(t.Pages()), "|1;|2;");
}

// Rows of a master band with KeepTogether and its details move to the next page whole
// when they do not fit.
TEST(EngineKeep, KeepTogetherMovesTheWholeBlock)
{
    TTestReport t;
    auto* master = t.Band<TrpMasterData>(10, 40);
    master->SetDataSet(t.DataSet("M", NumberedRows(3)));
    master->KeepTogether = true;
    master->OutlineText = "'M' + IntToStr(<M.\"N\">)";
    t.Memo(master, 0, 0, 100, 40, "M[M.\"N\"]");
    auto* detail = t.Band<TrpDetailData>(60, 20);
    detail->SetDataSet(t.DataSet("D", NumberedRows(2)));
    t.Memo(detail, 10, 0, 100, 20, "D[D.\"N\"]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    // 80 units per block; two blocks do not fit on 189 units with the third: it moves whole.
    EXPECT_EQ(Texts(t.Pages()), "|M1;D1;D2;M2;D1;D2;|M3;D1;D2;");
    ExpectGolden("engine_keep_together.layout", LayoutDump(t.Pages()));
    TrpOutline* outline = t.Pages()->GetOutline();
    outline->LevelRoot();
    ASSERT_EQ(outline->GetCount(), 3);
    AnsiString text;
    int page = -1, top = -1;
    outline->GetItem(2, text, page, top);
    EXPECT_EQ(text, "M3");
    EXPECT_EQ(page, 1) << "the outline entry travels with its block";
    EXPECT_EQ(top, 0);
}

TEST(EngineSubreport, SubreportRunsItsPageAtItsPlace)
{
    TTestReport t;
    TrpReportPage* subPage = t.AddPage();
    auto* subBand = t.Band<TrpMasterData>(0, 15, subPage);
    subBand->SetDataSet(t.DataSet("S", NumberedRows(3)));
    t.Memo(subBand, 0, 0, 100, 15, "S[S.\"N\"]");
    auto* band = t.Band<TrpMasterData>(10, 30);
    band->SetRowCount(2);
    t.Memo(band, 0, 0, 100, 15, "Row [Line]");
    auto* sub = new TrpSubreport(band);
    sub->SetName("Sub1");
    sub->SetBounds(120, 0, 100, 15);
    sub->SetSubPage(subPage);
    t.Memo(t.Band<TrpFooter>(60, 15), 0, 0, 100, 15, "End");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(Texts(t.Pages()), "|Row 1;S1;S2;S3;Row 2;S1;S2;S3;End;");
    ExpectGolden("engine_subreport.layout", LayoutDump(t.Pages()));
}

TEST(EngineOutline, EntriesNestAndNamePages)
{
    TTestReport t;
    t.Page()->OutlineText = "'Page'";
    auto* band = t.Band<TrpMasterData>(10, 100);
    band->SetDataSet(t.DataSet("Data", NumberedRows(3)));
    band->OutlineText = "<Data.\"Name\">";
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    TrpOutline* outline = t.Pages()->GetOutline();
    outline->LevelRoot();
    // One page entry per prepared page, each holding the rows that start on it.
    std::vector<AnsiString> got;
    for (int i = 0; i < outline->GetCount(); ++i) {
        AnsiString text;
        int page = 0, top = 0;
        outline->GetItem(i, text, page, top);
        AnsiString line = text + "@" + IntToStr(page) + ":" + IntToStr(top);
        outline->LevelDown(i);
        for (int k = 0; k < outline->GetCount(); ++k) {
            outline->GetItem(k, text, page, top);
            line += " > " + text + "@" + IntToStr(page) + ":" + IntToStr(top);
        }
        outline->LevelUp();
        got.push_back(line);
    }
    EXPECT_EQ(got, (std::vector<AnsiString>{"Page@0:0 > Item 1@0:0", "Page@1:0 > Item 2@1:0", "Page@2:0 > Item 3@2:0"}));
}

// ---------------------------------------------------------------- bad templates and data

TEST(EngineBadInput, TemplatesThatCanNeverGivePagesStopWithAnError)
{
    struct Case {
        const char* why;
        std::function<void(TTestReport&)> build;
        const char* expected;  // a distinctive part of the error line
    };
    const Case cases[] = {
        {"a page without printable height",
         [](TTestReport& t) {
             t.Page()->TopMargin = 30;
             t.Page()->BottomMargin = 30;
             t.Band<TrpMasterData>(0, 10)->SetRowCount(1);
         },
         "printable area"},
        {"a splittable band on a page its header and footer fill",
         [](TTestReport& t) {
             t.Band<TrpPageHeader>(0, 100);
             t.Band<TrpPageFooter>(300, 100);
             auto* b = t.Band<TrpMasterData>(120, 50);
             b->SetName("Tall");
             b->AllowSplit = true;
             b->SetRowCount(1);
             t.Memo(b, 0, 0, 100, 50, "x");
         },
         "Tall"},
        {"child bands in a ring",
         [](TTestReport& t) {
             auto* b = t.Band<TrpMasterData>(0, 10);
             b->SetRowCount(1);
             auto* c1 = t.Band<TrpChild>(20, 10);
             auto* c2 = t.Band<TrpChild>(40, 10);
             auto* c3 = t.Band<TrpChild>(60, 10);
             b->SetChild(c1);
             c1->SetChild(c2);
             c2->SetChild(c3);
             c3->SetChild(c1);
         },
         "nested deeper"},
        {"a subreport that shows its own page",
         [](TTestReport& t) {
             TrpReportPage* p = t.AddPage();
             auto* b = t.Band<TrpMasterData>(0, 10, p);
             b->SetRowCount(1);
             auto* s = new TrpSubreport(b);
             s->SetName("Self");
             s->SetSubPage(p);
             auto* m = t.Band<TrpMasterData>(0, 10);
             m->SetRowCount(1);
             auto* s2 = new TrpSubreport(m);
             s2->SetName("Outer");
             s2->SetSubPage(p);
         },
         "nested deeper"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        c.build(t);
        EXPECT_FALSE(t.Prepare());
        EXPECT_NE(t.Errors().find(c.expected), AnsiString::npos) << t.Errors();
        EXPECT_LT(t.Pages()->GetCount(), 5);
    }
}

TEST(EngineBadInput, PageHeaderTallerThanThePageDoesNotRecurse)
{
    TTestReport t;
    t.Memo(t.Band<TrpPageHeader>(0, 300), 0, 0, 100, 15, "H");
    auto* b = t.Band<TrpMasterData>(310, 20);
    b->SetRowCount(3);
    t.Memo(b, 0, 0, 100, 15, "[Line]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(Texts(t.Pages()), "|H;1;|H;2;|H;3;");
}

TEST(EngineCancel, TerminatedStopsBetweenRows)
{
    TTestReport t;
    auto* b = t.Band<TrpMasterData>(0, 20);
    b->SetRowCount(1000);
    int pages = 0;
    t.Report()->OnProgress = TrpProgressEvent::Lambda([&](TrpReport* Sender, TrpProgressType, int) {
        if (++pages == 2)
            Sender->SetTerminated(true);
    });
    t.Prepare();
    EXPECT_EQ(t.Pages()->GetCount(), 2) << "the pages built so far stay; nothing after Cancel";
}

}  // namespace

namespace {

// The program's own road: the report saves itself before a run and reloads afterwards, so
// the template objects the pages were built from are gone when the pages are drawn; and a
// second run into the same pages.
TEST(EngineRestore, PagesOutliveTheReloadedTemplateAndRunAgain)
{
    TTestReport t;
    t.Report()->GetEngineOptions()->RestoreReport = true;
    auto* band = t.Band<TrpMasterData>(10, 100);
    band->SetDataSet(t.DataSet("Data", NumberedRows(3)));
    t.Memo(band, 0, 0, 100, 20, "[Data.\"Name\"]");
    t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 100, 15, "F");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    const AnsiString first = DrawDump(t.Pages());
    EXPECT_EQ(t.Pages()->GetCount(), 3);
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(DrawDump(t.Pages()), first);
    ASSERT_TRUE(t.Report()->PrepareReport(false)) << t.Errors();
    EXPECT_EQ(t.Pages()->GetCount(), 6) << "a run without clearing adds its pages after the old ones";
}

}  // namespace

namespace {

// A dialog page with a control is shown before the pages are built; Cancel there builds
// nothing and is no error.
TEST(EngineDialogs, CancelledDialogBuildsNothing)
{
    for (int answer : {mrOk, mrCancel}) {
        SCOPED_TRACE(answer == mrOk ? "OK: the pages are built" : "Cancel: nothing is built");
        TTestReport t;
        auto* dialog = new TrpDialogPage(t.Report());
        dialog->SetName("Dialog1");
        auto* control = new TrpDialogControl(dialog);
        control->SetName("Button1");
        control->InitControl(std::make_unique<TButton>(nullptr));
        auto* band = t.Band<TrpMasterData>(0, 20);
        band->SetRowCount(2);
        t.Memo(band, 0, 0, 100, 20, "[Line]");
        int shown = 0;
        t.Engine()->OnRunDialogs = TNotifyEvent::Lambda([&](TObject* Sender) {
            ++shown;
            static_cast<TrpDialogPage*>(Sender)->SetModalResult(answer);
        });
        const bool built = t.Prepare();
        EXPECT_EQ(shown, 1);
        EXPECT_EQ(built, answer == mrOk) << t.Errors();
        EXPECT_EQ(t.Pages()->GetCount(), answer == mrOk ? 1 : 0);
        EXPECT_EQ(t.Errors(), "");
    }
}

}  // namespace

namespace {

// A control on a dialog page hands the user's mouse and keys to the script procedures
// named in its events, with itself as the sender; a key-press procedure may change the
// character typed.
TEST(EngineDialogs, ControlEventsReachTheScript)
{
    TTestReport t;
    auto* dialog = new TrpDialogPage(t.Report());
    dialog->SetName("Dialog1");
    auto* control = new TrpDialogControl(dialog);
    control->SetName("Edit1");
    control->InitControl(std::make_unique<TEdit>(nullptr));
    control->OnMouseDown = "Down";
    control->OnMouseUp = "Up";
    control->OnClick = "Click";
    control->OnDblClick = "DblClick";
    control->OnKeyPress = "KeyPress";
    t.Memo(t.Band<TrpReportTitle>(0, 20), 0, 0, 300, 20, "[Log]");
    t.Report()->GetScriptText()->SetText(
        "var Log: String;\n"
        "procedure Down(Sender: TObject; Button, Shift, X, Y: Integer);\n"
        "begin Log := Log + 'down ' + TComponent(Sender).Name + ' ' + IntToStr(Button) + ' ' + IntToStr(X) + "
        "' ' + IntToStr(Y) + ','; end;\n"
        "procedure Up(Sender: TObject; Button, Shift, X, Y: Integer);\n"
        "begin Log := Log + 'up ' + IntToStr(Button) + ','; end;\n"
        "procedure Click(Sender: TObject); begin Log := Log + 'click ' + TComponent(Sender).Name + ','; end;\n"
        "procedure DblClick(Sender: TObject); begin Log := Log + 'double,'; end;\n"
        "procedure KeyPress(Sender: TObject; var Key: String);\n"
        "begin Log := Log + 'key ' + Key + ','; if Key = 'a' then Key := 'z'; end;\n"
        "begin end.");
    TTestDriver d;
    AnsiString typed;
    d.ExpectModal(dialog->Form(), [&] {
        auto* edit = static_cast<TEdit*>(control->Control());
        d.RightClick(edit, 3, 4);
        d.Click(edit);
        d.DoubleClick(edit);
        d.Press(edit, "ab");
        typed = edit->GetText();
        dialog->Form()->SetModalResult(mrOk);
    });
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(Texts(t.Pages()), "|down Edit1 1 3 4,up 1,click Edit1,double,key a,key b,;")
        << "a right click is button 1; the sender is the component, not its window";
    EXPECT_EQ(typed, "zb");
}

}  // namespace

namespace {

// A vertical band over three records repeats its part of a horizontal band across the
// row; wider than the page, the row continues on the next page at the same height.
TEST(EngineVertical, VerticalBandRepeatsAcrossTheRow)
{
    for (int columns : {3, 9}) {
        SCOPED_TRACE(columns == 3 ? "three columns fit on the page" : "nine columns break onto a second page");
        TTestReport t;
        auto* row = t.Band<TrpMasterData>(10, 20);
        row->SetRowCount(1);
        t.Memo(row, 0, 0, 50, 20, "[V.\"N\"]");
        auto* vband = t.Band<TrpMasterData>(0, 0);
        vband->Vertical = true;
        vband->SetBounds(0, 0, 50, 100);
        vband->SetDataSet(t.DataSet("V", NumberedRows(columns)));
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        AnsiString got;
        for (int i = 0; i < t.Pages()->GetCount(); ++i) {
            got += "|";
            for (const AnsiString& s : PageTexts(t.Pages(), i))
                got += s + ";";
        }
        EXPECT_EQ(got, columns == 3 ? "|1;2;3;" : "|1;2;3;4;5;6;|7;8;9;");
    }
}

}  // namespace

namespace {

TEST(EngineData, HeaderReprintedOnEveryNewPageWhileItsBandRuns)
{
    TTestReport t;
    auto* header = t.Band<TrpHeader>(0, 15);
    header->ReprintOnNewPage = true;
    t.Memo(header, 0, 0, 100, 15, "Head");
    auto* band = t.Band<TrpMasterData>(20, 60);
    band->SetDataSet(t.DataSet("Data", NumberedRows(5)));
    t.Memo(band, 0, 0, 100, 15, "[Data.\"N\"]");
    t.Memo(t.Band<TrpFooter>(90, 15), 0, 0, 100, 15, "Foot");
    t.Memo(t.Band<TrpReportSummary>(110, 100), 0, 0, 100, 15, "Summary");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(Texts(t.Pages()), "|Head;1;2;|Head;3;4;|Head;5;Foot;|Summary;")
        << "no header once its footer has printed";
}

// Rows kept together with their details that move to the next page count in that page's
// footer total, not in the total of the page they left.
TEST(Aggregates, KeptRowsCountInThePageWhereTheyPrint)
{
    TTestReport t;
    auto* master = t.Band<TrpMasterData>(10, 40);
    master->SetName("Master");
    master->SetDataSet(t.DataSet("M", NumberedRows(3)));
    master->KeepTogether = true;
    t.Memo(master, 0, 0, 100, 40, "M[M.\"N\"]");
    auto* detail = t.Band<TrpDetailData>(60, 20);
    detail->SetDataSet(t.DataSet("D", NumberedRows(2)));
    t.Memo(detail, 10, 0, 100, 20, "D[D.\"N\"]");
    t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 100, 15, "n=[COUNT(Master)] s=[SUM(<M.\"N\">,Master)]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(Texts(t.Pages()), "|M1;D1;D2;M2;D1;D2;n=2 s=3;|M3;D1;D2;n=1 s=3;");
}

}  // namespace

namespace {

// Figures in memos print the same whatever the C library's numbers are: Qt switches them
// to the desktop's, which on a Russian desktop writes and reads a decimal comma.
TEST(EngineMemoFormats, FiguresPrintTheSameUnderTheDesktopsDecimalComma)
{
    struct Case {
        const char* text;
        const char* printed;
    };
    const Case cases[] = {
        {"[1234.5 #N#,##0.00]", "1,234.50"},    // picture with thousands
        {"[12.5 #N0,00]", "12,50"},             // the picture's own separator
        {"[3.14159 #N%2.2f]", "3.14"},          // format string
        {"[1/4]", "0,25"},                      // plain value, the program's separator
        {"[<D.\"Sum\"> * 2 #N0.000]", "2469.000"},  // a field in an expression
        {"[D.\"Sum\"]", "1234,5"},            // a field alone
        {"[FormatFloat('0.0', 2.25)]", "2,3"},  // the script's own formatting
    };
    auto run = [&] {
        TTestReport t;
        auto* ds = t.DataSet("D", {{{"Sum", Variant(1234.5)}}});
        auto* band = t.Band<TrpMasterData>(0, 20 * Extended(std::size(cases)));
        band->SetDataSet(ds);
        for (size_t i = 0; i < std::size(cases); ++i)
            t.Memo(band, 0, 20 * Extended(i), 300, 20, cases[i].text);
        EXPECT_TRUE(t.Prepare()) << t.Errors();
        return PageTexts(t.Pages(), 0);
    };
    std::vector<AnsiString> expected;
    for (const Case& c : cases)
        expected.push_back(c.printed);
    EXPECT_EQ(run(), expected) << "with the C library's own numbers";
    TDecimalCommaLocale comma;
    if (!comma.On())
        GTEST_SKIP() << "no locale with a decimal comma can be had here";
    EXPECT_EQ(run(), expected) << "with the desktop's decimal comma";
}

}  // namespace

namespace {

// A key-press procedure that empties the key refuses the character, whether it hears the
// dialog page's keys or a control's, in every syntax: a quantity box that takes digits only.
TEST(EngineDialogs, AnEmptiedKeyTypesNothing)
{
    struct Case {
        const char* language;
        const char* script;
    };
    const Case cases[] = {
        {"PascalScript",
         "procedure KP(Sender: TObject; var Key: String); begin if Key = '.' then Key := ''; end;\nbegin end."},
        {"C++Script", "void KP(TObject Sender, string &Key) { if (Key == \".\") Key = \"\"; }\n{ }"},
        {"JScript", "function KP(Sender, &Key) { if (Key == \".\") Key = \"\"; }\n"},
        {"BasicScript", "Sub KP(Sender, ByRef Key)\nIf Key = \".\" Then Key = \"\"\nEnd Sub\n"},
    };
    for (const Case& c : cases)
        for (bool onPage : {true, false}) {
            SCOPED_TRACE(std::string(c.language) + (onPage ? ", the page's keys" : ", the control's keys"));
            TTestReport t;
            t.Report()->ScriptLanguage = c.language;
            t.Report()->GetScriptText()->SetText(c.script);
            auto* dialog = new TrpDialogPage(t.Report());
            dialog->SetName("Dialog1");
            auto* control = new TrpDialogControl(dialog);
            control->SetName("Edit1");
            control->InitControl(std::make_unique<TEdit>(nullptr));
            (onPage ? dialog->OnKeyPress : control->OnKeyPress) = "KP";
            t.Memo(t.Band<TrpReportTitle>(0, 20), 0, 0, 100, 20, "Q");
            TTestDriver d;
            AnsiString typed;
            d.ExpectModal(dialog->Form(), [&] {
                auto* edit = static_cast<TEdit*>(control->Control());
                d.Press(edit, "1.5");
                typed = edit->GetText();
                dialog->Form()->SetModalResult(mrOk);
            });
            ASSERT_TRUE(t.Prepare()) << t.Errors();
            EXPECT_EQ(typed, "15");
        }
}

}  // namespace
