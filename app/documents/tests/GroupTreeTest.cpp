// The groups tree and subtrees, computed from rows as table Groups returns them.
#include "app/documents/GroupTree.h"

#include <gtest/gtest.h>

namespace {

// "name:depth" per node in display order, joined by blanks.
AnsiString Shape(const std::vector<TGroupRow>& rows, const TGroupTree& tree)
{
    AnsiString s;
    for (const auto& n : tree.Nodes) {
        if (!s.empty())
            s += ' ';
        s += rows[n.Row].Name + ":" + std::to_string(n.Depth);
    }
    return s;
}

AnsiString Names(const std::vector<TGroupRow>& rows, const std::vector<size_t>& picked)
{
    AnsiString s;
    for (size_t i : picked) {
        if (!s.empty())
            s += ' ';
        s += rows[i].Name;
    }
    return s;
}

struct TreeCase {
    const char* why;
    std::vector<TGroupRow> rows;
    const char* shape;
    size_t leftOut;
};

const TreeCase kTrees[] = {
    {"a lone top-level group", {{1, "W", 0}}, "W:0", 0},
    {"children keep table order and come right after their parent",
     {{1, "W", 0}, {2, "b", 1}, {3, "a", 1}, {4, "b1", 2}, {5, "a1", 3}},
     "W:0 b:1 b1:2 a:1 a1:2", 0},
    {"a child listed before its parent row is still placed under it",
     {{5, "deep", 3}, {1, "W", 0}, {3, "mid", 2}, {2, "top", 1}},
     "W:0 top:1 mid:2 deep:3", 0},
    {"only the first top-level row is the warehouse; a second one is left out",
     {{1, "W", 0}, {2, "Other", 0}, {3, "x", 2}, {4, "y", 1}}, "W:0 y:1", 2},
    {"a row whose parent does not exist is left out", {{1, "W", 0}, {2, "orphan", 99}}, "W:0", 1},
    {"a cycle away from the top is left out, not followed forever",
     {{1, "W", 0}, {2, "a", 3}, {3, "b", 2}, {4, "self", 4}}, "W:0", 3},
    {"no top-level row gives an empty tree", {{2, "a", 3}, {3, "b", 2}}, "", 2},
    {"an empty table gives an empty tree", {}, "", 0},
};

TEST(GroupTree, WalksDepthFirstFromTheFirstTopLevelRowInTableOrder)
{
    for (const auto& c : kTrees) {
        SCOPED_TRACE(c.why);
        const auto tree = BuildGroupTree(c.rows);
        EXPECT_EQ(Shape(c.rows, tree), c.shape);
        EXPECT_EQ(tree.LeftOut.size(), c.leftOut);
        EXPECT_EQ(tree.Nodes.size() + tree.LeftOut.size(), c.rows.size()) << "every row placed or reported";
    }
}

TEST(GroupTree, DeepChainDoesNotExhaustTheStack)
{
    std::vector<TGroupRow> rows;
    rows.push_back({1, "W", 0});
    for (int64_t id = 2; id <= 200000; ++id)
        rows.push_back({id, "g" + std::to_string(id), id - 1});
    const auto tree = BuildGroupTree(rows);
    ASSERT_EQ(tree.Nodes.size(), rows.size());
    EXPECT_EQ(tree.Nodes.back().Depth, 199999);
}

struct SubtreeCase {
    const char* why;
    const char* name;
    const char* expected;
};

// W
//   Краски
//     Эмали
//       Алкидные
//     Грунты
//   Крепёж
//     Дюбели
const std::vector<TGroupRow> kRows = {
    {1, "W", 0},       {2, "Краски", 1}, {3, "Крепёж", 1}, {4, "Эмали", 2},
    {5, "Грунты", 2},  {6, "Дюбели", 3}, {7, "Алкидные", 4},
};

const SubtreeCase kSubtrees[] = {
    {"three levels below a group are all collected", "Краски", "Краски Эмали Алкидные Грунты"},
    {"a leaf is only itself", "Дюбели", "Дюбели"},
    {"the name is compared without regard to case, Cyrillic included", "кРАСКИ", "Краски Эмали Алкидные Грунты"},
    {"the top-level group collects everything", "W", "W Краски Эмали Алкидные Грунты Крепёж Дюбели"},
    {"an unknown name collects nothing", "Нет такой", ""},
};

TEST(GroupTree, CollectsSubtrees)
{
    for (const auto& c : kSubtrees) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Names(kRows, CollectSubtree(kRows, c.name)), c.expected);
    }
}

TEST(GroupTree, SubtreeMatchesTheTreeOrderForEveryGroup)
{
    // The subtree of a node is the run of nodes after it that are deeper: the same set.
    const auto tree = BuildGroupTree(kRows);
    for (size_t i = 0; i < tree.Nodes.size(); ++i) {
        const auto& node = tree.Nodes[i];
        SCOPED_TRACE(kRows[node.Row].Name);
        std::vector<size_t> expected{node.Row};
        for (size_t j = i + 1; j < tree.Nodes.size() && tree.Nodes[j].Depth > node.Depth; ++j)
            expected.push_back(tree.Nodes[j].Row);
        EXPECT_EQ(CollectSubtree(kRows, kRows[node.Row].Name), expected);
    }
}

}  // namespace
