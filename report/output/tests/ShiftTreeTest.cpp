// Which view hangs under which: the nearest view above that overlaps it horizontally, and
// the views moving with a memo that grows.
#include "report/output/rpShiftTree.h"
#include "report/output/tests/EngineTestSupport.h"

#include <limits>
#include <random>

using namespace rpengine;

namespace {

struct TShiftCase {
    const char* What;
    std::vector<TShiftBox> Boxes;  // left, top, width, height
    std::vector<int> Parents;
};

const TShiftCase kShiftCases[] = {
    {"a column", {{0, 0, 10, 10}, {0, 10, 10, 10}, {0, 20, 10, 10}}, {-1, 0, 1}},
    {"the nearest bottom wins", {{0, 0, 10, 30}, {0, 0, 10, 10}, {0, 40, 10, 5}}, {-1, -1, 0}},
    {"equal bottoms: the first", {{0, 0, 10, 10}, {5, 0, 10, 10}, {0, 20, 20, 5}}, {-1, -1, 0}},
    {"equal bottoms: the first, listed last", {{0, 20, 20, 5}, {5, 0, 10, 10}, {0, 0, 10, 10}}, {1, -1, -1}},
    {"edges that only touch do not overlap", {{0, 0, 10, 10}, {10, 20, 10, 10}, {9.99995L, 30, 10, 1}}, {-1, -1, 1}},
    {"an overlap under the tolerance counts as touching", {{0, 10.00005L, 10, 10}, {0, 0, 10, 10.0001L}}, {1, -1}},
    {"an overlap beyond the tolerance does not", {{0, 9.9998L, 10, 10}, {0, 0, 10, 10}}, {-1, -1}},
    {"zero heights at one place hang under neither", {{0, 5, 10, 0}, {0, 5, 10, 0}, {0, 5, 10, 0}}, {-1, -1, -1}},
    {"lines at one height hang under the memo above", {{0, 0, 100, 10}, {0, 20, 50, 0}, {20, 20, 50, 0}}, {-1, 0, 0}},
    {"lines less than a touch apart are level", {{0, 0, 100, 10}, {0, 20, 50, 0}, {20, 20.00005L, 50, 0}}, {-1, 0, 0}},
    {"a line two touches below another hangs under it", {{0, 20, 50, 0}, {20, 20.0002L, 50, 0}}, {-1, 0}},
    {"a memo at a line's height hangs under the line", {{0, 20, 50, 0}, {0, 20, 50, 10}}, {-1, 0}},
    {"thin boxes that each lie above the other", {{0, 20, 50, 0.00015L}, {0, 20.00008L, 50, 0}}, {-1, -1}},
    {"a thin box takes a line reaching a touch below its top", {{0, 20, 50, 0.00015L}, {0, 20.00012L, 50, 0}}, {-1, 0}},
    {"a negative height: by pairs", {{0, 0, 10, 10}, {0, 30, 10, -10}, {0, 40, 10, 5}}, {-1, 0, 1}},
    {"a vertical line under a memo", {{0, 0, 20, 10}, {10, 15, 0, 30}, {10, 50, 0, 10}}, {-1, 0, 0}},
    {"a memo under a vertical line", {{10, 0, 0, 10}, {0, 20, 20, 10}}, {-1, 0}},
    {"two vertical lines never overlap", {{10, 0, 0, 10}, {10, 20, 0, 10}}, {-1, -1}},
    {"gaps of 10^10 and more are too far", {{0, 0, 10, 0}, {0, 1e10L, 10, 1}, {20, 0, 10, 0}, {20, 1e10L - 1, 10, 1}},
        {-1, -1, -1, 2}},
    {"nested: a wide one over two narrow ones", {{0, 0, 100, 10}, {0, 20, 40, 10}, {60, 20, 40, 10}, {30, 40, 40, 5}},
        {-1, 0, 0, 1}},
    {"a box above does not take one it overlaps", {{0, 0, 10, 20}, {0, 10, 10, 20}}, {-1, -1}},
    {"not a finite number: by pairs", {{0, 0, std::numeric_limits<Extended>::infinity(), 10}, {5, 20, 10, 10}},
        {-1, 0}},
};

TEST(ShiftTree, ParentsOfLayouts)
{
    for (const TShiftCase& c : kShiftCases) {
        EXPECT_EQ(rpShiftParents(c.Boxes), c.Parents) << c.What;
        EXPECT_EQ(rpShiftParentsByPairs(c.Boxes), c.Parents) << c.What;
    }
}

// Grids give equal tops, touching and overlapping edges, zero sizes and long stacks.
TEST(ShiftTree, RandomLayoutsGiveTheListsOfTryingEveryPair)
{
    std::mt19937 rng(7);
    for (int layout = 0; layout < 300; ++layout) {
        std::vector<TShiftBox> boxes(1 + rng() % 80);
        const int grid = 1 + layout % 4;
        for (TShiftBox& b : boxes) {
            b.Left = Extended(rng() % 12 * 5) / grid;
            b.Top = Extended(rng() % 12 * 5) / grid;
            b.Width = Extended(rng() % 4 * 5) / grid + (layout % 5 == 0 ? 0.0001L * (rng() % 3) : 0);
            b.Height = Extended(rng() % 3 * 5) / grid;
        }
        ASSERT_EQ(rpShiftParents(boxes), rpShiftParentsByPairs(boxes)) << "layout " << layout;
    }
}

// Lines and boxes thinner than two touches, a touch or less apart: some are level with one
// another, some lie just above; the sweep agrees with trying every pair, and no box ever
// hangs, through others, under itself.
TEST(ShiftTree, ThinBoxesNearOneHeight)
{
    std::mt19937 rng(11);
    const Extended heights[] = {0, 0, 0.00005L, 0.00015L, 0.00019L, 5};
    for (int layout = 0; layout < 300; ++layout) {
        std::vector<TShiftBox> boxes(1 + rng() % 60);
        for (TShiftBox& b : boxes) {
            b.Left = Extended(rng() % 8 * 5);
            b.Top = Extended(rng() % 3 * 5) + Extended(rng() % 5) * 0.00004L;
            b.Width = Extended(1 + rng() % 4) * 5;
            b.Height = heights[rng() % 6];
        }
        const std::vector<int> parents = rpShiftParents(boxes);
        ASSERT_EQ(parents, rpShiftParentsByPairs(boxes)) << "layout " << layout;
        for (size_t i = 0; i < boxes.size(); ++i) {
            size_t steps = 0;
            for (int p = parents[i]; p >= 0 && steps <= boxes.size(); p = parents[p])
                ++steps;
            ASSERT_LE(steps, boxes.size()) << "layout " << layout << " box " << i;
        }
    }
}

// A memo grows by some lines; the views hanging under it, and under them, move as far;
// the others stay where the template has them.
TEST(ShiftTree, ViewsUnderAGrowingMemoMove)
{
    struct TView {
        const char* Text;
        Extended Left, Top, Width;
        TrpShiftMode Mode;
        bool Moves;
    };
    const TView views[] = {
        {"below", 0, 20, 60, smAlways, true},
        {"under below", 0, 40, 60, smAlways, true},
        {"half under", 80, 20, 60, smAlways, true},
        {"beside", 120, 0, 60, smAlways, false},
        {"under beside", 120, 20, 60, smAlways, false},
        {"fixed", 200, 20, 20, smDontShift, false},
        {"under a wide gap", 60, 60, 20, smAlways, true},
    };
    TTestReport t;
    auto* band = t.Band<TrpReportTitle>(0, 80);
    band->Stretched = true;
    TrpMemoView* grower = t.Memo(band, 0, 0, 100, 18, "1\r\n2\r\n3\r\n4");
    grower->StretchMode = smActualHeight;
    t.Memo(band, 200, 0, 20, 18, "wide");
    for (const TView& v : views)
        t.Memo(band, v.Left, v.Top, v.Width, 18, v.Text)->ShiftMode = v.Mode;
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    std::map<AnsiString, std::pair<Extended, Extended>> placed;  // text -> top, height
    for (TrpComponent* c : t.Pages()->GetPage(0)->GetAllObjects())
        if (auto* m = dynamic_cast<TrpMemoView*>(c))
            placed[TrimRight(m->GetText())] = {m->GetTop(), m->GetHeight()};
    ASSERT_EQ(placed.count("1\r\n2\r\n3\r\n4"), 1u);
    const Extended growth = placed["1\r\n2\r\n3\r\n4"].second - 18;
    ASSERT_GT(growth, 1);
    for (const TView& v : views) {
        ASSERT_EQ(placed.count(v.Text), 1u) << v.Text;
        EXPECT_NEAR(double(placed[v.Text].first), double(v.Top + (v.Moves ? growth : 0)), 0.001) << v.Text;
    }
}

// Lines at one height under a memo that grows: none of them hangs under another, so each
// moves with the memo, or stays when it is fixed, whatever the lines beside it do.
TEST(ShiftTree, LinesAtOneHeightMoveWithTheMemoAbove)
{
    struct TLine {
        Extended Left, Top, Width;
        TrpShiftMode Mode;
        bool Moves;
    };
    struct TCase {
        const char* Why;
        std::vector<TLine> Lines;
    };
    const TCase cases[] = {
        {"two lines over one another", {{0, 20, 100, smAlways, true}, {0, 20, 100, smAlways, true}}},
        {"two lines overlapping sideways", {{0, 20, 60, smAlways, true}, {40, 20, 60, smAlways, true}}},
        {"three lines, one wide",
            {{0, 20, 100, smAlways, true}, {10, 20, 30, smAlways, true}, {50, 20, 30, smAlways, true}}},
        {"a fixed line beside one that moves", {{0, 20, 100, smDontShift, false}, {0, 20, 100, smAlways, true}}},
        {"the fixed one listed last", {{0, 20, 100, smAlways, true}, {0, 20, 100, smDontShift, false}}},
        {"lines under lines",
            {{0, 20, 100, smAlways, true}, {0, 20, 100, smAlways, true}, {0, 30, 100, smAlways, true}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Why);
        TTestReport t;
        auto* band = t.Band<TrpReportTitle>(0, 80);
        band->Stretched = true;
        t.Memo(band, 0, 0, 100, 18, "1\r\n2\r\n3\r\n4")->StretchMode = smActualHeight;
        for (size_t i = 0; i < c.Lines.size(); ++i) {
            auto* line = new TrpLineView(band);
            line->SetName("Line" + IntToStr(static_cast<int>(i)));
            line->SetBounds(c.Lines[i].Left, c.Lines[i].Top, c.Lines[i].Width, 0);
            line->ShiftMode = c.Lines[i].Mode;
        }
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        Extended growth = 0;
        std::vector<Extended> tops;
        for (TrpComponent* o : t.Pages()->GetPage(0)->GetAllObjects()) {
            if (auto* m = dynamic_cast<TrpMemoView*>(o))
                growth = m->GetHeight() - 18;
            else if (dynamic_cast<TrpLineView*>(o))
                tops.push_back(o->GetTop());
        }
        ASSERT_GT(growth, 1);
        ASSERT_EQ(tops.size(), c.Lines.size());
        for (size_t i = 0; i < tops.size(); ++i)
            EXPECT_NEAR(double(tops[i]), double(c.Lines[i].Top + (c.Lines[i].Moves ? growth : 0)), 0.001) << i;
    }
}

}  // namespace
