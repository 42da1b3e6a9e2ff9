#pragma once

#include <cstdint>
#include <vector>

#include "containers/AvlTree.h"
#include "math/geometry/Box.h"
#include "math/geometry/Point.h"

namespace geom {

/// An element of a box index: a caller's number and its box.
struct IndexedBox {
    int m_Id = 0;
    Box m_Box;
};

struct IndexedBoxOf {
    const Box& operator()(const IndexedBox& x) const { return x.m_Box; }
};

/// Boxes in a range tree whose order follows a Hilbert curve through the boxes' centres:
/// neighbours in the tree are neighbours in the plane in both directions, so every
/// subtree's box stays compact and a box query costs about O(log n + k).
using BoxIndex = containers::RangeAvlTree_T<IndexedBox, IndexedBoxOf>;

/// The position of p along a Hilbert curve of 2^16 x 2^16 cells covering `frame`. Points
/// outside the frame, and coordinates that are not finite, are clamped to its edges.
std::uint64_t GetHilbertKey_G(const Box& frame, const Point& p);

/// An index of the boxes, built in linear time after sorting them along the curve. Empty
/// boxes (and boxes with coordinates that are not numbers) are left out: no query meets
/// them.
BoxIndex MakeBoxIndex_G(std::vector<IndexedBox> boxes);

}  // namespace geom
