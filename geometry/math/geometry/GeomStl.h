#pragma once

#include "corelib/Assert.h"
#include "math/geometry/Box.h"
#include "math/geometry/Point.h"
#include "math/geometry/Unit.h"

namespace geom {

/// The tolerance of two points taken together: that of the box spanning them.
template <class P>
Unit GetCombinedEpsilon_T(const P& pa, const P& pb) {
    return Box(pa, pb).GetEpsilon();
}

/// The query box of a shape for the spatial containers: its bounding box grown by a
/// non-negative expansion.
template <class Shape>
Box GetQueryBox_T(const Shape& shape, Unit expansion) {
    VCORE_ASSERT("math/geometry/GeomStl", expansion >= k_NullUnit);
    if (!(expansion > k_NullUnit)) {
        return shape.GetBBox();
    }
    return shape.GetBBox().GetExpanded(expansion);
}

/// The box of a point grown by a non-negative expansion.
inline Box GetQueryBox_G(const Point& p, Unit expansion) {
    VCORE_ASSERT("math/geometry/GeomStl", expansion >= k_NullUnit);
    const double e = expansion > k_NullUnit ? double(expansion) : 0.0;
    return Box::FromBounds(p.GetX() - e, p.GetY() - e, p.GetX() + e, p.GetY() + e);
}

}  // namespace geom
