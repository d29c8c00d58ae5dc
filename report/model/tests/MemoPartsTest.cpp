// MemoPartsTest.cpp - a memo split across pages: every part it hands out is the part that
// laying out the whole rest of its text at that height gives, for random texts of words,
// very long words, tags and paragraph breaks, in every wrap mode and at every angle.
#include "report/model/tests/ReportFixture.h"

#include "report/model/rpDrawText.h"

#include <random>

namespace {

class MemoPartsTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        R = MakeReport();
        Page = AddPage(R);
        Band = Add<TrpMasterData>(Page, "MasterData1");
        Band->SetBounds(0, 20, 700, 100);
    }
    TrpReport* R = nullptr;
    TrpReportPage* Page = nullptr;
    TrpMasterData* Band = nullptr;
};

struct TMemoSettings {
    bool WordWrap = true, WordBreak = false, Tags = false, AutoWidth = false;
    int Gap = 0, Rotation = 0;
    Extended Width = 150, CharSpacing = 0, LineSpacing = 2;
};

void Apply(TrpMemoView* m, const TMemoSettings& s)
{
    m->SetBounds(0, 0, s.Width, 100);
    m->WordWrap = s.WordWrap;
    m->WordBreak = s.WordBreak;
    m->AllowHTMLTags = s.Tags;
    m->AutoWidth = s.AutoWidth;
    m->ParagraphGap = s.Gap;
    m->CharSpacing = s.CharSpacing;
    m->LineSpacing = s.LineSpacing;
    m->SetRotation(s.Rotation);
}

// The part and the rest that the whole of Text gives at Height, laid out from scratch.
std::pair<AnsiString, AnsiString> WholeRestParts(TrpMemoView* whole, const TMemoSettings& s, const AnsiString& Text,
                                                 Extended Height)
{
    Apply(whole, s);
    whole->SetText(Text);
    whole->SetHeight(Height);
    AnsiString part, rest;
    {
        TrpDrawText& dt = whole->DrawTextObject();
        TrpDrawTextLock lock(dt);
        whole->SetDrawParams(nullptr, 1, 1, 0, 0);
        rest = dt.GetOutBoundsText();
        part = dt.GetInBoundsText();
    }
    whole->SetText(part);
    return {whole->GetText(), rest};
}

// A random text of TargetSize bytes or more: words, long words (some longer than 8 KB, so
// that a part's start is cut inside one), tags good and broken, blanks and line ends. A
// narrow text has no line wider than the automatic width's layout (every word ends a line,
// none is longer than MaxWord).
AnsiString RandomText(std::mt19937& rng, size_t TargetSize, bool LongWordsOnly, bool Narrow)
{
    static const char* const kChunks[] = {"оцинкованный", "склад", "товар", "ПЕРЕВОЗКА", "abcdefgh", "бвгджзк",
                                          "ао", "ткрп", "x.y", "a,b", "-", ";"};
    static const char* const kTags[] = {"<b>", "</b>", "<i>", "</i>", "<u>", "</u>", "<sub>", "</sub>", "<sup>",
                                        "</sup>", "<strike>", "</strike>", "<font color=red>", "</font>",
                                        "<font color=\"#00FF00\">", "<", ">", "<b", "<q>", "</z>"};
    static const char* const kBreaks[] = {" ", " ", " ", "  ", "\r\n", "\n", "\r", "\r\n\r\n"};
    AnsiString text;
    while (text.size() < TargetSize) {
        const unsigned kind = rng() % 20;
        if (kind == 0 || LongWordsOnly) {
            // A long word: from a line's length to far more than a part's start.
            size_t len = size_t(rng() % 3 == 0 ? 9000 + rng() % 12000 : 20 + rng() % 600);
            if (Narrow)
                len = std::min<size_t>(len, 600);
            const size_t end = text.size() + len;
            while (text.size() < end) {
                text += kChunks[rng() % std::size(kChunks)];
                if (rng() % 40 == 0)
                    text += kTags[rng() % std::size(kTags)];
            }
        } else if (kind < 17) {
            text += kChunks[rng() % 8];
        } else {
            text += kTags[rng() % std::size(kTags)];
        }
        text += Narrow ? "\r\n" : kBreaks[rng() % std::size(kBreaks)];
    }
    return text;
}

// Where two texts part, with a little of each around it (the texts run to kilobytes).
std::string FirstDifference(const AnsiString& a, const AnsiString& b)
{
    size_t k = 0;
    while (k < a.size() && k < b.size() && a[k] == b[k])
        ++k;
    const size_t from = k > 60 ? k - 60 : 0;
    return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) + ", apart at " +
           std::to_string(k) + ":\n[" + a.substr(from, 100) + "]\n[" + b.substr(from, 100) + "]";
}

TEST_F(MemoPartsTest, EveryPartIsTheWholeRestsPart)
{
    struct TCase {
        const char* Why;
        TMemoSettings S;
        bool LongWordsOnly;
        bool Narrow = false;
    };
    auto with = [](auto f) {
        TMemoSettings s;
        f(s);
        return s;
    };
    const TCase cases[] = {
        {"paragraph gap", with([](TMemoSettings& s) { s.Gap = 10; }), false},
        {"paragraph gap, hyphenated", with([](TMemoSettings& s) { s.Gap = 10, s.WordBreak = true; }), false},
        {"paragraph gap, hyphenated, tags",
         with([](TMemoSettings& s) { s.Gap = 10, s.WordBreak = true, s.Tags = true; }), false},
        {"paragraph gap, tags", with([](TMemoSettings& s) { s.Gap = 7, s.Tags = true; }), false},
        {"long words only, hyphenated, tags",
         with([](TMemoSettings& s) { s.Gap = 10, s.WordBreak = true, s.Tags = true; }), true},
        {"long words only, no hyphens", with([](TMemoSettings& s) { s.Gap = 10; }), true},
        {"no wrapping, paragraph gap", with([](TMemoSettings& s) { s.Gap = 10, s.WordWrap = false; }), false, true},
        {"no wrapping, hyphens asked, tags",
         with([](TMemoSettings& s) { s.Gap = 10, s.WordWrap = false, s.WordBreak = true, s.Tags = true; }), false},
        {"automatic width", with([](TMemoSettings& s) { s.AutoWidth = true; }), false, true},
        {"automatic width, hyphenated, tags",
         with([](TMemoSettings& s) { s.AutoWidth = true, s.WordBreak = true, s.Tags = true; }), true, true},
        {"a quarter turn", with([](TMemoSettings& s) { s.Rotation = 90; }), false},
        {"a quarter turn, hyphenated, tags",
         with([](TMemoSettings& s) { s.Rotation = 90, s.WordBreak = true, s.Tags = true; }), true},
        {"three quarters, paragraph gap", with([](TMemoSettings& s) { s.Rotation = 270, s.Gap = 5; }), false},
        {"slanted past 90, hyphenated", with([](TMemoSettings& s) { s.Rotation = 135, s.WordBreak = true; }), true},
        {"turned back a quarter, tags", with([](TMemoSettings& s) { s.Rotation = -90, s.Tags = true; }), false},
        {"slanted below 90, gap, hyphenated",
         with([](TMemoSettings& s) { s.Rotation = 45, s.Gap = 10, s.WordBreak = true; }), true},
        {"a first line wider than the rest, hyphenated",
         with([](TMemoSettings& s) { s.Gap = -15, s.WordBreak = true; }), true},
        {"spaced characters and lines, gap, tags",
         with([](TMemoSettings& s) { s.Gap = 10, s.CharSpacing = 1.5, s.LineSpacing = 7, s.Tags = true; }), false},
        {"turned a quarter, automatic width",
         with([](TMemoSettings& s) { s.Rotation = 90, s.AutoWidth = true, s.WordBreak = true; }), false, true},
        {"wide, hyphenated, gap", with([](TMemoSettings& s) { s.Width = 600, s.Gap = 10, s.WordBreak = true; }), true},
    };
    std::mt19937 rng(20261208);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Why);
        const AnsiString text = RandomText(rng, 24000, c.LongWordsOnly, c.Narrow);
        auto* m = Add<TrpMemoView>(Band, "Parted");
        Apply(m, c.S);
        m->SetText(text);
        m->InitPart();
        auto* whole = Add<TrpMemoView>(Band, "Whole");
        int parts = 0;
        while (!m->RestText.empty() && parts < 5000) {
            SCOPED_TRACE("part " + IntToStr(parts));
            // Now and then a height too small for one line, or one that takes about as
            // much as a start laid out for it (so few lines are left over).
            const unsigned pick = rng() % 10;
            const Extended height = pick == 0   ? Extended(rng() % 20)
                                    : pick == 1 && !TrpDrawText::WrapsAlongHeight(c.S.Rotation) ? 2000 + Extended(rng() % 8000)
                                                : 40 + Extended(rng() % 400);
            const auto want = WholeRestParts(whole, c.S, AnsiString(m->RestText), height);
            Apply(m, c.S);
            m->SetHeight(height);
            m->DrawPart();
            // The rest may keep an empty line where the layout writes a blank: the two lay
            // out alike, so the parts that follow tell.
            const AnsiString got = m->GetText();
            ASSERT_TRUE(got == want.first) << FirstDifference(got, want.first);
            ++parts;
        }
        // Unwrapped long lines may all fit one part.
        EXPECT_GT(parts, c.S.WordWrap ? 2 : 0);
        delete whole;
        delete m;
    }
}

}  // namespace

