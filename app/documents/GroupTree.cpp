#include "app/documents/GroupTree.h"

#include "platform/rtl/Cp1251.h"

#include <unordered_map>

namespace {

// Children of every parent id, in table order.
std::unordered_map<int64_t, std::vector<size_t>> ChildrenByParent(const std::vector<TGroupRow>& rows)
{
    std::unordered_map<int64_t, std::vector<size_t>> children;
    children.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        children[rows[i].Parent].push_back(i);
    return children;
}

// Depth-first walk from the given rows; `visit` gets every reached row once. An explicit
// stack, since a chain of thousands of groups must not exhaust the call stack.
template <class Visit>
void Walk(const std::vector<TGroupRow>& rows, const std::vector<size_t>& starts, int startDepth,
          const std::unordered_map<int64_t, std::vector<size_t>>& children, std::vector<bool>& seen,
          Visit&& visit)
{
    struct Item { size_t Row; int Depth; };
    std::vector<Item> stack;
    for (auto it = starts.rbegin(); it != starts.rend(); ++it)
        stack.push_back({*it, startDepth});
    while (!stack.empty()) {
        const Item item = stack.back();
        stack.pop_back();
        if (seen[item.Row])
            continue;
        seen[item.Row] = true;
        visit(item.Row, item.Depth);
        const auto found = children.find(rows[item.Row].ID);
        if (found == children.end())
            continue;
        const auto& kids = found->second;
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            if (!seen[*it])
                stack.push_back({*it, item.Depth + 1});
    }
}

}  // namespace

TGroupTree BuildGroupTree(const std::vector<TGroupRow>& rows)
{
    TGroupTree tree;
    std::vector<bool> seen(rows.size(), false);
    size_t root = rows.size();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].Parent == 0) {
            root = i;
            break;
        }
    if (root < rows.size()) {
        const auto children = ChildrenByParent(rows);
        tree.Nodes.reserve(rows.size());
        Walk(rows, {root}, 0, children, seen, [&](size_t row, int depth) { tree.Nodes.push_back({row, depth}); });
    }
    for (size_t i = 0; i < rows.size(); ++i)
        if (!seen[i])
            tree.LeftOut.push_back(i);
    return tree;
}

std::vector<size_t> CollectSubtree(const std::vector<TGroupRow>& rows, std::string_view name)
{
    std::vector<size_t> named;
    for (size_t i = 0; i < rows.size(); ++i)
        if (AnsiSameText(rows[i].Name, name))
            named.push_back(i);
    std::vector<size_t> result;
    if (named.empty())
        return result;
    result = named;
    const auto children = ChildrenByParent(rows);
    std::vector<bool> seen(rows.size(), false);
    for (size_t i : named)
        seen[i] = true;
    // The named rows are already in the result; walk from their children.
    for (size_t i : named) {
        const auto found = children.find(rows[i].ID);
        if (found == children.end())
            continue;
        Walk(rows, found->second, 1, children, seen, [&](size_t row, int) { result.push_back(row); });
    }
    return result;
}
