// A run leaves the template as it found it; pages built in parts and moved by
// keep-together carry their footers and outline entries along.
#include "report/output/tests/EngineTestSupport.h"

#include "report/output/rpOutline.h"

#include "platform/rtl/SysUtils.h"

#include <functional>

namespace {

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

AnsiString Saved(TrpReport* Report)
{
    TStringStream s;
    Report->SaveToStream(s);
    return s.DataString();
}

// A band of rows over "H" (Rows), each record "R<N>" in a memo 50 wide and CellText beside
// it at 50, over a vertical band there, 50 wide, of Columns records of "V".
TrpMasterData* WideRows(TTestReport& t, Extended Top, Extended Height, std::vector<std::map<AnsiString, Variant>> Rows,
                        int Columns, const AnsiString& CellText = "[H.\"N\"]:[V.\"N\"]")
{
    auto* row = t.Band<TrpMasterData>(Top, Height);
    row->SetDataSet(t.DataSet("H", std::move(Rows)));
    t.Memo(row, 0, 0, 50, Height, "R[H.\"N\"]");
    t.Memo(row, 50, 0, 50, Height, CellText);
    auto* vband = t.Band<TrpMasterData>(0, 0);
    vband->Vertical = true;
    vband->SetBounds(50, 0, 50, 100);
    vband->SetDataSet(t.DataSet("V", NumberedRows(Columns)));
    return row;
}

// A column footer and a page footer, each printing "c<N>" and "f<N>" over the vertical band
// of WideRows; the page footer's own text PageText at its left.
void CellFooters(TTestReport& t, const AnsiString& PageText)
{
    t.Memo(t.Band<TrpColumnFooter>(130, 15), 50, 0, 50, 15, "c[V.\"N\"]");
    auto* pf = t.Band<TrpPageFooter>(150, 15);
    t.Memo(pf, 0, 0, 40, 15, PageText);
    t.Memo(pf, 50, 0, 50, 15, "f[V.\"N\"]");
}

// Rows R1, R2, each with three vertical columns starting at 50.
void VerticalRows(TTestReport& t)
{
    WideRows(t, 10, 20, NumberedRows(2), 3);
}

TEST(EngineTemplate, VerticalBandAwayFromTheEdgeTwice)
{
    TTestReport t;
    VerticalRows(t);
    const AnsiString before = Saved(t.Report());
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + IntToStr(run));
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), "|R1;1:1;1:2;1:3;R2;2:1;2:2;2:3;");
        EXPECT_EQ(Saved(t.Report()), before);
    }
}

// Rows of vertical columns wider than the page print in parts on the following pages; each
// of those pages gets its page header and page footer like any other.
TEST(EngineTemplate, RowInPartsEndsEveryPage)
{
    TTestReport t;
    t.Memo(t.Band<TrpPageHeader>(0, 15), 0, 0, 100, 15, "PH");
    WideRows(t, 20, 20, NumberedRows(2), 8);
    t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 100, 15, "PF [Page#]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    // The footers end each page, after all its rows; the columns start where the vertical
    // band lies, beside the row's own text.
    EXPECT_EQ(Texts(t.Pages()), "|PH;R1;1:1;1:2;1:3;1:4;1:5;R2;2:1;2:2;2:3;2:4;2:5;PF 1;"
                                "|PH;1:6;1:7;1:8;2:6;2:7;2:8;PF 2;");
}

// Every outline entry as "text@page:top", depth first, sub-entries in brackets.
AnsiString Outline(TrpXMLItem* Item)
{
    AnsiString out;
    for (int i = 0; i < Item->Count(); ++i) {
        TrpXMLItem* e = Item->Items(i);
        out += " " + e->Prop("text") + "@" + e->Prop("page") + ":" + e->Prop("top");
        if (e->Count() > 0)
            out += " [" + Outline(e) + " ]";
    }
    return out;
}

// Group headers shown for a record are never left alone at the foot of a page when a block
// kept together from right after them moves on (an inner group kept together, a footer kept
// with the record): they go along, once, with their outline entries. A record that only
// continues its group moves without the header.
TEST(EngineTemplate, GroupHeadersGoWithTheBlockAfterThem)
{
    struct Case {
        const char* why;
        std::vector<std::pair<const char*, const char*>> groups;  // per record: outer, inner
        bool keepFooter, innerKept, reprint;
        Extended footerHeight;
        const char* pages;
        const char* outline;
        bool title = false;  // a report title above: the first block is kept too
    };
    const Case cases[] = {
        {"the last record opens the inner group; the footer is kept with it",
         {{"A0", "B0"}, {"A0", "B0"}, {"A0", "B0"}, {"A0", "B1"}}, true, false, false, 40,
         "|A0;B0;1;2;3;fB;|B1;4;fB;fA;F;", " A0@0:0 [ B0@0:15 B1@1:0 ]"},
        {"the last record opens both groups; the footer is kept with it",
         {{"A0", "B0"}, {"A0", "B0"}, {"A0", "B0"}, {"A1", "B1"}}, true, false, true, 20,
         "|A0;B0;1;2;3;fB;fA;|A1;B1;4;fB;fA;F;", " A0@0:0 [ B0@0:15 ] A1@1:0 [ B1@1:15 ]"},
        {"the last record continues its group: the header stays",
         {{"A0", "B0"}, {"A0", "B0"}, {"A0", "B0"}, {"A0", "B0"}}, true, false, false, 50,
         "|A0;B0;1;2;3;|4;fB;fA;F;", " A0@0:0 [ B0@0:15 ]"},
        {"an inner group kept together takes the outer header just shown, printed once",
         {{"A0", "B0"}, {"A0", "B0"}, {"A0", "B0"}, {"A1", "B1"}, {"A1", "B1"}, {"A1", "B1"}}, false, true, true, 20,
         "|A0;B0;1;2;3;fB;fA;|A1;B1;4;5;6;fB;fA;F;", " A0@0:0 [ B0@0:15 ] A1@1:0 [ B1@1:15 ]"},
        {"an outer header a kept block brought is reprinted over the next kept block that moves",
         {{"A0", "B0"}, {"A0", "B0"}, {"A0", "B0"}, {"A0", "B1"}, {"A0", "B1"}, {"A0", "B1"}}, false, true, true, 20,
         "|T;A0;B0;1;2;3;fB;|A0;B1;4;5;6;fB;fA;F;", " A0@0:10 [ B0@0:25 B1@1:15 ]", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        std::vector<std::map<AnsiString, Variant>> rows = NumberedRows(static_cast<int>(c.groups.size()));
        for (size_t i = 0; i < rows.size(); ++i) {
            rows[i]["G1"] = AnsiString(c.groups[i].first);
            rows[i]["G2"] = AnsiString(c.groups[i].second);
        }
        if (c.title)
            t.Memo(t.Band<TrpReportTitle>(0, 10), 0, 0, 100, 10, "T");
        auto* outer = t.Band<TrpGroupHeader>(12, 15);
        outer->Condition = "<D.\"G1\">";
        outer->ReprintOnNewPage = c.reprint;
        outer->OutlineText = "<D.\"G1\">";
        t.Memo(outer, 0, 0, 100, 15, "[D.\"G1\"]");
        auto* inner = t.Band<TrpGroupHeader>(20, 15);
        inner->Condition = "<D.\"G2\">";
        inner->KeepTogether = c.innerKept;
        inner->ReprintOnNewPage = c.reprint;
        inner->OutlineText = "<D.\"G2\">";
        t.Memo(inner, 0, 0, 100, 15, "[D.\"G2\"]");
        auto* m = t.Band<TrpMasterData>(40, 25);
        m->KeepFooter = c.keepFooter;
        m->SetDataSet(t.DataSet("D", rows));
        t.Memo(m, 0, 0, 100, 25, "[D.\"N\"]");
        t.Memo(t.Band<TrpGroupFooter>(70, 5), 0, 0, 100, 5, "fB");
        t.Memo(t.Band<TrpGroupFooter>(80, 5), 0, 0, 100, 5, "fA");
        t.Memo(t.Band<TrpFooter>(90, c.footerHeight), 0, 0, 100, 15, "F");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), c.pages);
        EXPECT_EQ(Outline(t.Pages()->GetOutline()->Root()), c.outline);
    }
}

// A block kept with its child bands right after group headers just shown (the record that
// began its group, an inner group header) takes those headers along to the next page,
// printed once, rather than leaving them alone at the foot of the page (or printing them
// there and again above it when they are reprinted on new pages). A record that only
// continues its group moves without them.
TEST(EngineTemplate, GroupHeadersGoWithABandKeptWithItsChild)
{
    struct Case {
        int rows;  // the last record begins groups B and b, the others are in A and a
        bool inner;  // the inner header is kept with its child, else the record is
        bool reprint;
        const char* pages;
    };
    const Case cases[] = {
        {3, false, false, "|A;1;c;2;c;gf;|B;3;c;gf;"},
        {3, false, true, "|A;1;c;2;c;gf;|B;3;c;gf;"},
        {5, false, false, "|A;1;c;2;c;3;c;|4;c;gf;B;5;c;gf;"},
        {5, false, true, "|A;1;c;2;c;3;c;|A;4;c;gf;B;5;c;gf;"},
        {6, false, true, "|A;1;c;2;c;3;c;|A;4;c;5;c;gf;|B;6;c;gf;"},
        {4, true, false, "|A;a;c;1;2;3;gf;|B;b;c;4;gf;"},
        {4, true, true, "|A;a;c;1;2;3;gf;|B;b;c;4;gf;"},
        {5, true, false, "|A;a;c;1;2;3;4;gf;|B;b;c;5;gf;"},
        {6, true, true, "|A;a;c;1;2;3;4;5;|A;a;c;gf;B;b;c;6;gf;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Format("%d records%s%s", {c.rows, c.inner ? ", inner header kept" : ", record kept",
                                                c.reprint ? ", headers reprinted" : ""}));
        TTestReport t;
        std::vector<std::map<AnsiString, Variant>> rows = NumberedRows(c.rows);
        for (size_t i = 0; i < rows.size(); ++i) {
            rows[i]["G1"] = AnsiString(i + 1 < rows.size() ? "A" : "B");
            rows[i]["G2"] = AnsiString(i + 1 < rows.size() ? "a" : "b");
        }
        auto* g = t.Band<TrpGroupHeader>(12, 15);
        g->Condition = "<D.\"G1\">";
        g->ReprintOnNewPage = c.reprint;
        t.Memo(g, 0, 0, 100, 15, "[D.\"G1\"]");
        TrpBand* kept = nullptr;
        if (c.inner) {
            auto* inner = t.Band<TrpGroupHeader>(30, 15);
            inner->Condition = "<D.\"G2\">";
            inner->ReprintOnNewPage = c.reprint;
            t.Memo(inner, 0, 0, 100, 15, "[D.\"G2\"]");
            kept = inner;
        }
        auto* m = t.Band<TrpMasterData>(100, 25);
        m->SetDataSet(t.DataSet("D", rows));
        t.Memo(m, 0, 0, 100, 25, "[D.\"N\"]");
        if (!kept)
            kept = m;
        kept->KeepChild = true;
        auto* child = t.Band<TrpChild>(kept->GetTop() + 30, 30);
        t.Memo(child, 0, 0, 50, 30, "c");
        kept->SetChild(child);
        t.Memo(t.Band<TrpGroupFooter>(170, 5), 0, 0, 100, 5, "gf");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), c.pages);
    }
}

// A block kept together that moves to the next page takes every outline entry made inside
// it along, at whatever level the block opened them.
TEST(EngineTemplate, KeptBlockMovesItsOutlineEntries)
{
    struct Case {
        const char* why;
        bool outerKept, innerKept;
        const char* pages;
        const char* outline;
    };
    const Case cases[] = {
        {"the inner group is kept: the outer header just shown goes along, not left alone", false, true,
         "|A1;B1;1;2;3;|A2;B2;4;5;6;",
         " A1@0:0 [ B1@0:20 ] A2@1:0 [ B2@1:20 ]"},
        {"the outer group is kept: its entry moves with everything under it", true, false,
         "|A1;B1;1;2;3;|A2;B2;4;5;6;",
         " A1@0:0 [ B1@0:20 ] A2@1:0 [ B2@1:20 ]"},
        {"both are kept", true, true,
         "|A1;B1;1;2;3;|A2;B2;4;5;6;",
         " A1@0:0 [ B1@0:20 ] A2@1:0 [ B2@1:20 ]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        auto* outer = t.Band<TrpGroupHeader>(0, 20);
        outer->Condition = "<D.\"Group\">";
        outer->KeepTogether = c.outerKept;
        outer->OutlineText = "'A' + Copy(<D.\"Group\">, 2, 1)";
        t.Memo(outer, 0, 0, 100, 20, "A[Copy(<D.\"Group\">, 2, 1)]");
        auto* inner = t.Band<TrpGroupHeader>(30, 20);
        inner->Condition = "<D.\"Group\">";
        inner->KeepTogether = c.innerKept;
        inner->OutlineText = "'B' + Copy(<D.\"Group\">, 2, 1)";
        t.Memo(inner, 0, 0, 100, 20, "B[Copy(<D.\"Group\">, 2, 1)]");
        auto* rows = t.Band<TrpMasterData>(60, 20);
        rows->SetDataSet(t.DataSet("D", NumberedRows(6, 3)));
        t.Memo(rows, 0, 0, 100, 20, "[D.\"N\"]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), c.pages);
        EXPECT_EQ(Outline(t.Pages()->GetOutline()->Root()), c.outline);
    }
}

// A double-pass report stopped while it counts its pages keeps none of the first pass's
// pages, which hold no text yet: the final pass prints (here the stop came in the first pass
// only, so the final pass prints every row); stopped in the final pass, it keeps what it
// printed.
TEST(EngineTemplate, StoppedDoublePassShowsNoUnevaluatedText)
{
    for (bool inFinalPass : {false, true}) {
        SCOPED_TRACE(inFinalPass ? "stopped in the final pass" : "stopped in the first pass");
        TTestReport t;
        t.Report()->GetEngineOptions()->DoublePass = true;
        auto* band = t.Band<TrpMasterData>(10, 60);
        band->SetName("Rows");
        band->SetDataSet(t.DataSet("D", NumberedRows(6)));
        t.Memo(band, 0, 0, 100, 20, "Row [D.\"N\"]");
        TrpEngine* engine = t.Engine();
        t.Report()->OnBeforePrint = TrpBeforePrintEvent::Lambda([&](TrpReportComponent* Sender) {
            if (Sender == band && engine->FinalPass == inFinalPass && engine->CurLine == 4)
                engine->StopReport();
        });
        t.Prepare();
        const AnsiString texts = Texts(t.Pages());
        EXPECT_EQ(texts.find('['), AnsiString::npos) << texts;
        EXPECT_EQ(texts, inFinalPass ? "|Row 1;Row 2;Row 3;|Row 4;" : "|Row 1;Row 2;Row 3;|Row 4;Row 5;Row 6;");
    }
}

// Every kind of template: saved, run twice without being reloaded, saved again. The
// second run prints what the first did, and the template is byte for byte the same.
TEST(EngineTemplate, RunGivesBackEveryGeometry)
{
    struct Case {
        const char* why;
        std::function<void(TTestReport&)> build;
    };
    const auto stretchy = [](TTestReport& t, TrpBand* b, Extended top, const AnsiString& text) {
        TrpMemoView* m = t.Memo(b, 0, top, 100, 15, text);
        m->StretchMode = smActualHeight;
        return m;
    };
    const Case cases[] = {
        {"page frame bands",
         [&](TTestReport& t) {
             t.Memo(t.Band<TrpReportTitle>(0, 15), 0, 0, 100, 15, "Title");
             t.Memo(t.Band<TrpPageHeader>(20, 15), 0, 0, 100, 15, "Head [Page#]");
             t.Memo(t.Band<TrpOverlay>(40, 15), 200, 0, 100, 15, "Over");
             auto* b = t.Band<TrpMasterData>(60, 40);
             b->SetDataSet(t.DataSet("D", NumberedRows(9)));
             t.Memo(b, 0, 0, 100, 15, "[D.\"N\"]");
             t.Memo(t.Band<TrpReportSummary>(110, 15), 0, 0, 100, 15, "Sum");
             t.Memo(t.Band<TrpPageFooter>(150, 20), 0, 0, 100, 15, "Foot");
         }},
        {"header, groups, footer, child and stretching",
         [&](TTestReport& t) {
             auto* h = t.Band<TrpHeader>(0, 15);
             h->ReprintOnNewPage = true;
             t.Memo(h, 0, 0, 100, 15, "H");
             auto* g = t.Band<TrpGroupHeader>(20, 15);
             g->Condition = "<D.\"Group\">";
             g->ReprintOnNewPage = true;
             g->KeepTogether = true;
             t.Memo(g, 0, 0, 100, 15, "G[D.\"Group\"]");
             auto* b = t.Band<TrpMasterData>(40, 15);
             b->SetName("Rows");
             b->Stretched = true;
             b->SetDataSet(t.DataSet("D", NumberedRows(9, 4)));
             stretchy(t, b, 0, "[D.\"Name\"]\r\nsecond line");
             t.Memo(b, 0, 15, 100, 15, "under");
             auto* c = t.Band<TrpChild>(60, 10);
             t.Memo(c, 0, 0, 100, 10, "child");
             b->SetChild(c);
             t.Memo(t.Band<TrpGroupFooter>(80, 15), 0, 0, 100, 15, "GF[COUNT(Rows)]");
             t.Memo(t.Band<TrpFooter>(100, 15), 0, 0, 100, 15, "F");
         }},
        {"master, detail and subdetail kept together and split",
         [&](TTestReport& t) {
             auto* m = t.Band<TrpMasterData>(0, 15);
             m->SetDataSet(t.DataSet("M", NumberedRows(3)));
             m->KeepTogether = true;
             t.Memo(m, 0, 0, 100, 15, "M[M.\"N\"]");
             auto* d = t.Band<TrpDetailData>(20, 15);
             d->SetDataSet(t.DataSet("D", NumberedRows(4)));
             d->AllowSplit = true;
             d->Stretched = true;
             stretchy(t, d, 0, "D[D.\"N\"]\r\n2\r\n3\r\n4\r\n5\r\n6");
             auto* s = t.Band<TrpSubdetailData>(40, 15);
             s->SetRowCount(2);
             t.Memo(s, 10, 0, 100, 15, "S[Line]");
         }},
        {"page columns with column header and footer",
         [&](TTestReport& t) {
             t.Page()->SetColumns(2);
             t.Memo(t.Band<TrpColumnHeader>(0, 15), 0, 0, 100, 15, "CH");
             auto* b = t.Band<TrpMasterData>(20, 20);
             b->SetDataSet(t.DataSet("D", NumberedRows(20)));
             t.Memo(b, 0, 0, 100, 15, "[D.\"N\"]");
             t.Memo(t.Band<TrpColumnFooter>(60, 15), 0, 0, 100, 15, "CF");
         }},
        {"band columns",
         [&](TTestReport& t) {
             auto* b = t.Band<TrpMasterData>(20, 20);
             b->Columns = 3;
             b->ColumnWidth = 90;
             b->ColumnGap = 10;
             b->SetDataSet(t.DataSet("D", NumberedRows(20)));
             t.Memo(b, 0, 0, 80, 15, "[D.\"N\"]");
         }},
        {"subreports beside and inside a band",
         [&](TTestReport& t) {
             TrpReportPage* beside = t.AddPage();
             auto* sb = t.Band<TrpMasterData>(5, 15, beside);
             sb->SetDataSet(t.DataSet("S", NumberedRows(12)));
             t.Memo(sb, 0, 0, 100, 15, "S[S.\"N\"]");
             TrpReportPage* inside = t.AddPage();
             auto* ib = t.Band<TrpMasterData>(5, 15, inside);
             ib->SetDataSet(t.DataSet("I", NumberedRows(3)));
             stretchy(t, ib, 0, "I[I.\"N\"]");
             auto* band = t.Band<TrpMasterData>(10, 30);
             band->SetRowCount(2);
             t.Memo(band, 0, 0, 100, 15, "Row [Line]");
             auto* s1 = new TrpSubreport(band);
             s1->SetName("Beside");
             s1->SetBounds(120, 5, 100, 15);
             s1->SetSubPage(beside);
             auto* s2 = new TrpSubreport(band);
             s2->SetName("Inside");
             s2->SetBounds(240, 10, 100, 15);
             s2->PrintOnParent = true;
             s2->SetSubPage(inside);
         }},
        {"vertical bands with header, footer and a wrap",
         [&](TTestReport& t) {
             t.Memo(t.Band<TrpPageHeader>(0, 15), 0, 0, 100, 15, "PH");
             auto* row = t.Band<TrpMasterData>(20, 20);
             row->SetDataSet(t.DataSet("H", NumberedRows(2)));
             t.Memo(row, 0, 0, 40, 20, "R[H.\"N\"]");
             t.Memo(row, 40, 0, 30, 20, "vh");
             t.Memo(row, 75, 0, 45, 20, "[H.\"N\"]:[V.\"N\"]");
             t.Memo(row, 125, 0, 30, 20, "vf");
             auto* vh = t.Band<TrpHeader>(0, 0);
             vh->Vertical = true;
             vh->ReprintOnNewPage = true;
             vh->SetBounds(40, 0, 30, 100);
             auto* vband = t.Band<TrpMasterData>(0, 0);
             vband->Vertical = true;
             vband->SetBounds(75, 0, 45, 100);
             vband->SetDataSet(t.DataSet("V", NumberedRows(8)));
             auto* vf = t.Band<TrpFooter>(0, 0);
             vf->Vertical = true;
             vf->SetBounds(125, 0, 30, 100);
             t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 100, 15, "PF");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        c.build(t);
        const AnsiString before = Saved(t.Report());
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        const AnsiString first = Texts(t.Pages());
        EXPECT_EQ(Saved(t.Report()), before) << "after one run";
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), first);
        EXPECT_EQ(Saved(t.Report()), before) << "after two runs";
    }
}

// Each page's texts with the X they are drawn at: "|R1@21 1:1@51".
AnsiString Placed(TrpPreviewPages* Pages)
{
    AnsiString out;
    const AnsiString dump = DrawDump(Pages);
    size_t at = 0;
    while (at < dump.size()) {
        size_t end = dump.find('\n', at);
        if (end == AnsiString::npos)
            end = dump.size();
        const AnsiString line = dump.substr(at, end - at);
        at = end + 1;
        if (line.rfind("page ", 0) == 0) {
            out += "|";
            continue;
        }
        if (line.rfind("text ", 0) != 0)
            continue;
        const size_t x = 5, blank = line.find(' ', x);
        const size_t q1 = line.find('"'), q2 = line.find('"', q1 + 1);
        out += (out.back() == '|' ? "" : " ") + line.substr(q1 + 1, q2 - q1 - 1) + "@" + line.substr(x, blank - x);
    }
    return out;
}

// Where the columns of vertical bands and the rows of subreports inside a band land: from the
// left edge of the vertical band in the template, and from the left edge of the subreport,
// also when the row or the subreport lies in a subreport beside a band.
TEST(EngineTemplate, VerticalColumnsAndInnerSubreportsWhereTheyLie)
{
    struct Case {
        const char* why;
        bool vertical, besideSub;
        int columns;
        const char* expected;
    };
    const Case cases[] = {
        {"vertical band beside the row's own text", true, false, 2, "|R1@21 c1@51 c2@81"},
        {"the same in a subreport beside a band", true, true, 2, "|Row@21 R1@141 c1@171 c2@201"},
        {"wider than the page: the next page starts at the subreport's left", true, true, 10,
         "|Row@21 R1@141 c1@171 c2@201 c3@231 c4@261 c5@291 c6@321|c7@141 c8@171 c9@201 c10@231"},
        {"subreport inside a band", false, false, 0, "|S1@21 I1@71 I2@71"},
        {"subreport inside a band of a subreport beside a band", false, true, 0, "|Row@21 S1@141 I1@191 I2@191"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        TrpReportPage* home = c.besideSub ? t.AddPage() : t.Page();
        if (c.vertical) {
            auto* row = t.Band<TrpMasterData>(0, 20, home);
            row->SetDataSet(t.DataSet("H", NumberedRows(1)));
            t.Memo(row, 0, 0, 30, 20, "R[H.\"N\"]");
            t.Memo(row, 30, 0, 30, 20, "c[V.\"N\"]");
            auto* vband = t.Band<TrpMasterData>(0, 0, home);
            vband->Vertical = true;
            vband->SetBounds(30, 0, 30, 100);
            vband->SetDataSet(t.DataSet("V", NumberedRows(c.columns)));
        } else {
            TrpReportPage* inner = t.AddPage();
            auto* ib = t.Band<TrpMasterData>(0, 15, inner);
            ib->SetDataSet(t.DataSet("I", NumberedRows(2)));
            t.Memo(ib, 0, 0, 40, 15, "I[I.\"N\"]");
            auto* sb = t.Band<TrpMasterData>(0, 40, home);
            sb->SetDataSet(t.DataSet("S", NumberedRows(1)));
            t.Memo(sb, 0, 0, 40, 15, "S[S.\"N\"]");
            auto* sub = new TrpSubreport(sb);
            sub->SetName("Inner");
            sub->SetBounds(50, 0, 40, 15);
            sub->PrintOnParent = true;
            sub->SetSubPage(inner);
        }
        if (c.besideSub) {
            auto* band = t.Band<TrpMasterData>(10, 30);
            band->SetRowCount(1);
            t.Memo(band, 0, 0, 100, 15, "Row");
            auto* sub = new TrpSubreport(band);
            sub->SetName("Beside");
            sub->SetBounds(120, 0, 100, 15);
            sub->SetSubPage(home);
        }
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Placed(t.Pages()), c.expected);
    }
}

// Per page: its rows ("R1-R7"), its number of vertical cells and its footer texts. Rows that
// print in parts put their first part on a page of their own and the rest on the pages after
// it; each of those pages ends with its own footer, showing the totals of the rows on it.
AnsiString RowPages(TrpPreviewPages* Pages)
{
    AnsiString out;
    for (int i = 0; i < Pages->GetCount(); ++i) {
        AnsiString first, last, footers;
        int cells = 0;
        for (const AnsiString& s : PageTexts(Pages, i)) {
            if (s.rfind("PF", 0) == 0 || s.rfind("CF", 0) == 0 || s == "OV")
                footers += " " + s;
            else if (s.rfind("R", 0) == 0)
                (first.empty() ? first : last) = s;
            else if (s.find(':') != AnsiString::npos)
                ++cells;
        }
        out += "|" + first + (last.empty() ? "" : "-" + last) + " " + IntToStr(cells) + footers;
    }
    return out;
}

TEST(EngineTemplate, RowsInPartsTotalEveryPage)
{
    struct Case {
        const char* why;
        int columns;         // vertical columns per row: 3 fit one page, 8 take two, 14 three
        const char* footer;  // page footer text, or none
        bool columnFooter;
        const char* expected;
        bool onFirst = true, onLast = true, overlay = false;
    };
    const Case cases[] = {
        {"rows in one part", 3, "PF [Page#] [SUM(<H.\"Sum\">,Row)]", false,
         "|R1-R7 21 PF 1 280|R8-R9 6 PF 2 170"},
        {"rows in two parts", 8, "PF [Page#] [SUM(<H.\"Sum\">,Row)]", false,
         "|R1-R7 35 PF 1 280| 21 PF 2 280|R8-R9 10 PF 3 170| 6 PF 4 170"},
        {"rows in three parts", 14, "PF [Page#] [SUM(<H.\"Sum\">,Row)]", false,
         "|R1-R7 35 PF 1 280| 42 PF 2 280| 21 PF 3 280|R8-R9 10 PF 4 170| 12 PF 5 170| 6 PF 6 170"},
        {"a running total is not reset", 8, "PF [Page#] [SUM(<H.\"Sum\">,Row,2)]", false,
         "|R1-R7 35 PF 1 280| 21 PF 2 280|R8-R9 10 PF 3 450| 6 PF 4 450"},
        {"a count", 14, "PF [COUNT(Row)]", false,
         "|R1-R7 35 PF 7| 42 PF 7| 21 PF 7|R8-R9 10 PF 2| 12 PF 2| 6 PF 2"},
        {"no page footer: the rows take its room", 8, nullptr, false,
         "|R1-R8 40| 24|R9 5| 3"},
        {"a column footer closes every page's rows", 8, nullptr, true,
         "|R1-R7 35 CF 280| 21 CF 280|R8-R9 10 CF 170| 6 CF 170"},
        {"both footers", 8, "PF [Page#] [SUM(<H.\"Sum\">,Row)]", true,
         "|R1-R7 35 CF 280 PF 1 280| 21 CF 280 PF 2 280|R8-R9 10 CF 170 PF 3 170| 6 CF 170 PF 4 170"},
        {"not on the first page: its rows count on the page after it", 8, "PF [Page#] [SUM(<H.\"Sum\">,Row)]",
         false, "|R1-R7 35| 21 PF 2 280|R8-R9 10 PF 3 170| 6 PF 4 170", false, true},
        {"not on the last page, which is the last part's", 8, "PF [Page#] [SUM(<H.\"Sum\">,Row)]", false,
         "|R1-R7 35 PF 1 280| 21 PF 2 280|R8-R9 10 PF 3 170| 6", true, false},
        {"an overlay once on every page", 14, "PF [Page#]", false,
         "|R1-R7 35 OV PF 1| 42 OV PF 2| 21 OV PF 3|R8-R9 10 OV PF 4| 12 OV PF 5| 6 OV PF 6", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Memo(t.Band<TrpPageHeader>(0, 15), 0, 0, 40, 15, "PH");
        auto* row = WideRows(t, 20, 20, NumberedRows(9), c.columns);
        row->SetName("Row");
        if (c.columnFooter)
            t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 40, 15, "CF [SUM(<H.\"Sum\">,Row)]");
        if (c.footer) {
            auto* pf = t.Band<TrpPageFooter>(150, 15);
            pf->PrintOnFirstPage = c.onFirst;
            pf->PrintOnLastPage = c.onLast;
            t.Memo(pf, 0, 0, 40, 15, c.footer);
        }
        if (c.overlay)
            t.Memo(t.Band<TrpOverlay>(170, 15), 300, 0, 40, 15, "OV");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(RowPages(t.Pages()), c.expected);
    }
}

// A row's further parts open new pages with their own outline entries; the rows' entries
// stay under the entry of the page the rows start on.
TEST(EngineTemplate, RowsInPartsKeepTheirOutline)
{
    TTestReport t;
    t.Page()->OutlineText = "'P'";
    auto* row = WideRows(t, 20, 20, NumberedRows(10), 8);
    row->SetName("Row");
    row->OutlineText = "'R' + IntToStr(<H.\"N\">)";
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(Outline(t.Pages()->GetOutline()->Root()),
              " P@0:0 [ R1@0:0 R2@0:20 R3@0:40 R4@0:60 R5@0:80 R6@0:100 R7@0:120 R8@0:140 R9@0:160 ]"
              " P@1:0 P@2:0 [ R10@2:0 ] P@3:0");
}

// Objects of footers that lie over vertical bands print per column, as those of headers and
// summaries do, and a page the row went on over gets the footer's columns of its own part.
TEST(EngineTemplate, FooterObjectsOverVerticalBandsPrintPerColumn)
{
    struct Case {
        const char* why;
        int columns;
        const char* expected;
    };
    const Case cases[] = {
        {"rows in one part", 2, "|h1;h2;R1;1;2;R2;1;2;s1;s2;c1;c2;PF 1;f1;f2;"},
        {"rows in two parts", 7,
         "|h1;h2;h3;h4;h5;R1;1;2;3;4;5;R2;1;2;3;4;5;s1;s2;s3;s4;s5;c1;c2;c3;c4;c5;PF 1;f1;f2;f3;f4;f5;"
         "|h6;h7;6;7;6;7;s6;s7;c6;c7;PF 2;f6;f7;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Memo(t.Band<TrpPageHeader>(0, 15), 50, 0, 50, 15, "h[V.\"N\"]");
        WideRows(t, 20, 20, NumberedRows(2), c.columns, "[V.\"N\"]");
        t.Memo(t.Band<TrpReportSummary>(100, 15), 50, 0, 50, 15, "s[V.\"N\"]");
        CellFooters(t, "PF [Page#]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), c.expected);
    }
}

}  // namespace

namespace {

// A page or column broken by a wide row itself: the footers that end it and the headers
// that begin the next column still print their objects over vertical bands per column,
// and the row goes on with its own columns after them.
TEST(EngineTemplate, BandsAroundABreakOfAWideRowPrintTheirColumns)
{
    struct Case {
        const char* why;
        bool pageColumns;
        const char* expected;
    };
    const Case cases[] = {
        {"a page broken by a row", false,
         "|h1@71 h2@121 R1@21 1@71 2@121 R2@21 1@71 2@121 R3@21 1@71 2@121 R4@21 1@71 2@121"
         " c1@71 c2@121 PF@21 f1@71 f2@121"
         "|h1@71 h2@121 R5@21 1@71 2@121 R6@21 1@71 2@121 c1@71 c2@121 PF@21 f1@71 f2@121"},
        {"a column broken by a row: the rows after it stay in the new column", true,
         "|h1@71 h2@121 R1@21 1@71 2@121 R2@21 1@71 2@121 R3@21 1@71 2@121 R4@21 1@71 2@121"
         " c1@71 c2@121 h1@241 h2@291 R5@191 1@241 2@291 R6@191 1@241 2@291 c1@241 c2@291"
         " PF@21 f1@71 f2@121"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        if (c.pageColumns) {
            t.Page()->SetColumns(2);
            t.Page()->GetColumnPositions()->Clear();
            t.Page()->GetColumnPositions()->Add("0");
            t.Page()->GetColumnPositions()->Add("45");
        }
        auto* h = t.Band<TrpHeader>(0, 15);
        h->ReprintOnNewPage = true;
        t.Memo(h, 50, 0, 50, 15, "h[V.\"N\"]");
        WideRows(t, 20, 30, NumberedRows(6), 2, "[V.\"N\"]");
        CellFooters(t, "PF");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Placed(t.Pages()), c.expected);
    }
}

}  // namespace

namespace {

// A kept block whose rows went on over further pages cannot take those along: it stays
// whole where it is and breaks like a block taller than a page, its totals on its pages.
// Without such rows it moves to the next page as any kept block does.
TEST(EngineTemplate, KeptBlockWithRowsInPartsStaysWhole)
{
    struct Case {
        const char* why;
        int columns;
        const char* expected;
    };
    const Case cases[] = {
        {"rows in one part: the block moves", 3, "|R1-R4 12 PF 1 100|R5-R9 15 PF 2 350"},
        {"rows in two parts: the block stays with its parts", 8,
         "|R1-R5 25 PF 1 150| 15 PF 2 150|R6-R9 20 PF 3 300| 12 PF 4 300"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Memo(t.Band<TrpPageHeader>(0, 15), 0, 0, 40, 15, "PH");
        auto* g = t.Band<TrpGroupHeader>(20, 20);
        g->Condition = "<H.\"Group\">";
        g->KeepTogether = true;
        t.Memo(g, 0, 0, 40, 20, "G[H.\"Group\"]");
        auto* row = WideRows(t, 50, 20, NumberedRows(9, 4), c.columns);
        row->SetName("Row");
        t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 40, 15, "PF [Page#] [SUM(<H.\"Sum\">,Row)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(RowPages(t.Pages()), c.expected);
    }
}

}  // namespace

namespace {

// A group whose entry opened on an earlier page closes under the entry of the page it ends
// on: the groups after it open under that page's entry, as the ones before did under theirs,
// also when a kept group moved to the new page.
TEST(EngineTemplate, GroupsAfterAPageBreakStayUnderThePageEntry)
{
    struct Case {
        const char* why;
        bool kept;
        const char* outline;
    };
    const Case cases[] = {
        {"a group broken by the page", false,
         " P@0:0 [ G1@0:0 G2@0:120 ] P@1:0 [ G3@1:60 ] P@2:0 [ G4@2:0 ]"},
        {"kept groups moving to the next page", true,
         " P@0:0 [ G1@0:0 ] P@1:0 [ G2@1:0 ] P@2:0 [ G3@2:0 G4@2:120 ]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Page()->OutlineText = "'P'";
        auto* g = t.Band<TrpGroupHeader>(20, 20);
        g->Condition = "<H.\"Group\">";
        g->OutlineText = "<H.\"Group\">";
        g->KeepTogether = c.kept;
        t.Memo(g, 0, 0, 40, 20, "G[H.\"Group\"]");
        auto* row = t.Band<TrpMasterData>(50, 20);
        row->SetDataSet(t.DataSet("H", NumberedRows(16, 5)));
        t.Memo(row, 0, 0, 50, 20, "R[H.\"N\"]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Outline(t.Pages()->GetOutline()->Root()), c.outline);
    }
}

// A band of B over Records records of the dataset Name, each with the outline entry Name
// and its number.
template <class B>
B* EntryBand(TTestReport& t, Extended Top, Extended Height, const AnsiString& Name, int Records)
{
    auto* b = t.Band<B>(Top, Height);
    b->SetDataSet(t.DataSet(Name, NumberedRows(Records)));
    b->OutlineText = "'" + Name + "' + IntToStr(<" + Name + ".\"N\">)";
    return b;
}

// A child band 60 high under Band.
void TallChild(TTestReport& t, TrpBand* Band, Extended Top)
{
    auto* child = t.Band<TrpChild>(Top, 60);
    t.Memo(child, 0, 0, 40, 60, "c");
    Band->SetChild(child);
}

// A band whose child band, subreport or own further part takes the page on has its entry
// made on the next page, after that page's entry: it still goes among the entries of the
// page it is printed on (under its master when it is a detail), and the entries after it
// stay under the new page's entry.
TEST(EngineTemplate, EntryOfABandThatTookThePageOnStaysWithItsPage)
{
    const AnsiString tall = "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n13\r\n14";
    struct Case {
        const char* why;
        std::function<void(TTestReport&)> build;
        const char* outline;
    };
    const Case cases[] = {
        {"a record whose child goes on",
         [](TTestReport& t) { TallChild(t, EntryBand<TrpMasterData>(t, 20, 40, "M", 3), 70); },
         " P@0:0 [ M1@0:0 M2@0:100 ] P@1:0 [ M3@1:60 ]"},
        {"a detail whose child goes on, under its master",
         [](TTestReport& t) {
             EntryBand<TrpMasterData>(t, 20, 20, "M", 1);
             TallChild(t, EntryBand<TrpDetailData>(t, 50, 40, "D", 3), 100);
         },
         " P@0:0 [ M1@0:0 [ D1@0:20 D2@0:120 ] ] P@1:0 [ D3@1:60 ]"},
        {"a group header whose child goes on",
         [](TTestReport& t) {
             auto* g = t.Band<TrpGroupHeader>(20, 20);
             g->Condition = "<H.\"Group\">";
             g->OutlineText = "<H.\"Group\">";
             TallChild(t, g, 50);
             t.Band<TrpMasterData>(120, 20)->SetDataSet(t.DataSet("H", NumberedRows(6, 3)));
         },
         " P@0:0 [ G1@0:0 G2@0:140 ] P@1:0"},
        {"a detail split over pages",
         [tall](TTestReport& t) {
             EntryBand<TrpMasterData>(t, 20, 20, "M", 1);
             auto* d = EntryBand<TrpDetailData>(t, 50, 20, "D", 3);
             d->AllowSplit = true;
             d->Stretched = true;
             t.Memo(d, 0, 0, 40, 20, tall)->StretchMode = smActualHeight;
         },
         " P@0:0 [ M1@0:0 [ D1@0:20 ] ] P@1:0 [ D2@1:48 ] P@2:0 [ D3@2:78 ] P@3:0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Page()->OutlineText = "'P'";
        c.build(t);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Outline(t.Pages()->GetOutline()->Root()), c.outline);
    }
}

// Outline entries of page and band read a time of day as the time alone, as a memo prints
// it, and a date as the date.
TEST(EngineTemplate, OutlineEntriesShowATimeOfDayAsAMemoPrintsIt)
{
    TTestReport t;
    t.Page()->OutlineText = "EncodeTime(17, 2, 39, 0)";
    auto* rows = t.Band<TrpMasterData>(20, 20);
    rows->SetRowCount(2);
    rows->OutlineText = "IIF(<Line> = 1, EncodeDate(2026, 12, 7), EncodeTime(8, 5, 0, 0))";
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(Outline(t.Pages()->GetOutline()->Root()), " 17:02:39@0:0 [ 07.12.2026@0:0 08:05:00@0:20 ]");
}

// A report variable reads back from the report file, and from a variables file, as the
// value it was: the report prints the same with it after a save and a load as before. A
// number with a fraction is written as a working expression ("2.5", with as many digits as
// it takes); dates and times (texts no expression can be) read back as the dates they were.
TEST(EngineTemplate, ReportVariablesPrintAlikeAfterASaveAndALoad)
{
    struct Case {
        const char* why;
        Variant value;
        const char* printed;  // "[V]", then, for a Double or Currency, "|" and V - 0.3 to show every digit
    };
    const Case cases[] = {
        {"Integer", Variant(7), "7"},
        {"Int64", Variant(static_cast<long long>(12345678901234LL)), "12345678901234"},
        {"Double", Variant(2.5), "2,5|2,2"},
        {"a negative Double with an exponent", Variant(-2.5e-10), "-2,5E-10|-0,30000000025"},
        {"a Double that takes 17 digits", Variant(0.1 + 0.2), "0,3|5,55111512312578E-17"},
        {"Currency, which reads back as a Double", Variant(Currency(1234.5678)), "1234,5678|1234,2678"},
        {"Date", Variant(EncodeDate(2026, 12, 7)), "07.12.2026"},
        {"date and time", Variant(EncodeDate(2026, 12, 7) + EncodeTime(17, 2, 39, 0)), "07.12.2026 17:02:39"},
        {"a time of day", Variant(EncodeTime(17, 2, 39, 0)), "17:02:39"},
        {"Boolean", Variant(true), "True"},
        {"text with quotes", Variant(AnsiString("'Склад \"1\" и ''2'''")), "Склад \"1\" и '2'"},
        {"empty text", Variant(AnsiString()), ""},
        {"Empty", Variant(), ""},
        {"Null", Null(), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        for (bool variablesFile : {false, true}) {
            SCOPED_TRACE(variablesFile ? "through a variables file" : "through the report file");
            TTestReport t;
            auto* band = t.Band<TrpMasterData>(10, 20);
            band->SetRowCount(1);
            t.Memo(band, 0, 0, 300, 20, "[V][IIF(VarType(<V>) in [5, 6], '|' + FloatToStr(<V> - 0.3), '')]");
            t.Report()->GetVariables()->SetVariable("V", c.value);
            const auto printed = [&t] {
                if (!t.Prepare())
                    return "error: " + t.Errors();
                const std::vector<AnsiString> texts = PageTexts(t.Pages(), 0);
                return texts.empty() ? AnsiString() : texts[0];
            };
            EXPECT_EQ(printed(), c.printed) << "before";
            TStringStream file;
            if (variablesFile)
                t.Report()->GetVariables()->SaveToStream(file);
            else
                t.Report()->SaveToStream(file);
            file.SetPosition(0);
            if (variablesFile)
                t.Report()->GetVariables()->LoadFromStream(file);
            else
                t.Report()->LoadFromStream(file);
            EXPECT_EQ(printed(), c.printed) << "after";
        }
    }
}

// A report variable holding a date or a time prints alike after a save and a load under
// any locale, also one whose date separator divides ("12/07/2026" once read back as a
// division and printed 0,00084614299816669).
TEST(EngineTemplate, DateVariablesPrintAlikeAfterASaveAndALoadUnderEveryLocale)
{
    const TDateTime day = EncodeDate(2026, 12, 7), time = EncodeTime(17, 2, 39, 0);
    for (bool english : {false, true})
        for (TDateTime value : {day, TDateTime(day.Val + time.Val), time})
            for (bool variablesFile : {false, true}) {
                SCOPED_TRACE(std::string(english ? "English" : "Russian") + " locale, " +
                             (variablesFile ? "a variables file, " : "the report file, ") + FloatToStr(value.Val));
                SetFormatSettings(english ? EnglishFormatSettings() : RussianFormatSettings());
                TTestReport t;
                auto* band = t.Band<TrpMasterData>(10, 20);
                band->SetRowCount(1);
                t.Memo(band, 0, 0, 300, 20, "[V]");
                t.Report()->GetVariables()->SetVariable("V", Variant(value));
                const auto printed = [&t] {
                    if (!t.Prepare())
                        return "error: " + t.Errors();
                    const std::vector<AnsiString> texts = PageTexts(t.Pages(), 0);
                    return texts.empty() ? AnsiString() : texts[0];
                };
                const AnsiString before = printed();
                TStringStream file;
                if (variablesFile)
                    t.Report()->GetVariables()->SaveToStream(file);
                else
                    t.Report()->SaveToStream(file);
                file.SetPosition(0);
                if (variablesFile)
                    t.Report()->GetVariables()->LoadFromStream(file);
                else
                    t.Report()->LoadFromStream(file);
                const AnsiString after = printed();
                SetFormatSettings(RussianFormatSettings());
                EXPECT_EQ(after, before);
                EXPECT_EQ(before.find("error"), AnsiString::npos) << before;
            }
}

// Files written before numbers went out with a point: a value a comma locale wrote for a
// number, a date or a time reads as that value; a text that is an expression stays one.
TEST(EngineTemplate, OldVariableFilesReadNumbersAndDatesWrittenWithCommas)
{
    struct Case {
        const char* written;
        const char* printed;
    };
    const Case cases[] = {
        {"2,5", "2,5"},
        {"-1,25E-3", "-0,00125"},
        {"07.12.2026", "07.12.2026"},
        {"07.12.2026 17:02:39", "07.12.2026 17:02:39"},
        {"30.12.1899 17:02:39", "17:02:39"},
        {"2.5", "2,5"},
        {"2 + 3", "5"},
        {"'2,5'", "2,5"},
        {"Copy('07.12.2026', 1, 2)", "07"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        TTestReport t;
        auto* band = t.Band<TrpMasterData>(10, 20);
        band->SetRowCount(1);
        t.Memo(band, 0, 0, 300, 20, "[V]");
        TStringStream file("<?xml version=\"1.0\"?><variables><item Name=\"V\" Value=\"" + AnsiString(c.written) +
                           "\"/></variables>");
        t.Report()->GetVariables()->LoadFromStream(file);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(PageTexts(t.Pages(), 0), std::vector<AnsiString>{c.printed});
    }
}

}  // namespace

// A report that ends itself with StopReport from its script shows the pages up to there,
// counted by the first pass of a double pass; a double-pass run used to end with no page
// at all, reported as built.
TEST(EngineTemplate, StopReportInTheScriptKeepsThePagesUpToThere)
{
    for (bool doublePass : {false, true}) {
        SCOPED_TRACE(doublePass ? "double pass" : "one pass");
        TTestReport t;
        t.Report()->GetEngineOptions()->DoublePass = doublePass;
        t.Report()->GetScriptText()->SetText("procedure RowsBeforePrint(Sender: TrpComponent);\n"
                                             "begin\n"
                                             "  if <D.\"N\"> = 4 then Engine.StopReport;\n"
                                             "end;\n"
                                             "begin\n"
                                             "end.\n");
        auto* band = t.Band<TrpMasterData>(10, 60);
        band->SetName("Rows");
        band->OnBeforePrint = "RowsBeforePrint";
        band->SetDataSet(t.DataSet("D", NumberedRows(9)));
        t.Memo(band, 0, 0, 100, 20, "Row [D.\"N\"]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(t.Errors(), "");
        EXPECT_EQ(Texts(t.Pages()), "|Row 1;Row 2;Row 3;|Row 4;");
        if (doublePass)
            EXPECT_EQ(t.Engine()->TotalPages, 2);
    }
}
