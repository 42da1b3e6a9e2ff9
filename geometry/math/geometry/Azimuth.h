#pragma once

#include "math/geometry/Angle.h"
#include "math/geometry/Vector.h"

namespace geom {

/// The direction of a non-null vector. Axis-aligned vectors give the named constants
/// exactly (0, 90, 180, 270 degrees); others give atan2 in (-180, 180] degrees.
class Azimuth : public Angle {
public:
    explicit Azimuth(const Vector& v);
};

}  // namespace geom
