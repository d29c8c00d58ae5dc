// rpShiftTree.cpp - the nearest view above each view of a band.
//
// The boxes are taken as the lower boxes B in order of their bottoms, lowest bottom first
// going downwards, i.e. highest bottom first; each B takes every box A still waiting whose
// gap to B is in range and that overlaps B horizontally. A box is in range from the first
// bottom close enough above it until the bottoms lie 10^10 above: both ends move one way
// as the bottoms fall, so two pointers over the boxes by their tops keep the waiting set.
// The waiting boxes sit in a max tree by their left edges holding their right edges, so B
// finds the next overlapping one in O(log n) and every box is taken once.
//
// Two boxes that each lie above the other (both thinner than two touches, at one height)
// hang under neither. Only a thin box can be level with another thin one, so a thin box
// waits apart, in a second tree that the other boxes search as the first, until no box
// still to come can be level with it; a thin lower box looks through those waiting apart
// by their bottoms and takes only the ones reaching a touch below its top. For a line (no
// height at all) that look finds nothing at once; it costs only with boxes a fraction of a
// touch high.
#include "report/output/rpShiftTree.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace rpengine {

namespace {

constexpr Extended kTouch = 0.0001L;
constexpr Extended kGapLimit = 1e10L;

Extended BottomOf(const TShiftBox& b) { return b.Top + b.Height; }
Extended RightOf(const TShiftBox& b) { return b.Left + b.Width - kTouch; }

bool Overlap(const TShiftBox& a, const TShiftBox& b)
{
    return b.Left < a.Left + a.Width - kTouch && a.Left < b.Left + b.Width - kTouch;
}

int ParentByPairs(const std::vector<TShiftBox>& Boxes, size_t A)
{
    int best = -1;
    Extended bestGap = kGapLimit;
    const TShiftBox& a = Boxes[A];
    for (size_t j = 0; j < Boxes.size(); ++j) {
        if (j == A)
            continue;
        const Extended d = a.Top - BottomOf(Boxes[j]);
        // Boxes that each lie above the other (lines at one height) hang under neither.
        const bool level = Boxes[j].Top - BottomOf(a) > -kTouch;
        if (d > -kTouch && !level && Overlap(a, Boxes[j]) && d < bestGap) {
            bestGap = d;
            best = static_cast<int>(j);
        }
    }
    return best;
}

// Max of the right edges of the waiting boxes, by position in left-edge order.
class TMaxTree {
public:
    explicit TMaxTree(size_t n) : FSize(1)
    {
        while (FSize < n)
            FSize <<= 1;
        FVal.assign(2 * FSize, kNone);
        FArg.assign(2 * FSize, -1);
    }
    void Set(size_t pos, Extended v, int arg)
    {
        size_t i = pos + FSize;
        FVal[i] = v;
        FArg[i] = arg;
        for (i >>= 1; i; i >>= 1) {
            const size_t l = 2 * i, r = l + 1;
            const bool left = FVal[l] >= FVal[r];
            FVal[i] = left ? FVal[l] : FVal[r];
            FArg[i] = left ? FArg[l] : FArg[r];
        }
    }
    void Clear(size_t pos) { Set(pos, kNone, -1); }
    // The box with the largest value among positions [0, end), or -1.
    int MaxBefore(size_t end, Extended& v) const
    {
        v = kNone;
        int arg = -1;
        for (size_t l = FSize, r = end + FSize; l < r; l >>= 1, r >>= 1) {
            if (l & 1) {
                Take(l++, v, arg);
            }
            if (r & 1)
                Take(--r, v, arg);
        }
        return arg;
    }

    static constexpr Extended kNone = -std::numeric_limits<Extended>::infinity();

private:
    void Take(size_t i, Extended& v, int& arg) const
    {
        if (FArg[i] >= 0 && (arg < 0 || FVal[i] > v)) {
            v = FVal[i];
            arg = FArg[i];
        }
    }
    size_t FSize;
    std::vector<Extended> FVal;
    std::vector<int> FArg;
};

}  // namespace

std::vector<int> rpShiftParentsByPairs(const std::vector<TShiftBox>& Boxes)
{
    std::vector<int> parent(Boxes.size(), -1);
    for (size_t i = 0; i < Boxes.size(); ++i)
        parent[i] = ParentByPairs(Boxes, i);
    return parent;
}

std::vector<int> rpShiftParents(const std::vector<TShiftBox>& Boxes)
{
    const size_t n = Boxes.size();
    std::vector<Extended> bottom(n), right(n);
    for (size_t i = 0; i < n; ++i) {
        const TShiftBox& b = Boxes[i];
        bottom[i] = BottomOf(b);
        right[i] = RightOf(b);
        // The orders below need comparable numbers, and the sweep boxes that do not reach
        // above their own tops; such a band is rare and small.
        if (!std::isfinite(b.Left) || !std::isfinite(b.Top) || !std::isfinite(b.Width) || !std::isfinite(b.Height) ||
            !std::isfinite(bottom[i]) || !std::isfinite(right[i]) || b.Height < 0)
            return rpShiftParentsByPairs(Boxes);
    }
    // Two boxes can each lie above the other only when both are thinner than two touches
    // (lines at one height): such a box waits apart until no box still to come can be level
    // with it.
    std::vector<char> thin(n);
    for (size_t i = 0; i < n; ++i)
        thin[i] = Boxes[i].Height < 2 * kTouch;
    std::vector<int> byBottom(n), byTop(n), byLeft(n);
    for (size_t i = 0; i < n; ++i)
        byBottom[i] = byTop[i] = byLeft[i] = static_cast<int>(i);
    // Highest bottom first; equal bottoms give equal gaps, and then the first box wins.
    std::stable_sort(byBottom.begin(), byBottom.end(),
                     [&](int x, int y) { return bottom[x] > bottom[y]; });
    std::sort(byTop.begin(), byTop.end(),
              [&](int x, int y) { return Boxes[x].Top > Boxes[y].Top; });
    std::sort(byLeft.begin(), byLeft.end(),
              [&](int x, int y) { return Boxes[x].Left < Boxes[y].Left; });
    std::vector<size_t> pos(n);
    std::vector<Extended> lefts(n);
    for (size_t k = 0; k < n; ++k) {
        pos[byLeft[k]] = k;
        lefts[k] = Boxes[byLeft[k]].Left;
    }
    std::vector<int> thinByBottom;
    for (int b : byBottom)
        if (thin[b])
            thinByBottom.push_back(b);

    // Pending: not in range of any box yet. Waiting: in range, in the tree. Apart: in range,
    // thin, and possibly level with a thin box still to come, in the tree apart. Done: has
    // its parent, or is out of range for good.
    enum : char { kPending, kWaiting, kApart, kDone };
    std::vector<char> state(n, kPending);
    std::vector<int> parent(n, -1);
    TMaxTree tree(n), apartTree(n);
    // The boxes apart, by their bottoms, lowest (the most likely to lie below a box) first.
    std::set<std::pair<Extended, int>, std::greater<>> apart;
    auto drop = [&](int a) {
        if (state[a] == kWaiting)
            tree.Clear(pos[a]);
        else if (state[a] == kApart) {
            apartTree.Clear(pos[a]);
            apart.erase({bottom[a], a});
        }
        state[a] = kDone;
    };
    size_t in = 0, out = 0, settled = 0;
    for (int b : byBottom) {
        const Extended bb = bottom[b];
        for (; in < n && Boxes[byTop[in]].Top - bb > -kTouch; ++in) {
            const int a = byTop[in];
            if (thin[a]) {
                state[a] = kApart;
                apartTree.Set(pos[a], right[a], a);
                apart.insert({bottom[a], a});
            } else {
                state[a] = kWaiting;
                tree.Set(pos[a], right[a], a);
            }
        }
        // A thin box whose bottom lies a touch below every box still to come, this one
        // included, is level with none of them.
        for (; settled < thinByBottom.size() && bottom[thinByBottom[settled]] - kTouch >= bb; ++settled) {
            const int a = thinByBottom[settled];
            if (state[a] != kApart)
                continue;
            apartTree.Clear(pos[a]);
            apart.erase({bottom[a], a});
            state[a] = kWaiting;
            tree.Set(pos[a], right[a], a);
        }
        for (; out < in && !(Boxes[byTop[out]].Top - bb < kGapLimit); ++out)
            drop(byTop[out]);
        const char self = state[b];  // a box never hangs under itself
        if (self == kWaiting)
            tree.Clear(pos[b]);
        else if (self == kApart)
            apartTree.Clear(pos[b]);
        const size_t end = std::lower_bound(lefts.begin(), lefts.end(), right[b]) - lefts.begin();
        auto takeFrom = [&](TMaxTree& from) {
            for (;;) {
                Extended r;
                const int a = from.MaxBefore(end, r);
                if (a < 0 || !(r > Boxes[b].Left))
                    break;
                parent[a] = b;
                drop(a);
            }
        };
        takeFrom(tree);
        if (!thin[b]) {
            takeFrom(apartTree);
        } else {
            // Only the boxes reaching a touch below this one's top lie below it; of the
            // others, each lies above this one as much as this one lies above it.
            for (auto it = apart.begin(); it != apart.end() && it->first >= Boxes[b].Top + kTouch;) {
                const int a = it->second;
                ++it;
                if (a != b && Overlap(Boxes[a], Boxes[b])) {
                    parent[a] = b;
                    drop(a);
                }
            }
        }
        if (self == kWaiting && state[b] == kWaiting)
            tree.Set(pos[b], right[b], b);
        else if (self == kApart && state[b] == kApart)
            apartTree.Set(pos[b], right[b], b);
    }

    // Two different bottoms can give one rounded gap; then the first box of the two wins,
    // which only trying every box settles.
    std::vector<Extended> nextLower(n, std::numeric_limits<Extended>::quiet_NaN());
    for (size_t k = n; k-- > 0;) {
        const int b = byBottom[k];
        if (k + 1 < n) {
            const int c = byBottom[k + 1];
            nextLower[b] = bottom[c] < bottom[b] ? bottom[c] : nextLower[c];
        }
    }
    for (size_t i = 0; i < n; ++i) {
        const int b = parent[i];
        if (b >= 0 && !std::isnan(nextLower[b]) &&
            Boxes[i].Top - nextLower[b] == Boxes[i].Top - bottom[b])
            parent[i] = ParentByPairs(Boxes, i);
    }
    return parent;
}

}  // namespace rpengine
