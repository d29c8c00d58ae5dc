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
    {"zero heights at one place hang under each other", {{0, 5, 10, 0}, {0, 5, 10, 0}, {0, 5, 10, 0}}, {1, 0, 0}},
    {"a vertical line under a memo", {{0, 0, 20, 10}, {10, 15, 0, 30}, {10, 50, 0, 10}}, {-1, 0, 0}},
    {"a memo under a vertical line", {{10, 0, 0, 10}, {0, 20, 20, 10}}, {-1, 0}},
    {"two vertical lines never overlap", {{10, 0, 0, 10}, {10, 20, 0, 10}}, {-1, -1}},
    {"gaps of 10^10 and more are too far",
     {{0, 0, 10, 0}, {0, 1e10L, 10, 1}, {20, 0, 10, 0}, {20, 1e10L - 1, 10, 1}},
     {-1, -1, -1, 2}},
    {"nested: a wide one over two narrow ones", {{0, 0, 100, 10}, {0, 20, 40, 10}, {60, 20, 40, 10}, {30, 40, 40, 5}},
     {-1, 0, 0, 1}},
    {"a box above does not take one it overlaps", {{0, 0, 10, 20}, {0, 10, 10, 20}}, {-1, -1}},
    {"not a finite number: by pairs", {{0, 0, std::numeric_limits<Extended>::infinity(), 10}, {5, 20, 10, 10}}, {-1, 0}},
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

}  // namespace
