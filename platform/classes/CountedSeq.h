// CountedSeq.h - a sequence with index access, held in a counted B+ tree.
//
// TCountedSeq<T> keeps its items in leaves of at most kLeafMax items under inner nodes that
// know how many items each subtree holds. Reading, inserting and erasing at any index costs
// O(log n), so n inserts at random places (a sorted string list filled out of order) cost
// O(n log n) instead of moving half the list each time. A read next to the last one
// (a walk from the first item to the last) is answered from the leaf it found before; reads
// may run on several threads at once, as long as nothing changes the sequence meanwhile.
//
// Invariants: every node's Count is the number of items below it, and an inner node's
// Sizes[k] is its child k's Count; no leaf is empty unless
// it is the root; the tree is never deeper than needed for its largest size (height grows
// only when the root splits). Not here: ordering. The caller decides where items go.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

template <class T>
class TCountedSeq {
public:
    TCountedSeq() = default;
    TCountedSeq(const TCountedSeq&) = delete;
    TCountedSeq& operator=(const TCountedSeq&) = delete;

    size_t size() const { return FRoot ? FRoot->Count : 0; }
    bool empty() const { return size() == 0; }
    void clear()
    {
        FRoot.reset();
        Forget();
    }
    void swap(TCountedSeq& Other)
    {
        FRoot.swap(Other.FRoot);
        Forget();
        Other.Forget();
    }

    T& operator[](size_t Index) { return const_cast<T&>(std::as_const(*this)[Index]); }
    // Reads may run on several threads at once (while nobody changes the sequence): the
    // remembered leaf is one pointer, and the first index it is kept with lives in the leaf
    // itself, written before the leaf is remembered. Readers that race only ever write the
    // true first index of a leaf of the present tree, so whatever pointer a thread sees
    // comes with a right index; a change forgets the leaf before it moves anything.
    const T& operator[](size_t Index) const
    {
        if (const Node* leaf = FHintLeaf.load(std::memory_order_acquire)) {
            const size_t start = leaf->Start.load(std::memory_order_relaxed);
            if (Index - start < leaf->Items.size())
                return leaf->Items[Index - start];
        }
        const Node* n = FRoot.get();
        size_t start = 0;
        while (!n->Leaf) {
            for (size_t k = 0;; ++k) {
                if (Index - start < n->Sizes[k] || k + 1 == n->Kids.size()) {
                    n = n->Kids[k].get();
                    break;
                }
                start += n->Sizes[k];
            }
        }
        n->Start.store(start, std::memory_order_relaxed);
        FHintLeaf.store(n, std::memory_order_release);
        return n->Items[Index - start];
    }

    // Inserts Value before the item at Index (Index == size(): at the end).
    void insert(size_t Index, T Value)
    {
        Forget();
        if (!FRoot)
            FRoot = std::make_unique<Node>(true);
        Path& path = FPath;
        path.clear();
        Node* leaf = Descend(Index, path, true);
        // The item goes in first: if it cannot, no count has changed.
        leaf->Items.insert(leaf->Items.begin() + static_cast<std::ptrdiff_t>(Index), std::move(Value));
        ++leaf->Count;
        for (auto& step : path) {
            ++step.N->Count;
            ++step.N->Sizes[step.Kid];
        }
        if (leaf->Items.size() > kLeafMax)
            Split(leaf, path);
    }

    void erase(size_t Index)
    {
        Forget();
        Path& path = FPath;
        path.clear();
        Node* leaf = Descend(Index, path, false);
        for (auto& step : path) {
            --step.N->Count;
            --step.N->Sizes[step.Kid];
        }
        leaf->Items.erase(leaf->Items.begin() + static_cast<std::ptrdiff_t>(Index));
        --leaf->Count;
        // An emptied node leaves its parent; a parent emptied so goes too.
        Node* gone = leaf;
        for (size_t k = path.size(); k-- > 0 && gone->Count == 0;) {
            auto& kids = path[k].N->Kids;
            auto& sizes = path[k].N->Sizes;
            kids.erase(kids.begin() + static_cast<std::ptrdiff_t>(path[k].Kid));
            sizes.erase(sizes.begin() + static_cast<std::ptrdiff_t>(path[k].Kid));
            gone = path[k].N;
        }
        // A root with one child hands over to it.
        while (!FRoot->Leaf && FRoot->Kids.size() == 1) {
            std::unique_ptr<Node> kid = std::move(FRoot->Kids.front());
            FRoot = std::move(kid);
        }
        if (!FRoot->Leaf && FRoot->Kids.empty())
            FRoot.reset();
    }

    // Replaces the whole sequence by Items, in their order: O(n).
    void assign(std::vector<T>&& Items)
    {
        clear();
        if (Items.empty())
            return;
        std::vector<std::unique_ptr<Node>> level;
        for (size_t i = 0; i < Items.size(); i += kLeafFill) {
            auto leaf = std::make_unique<Node>(true);
            const size_t end = std::min(Items.size(), i + kLeafFill);
            for (size_t k = i; k < end; ++k)
                leaf->Items.push_back(std::move(Items[k]));
            leaf->Count = end - i;
            level.push_back(std::move(leaf));
        }
        while (level.size() > 1) {
            std::vector<std::unique_ptr<Node>> up;
            for (size_t i = 0; i < level.size(); i += kInnerFill) {
                auto inner = std::make_unique<Node>(false);
                const size_t end = std::min(level.size(), i + kInnerFill);
                for (size_t k = i; k < end; ++k) {
                    inner->Count += level[k]->Count;
                    inner->Sizes.push_back(level[k]->Count);
                    inner->Kids.push_back(std::move(level[k]));
                }
                up.push_back(std::move(inner));
            }
            level.swap(up);
        }
        FRoot = std::move(level.front());
    }

    // Moves every item out, in order, leaving the sequence empty.
    std::vector<T> take()
    {
        std::vector<T> out;
        out.reserve(size());
        if (FRoot)
            Collect(*FRoot, out);
        clear();
        return out;
    }

private:
    static constexpr size_t kLeafMax = 128, kLeafFill = 96;
    static constexpr size_t kInnerMax = 64, kInnerFill = 48;

    struct Node {
        explicit Node(bool IsLeaf) : Leaf(IsLeaf) {}
        bool Leaf;
        size_t Count = 0;
        std::deque<T> Items;                      // a leaf's: cheap at both ends
        std::vector<std::unique_ptr<Node>> Kids;  // an inner node's
        std::vector<size_t> Sizes;                // Kids[k]->Count, kept side by side for the walk down
        mutable std::atomic<size_t> Start{0};     // a leaf's first index, while it is the remembered one
    };
    struct Step {
        Node* N;
        size_t Kid;
    };
    using Path = std::vector<Step>;

    // Only changes of the sequence forget, and nothing reads while it changes.
    void Forget() const { FHintLeaf.store(nullptr, std::memory_order_relaxed); }

    // The leaf holding Index (for an insert, the leaf Index goes into); Index becomes the
    // position within it. Path gets the inner nodes passed and the child taken in each.
    Node* Descend(size_t& Index, Path& path, bool ForInsert)
    {
        Node* n = FRoot.get();
        while (!n->Leaf) {
            size_t k = 0;
            const size_t last = n->Kids.size() - 1;
            for (; k < last; ++k) {
                const size_t c = n->Sizes[k];
                if (Index < c || (ForInsert && Index == c))
                    break;
                Index -= c;
            }
            path.push_back({n, k});
            n = n->Kids[k].get();
        }
        return n;
    }

    // Splits an overfull node in two halves and carries the split up the path.
    void Split(Node* n, Path& path)
    {
        for (size_t k = path.size();; --k) {
            auto right = std::make_unique<Node>(n->Leaf);
            if (n->Leaf) {
                const size_t half = n->Items.size() / 2;
                right->Items.assign(std::make_move_iterator(n->Items.begin() + static_cast<std::ptrdiff_t>(half)),
                                    std::make_move_iterator(n->Items.end()));
                n->Items.erase(n->Items.begin() + static_cast<std::ptrdiff_t>(half), n->Items.end());
                right->Count = right->Items.size();
                n->Count = half;
            } else {
                const size_t half = n->Kids.size() / 2;
                for (size_t i = half; i < n->Kids.size(); ++i) {
                    right->Count += n->Sizes[i];
                    right->Sizes.push_back(n->Sizes[i]);
                    right->Kids.push_back(std::move(n->Kids[i]));
                }
                n->Kids.resize(half);
                n->Sizes.resize(half);
                n->Count -= right->Count;
            }
            if (k == 0) {
                auto root = std::make_unique<Node>(false);
                root->Count = n->Count + right->Count;
                root->Sizes = {n->Count, right->Count};
                root->Kids.reserve(2);  // the old root moves in only where it cannot be lost
                root->Kids.push_back(std::move(FRoot));
                root->Kids.push_back(std::move(right));
                FRoot = std::move(root);
                return;
            }
            Node* parent = path[k - 1].N;
            const size_t at = path[k - 1].Kid;
            // Room first, so the two inserts below cannot fail between them.
            parent->Sizes.reserve(parent->Sizes.size() + 1);
            parent->Kids.reserve(parent->Kids.size() + 1);
            parent->Sizes[at] = n->Count;
            parent->Sizes.insert(parent->Sizes.begin() + static_cast<std::ptrdiff_t>(at + 1), right->Count);
            parent->Kids.insert(parent->Kids.begin() + static_cast<std::ptrdiff_t>(at + 1), std::move(right));
            if (parent->Kids.size() <= kInnerMax)
                return;
            n = parent;
        }
    }

    static void Collect(Node& n, std::vector<T>& out)
    {
        // Depth is the tree's height, a handful of levels.
        if (n.Leaf) {
            for (T& item : n.Items)
                out.push_back(std::move(item));
            return;
        }
        for (auto& kid : n.Kids)
            Collect(*kid, out);
    }

    std::unique_ptr<Node> FRoot;
    Path FPath;                           // the path of the last insert or erase, kept for its room
    mutable std::atomic<const Node*> FHintLeaf{nullptr};  // the leaf of a recent read
};
