// rpShiftTree.h - which view each view of a band hangs under: the nearest view above it
// that overlaps it horizontally moves it when it grows.
#pragma once

#include <vector>

namespace rpengine {

using Extended = long double;

struct TShiftBox {
    Extended Left = 0, Top = 0, Width = 0, Height = 0;
};

// For each box, the index of the box it hangs under, or -1 (it hangs under the band).
// The parent of A is the box B (not A) with the smallest gap A.Top - (B.Top + B.Height)
// above -0.0001 and below 10^10 whose left..right overlaps A's by more than 0.0001; equal
// gaps keep the box that comes first. Two boxes that would each hang under the other (lines
// at one height) hang under neither, so no box ever hangs, through others, under itself.
// O(n log n) for boxes of sizes a reader can see.
std::vector<int> rpShiftParents(const std::vector<TShiftBox>& Boxes);

// The same by trying every pair: for bands with coordinates that are not finite, or with
// a negative height.
std::vector<int> rpShiftParentsByPairs(const std::vector<TShiftBox>& Boxes);

}  // namespace rpengine
