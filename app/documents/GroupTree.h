// GroupTree.h - the groups tree of a warehouse, computed from one read of table Groups.
//
// The tree has one top-level group: the first row (in table order) whose IDName is 0. Every
// other group hangs under the row whose ID its IDName names; children keep table order. The
// walk is depth first, each child right after its parent, so the order is the one the tree
// view shows. Rows that cannot be reached from the top-level group (a second top-level row,
// a parent that does not exist, a cycle) are left out and listed, never followed twice.
//
// A subtree is a group together with everything below it, whatever the depth. Group names
// are unique in a warehouse and compared as the database compares them (case ignored,
// Cyrillic included), so a subtree is found from the name a tree node shows.
//
// Nothing here touches the database or a window: callers read the rows and fill the view.
#pragma once

#include "platform/rtl/System.h"

#include <cstdint>
#include <string_view>
#include <vector>

struct TGroupRow {
    int64_t ID = 0;
    AnsiString Name;
    int64_t Parent = 0;  // IDName
};

struct TGroupNode {
    size_t Row = 0;  // index into the rows
    int Depth = 0;   // 0 for the top-level group
};

struct TGroupTree {
    std::vector<TGroupNode> Nodes;  // depth first, in display order
    std::vector<size_t> LeftOut;    // rows not reachable from the top-level group, in table order
};

TGroupTree BuildGroupTree(const std::vector<TGroupRow>& rows);

// Rows of the groups named `name` and of all groups below them; the named rows first,
// then their descendants depth first. Empty when no group has that name.
std::vector<size_t> CollectSubtree(const std::vector<TGroupRow>& rows, std::string_view name);
