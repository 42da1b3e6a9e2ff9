#pragma once

#include "corelib/Assert.h"
#include "math/geometry/Angle.h"
#include "math/geometry/Box.h"
#include "math/geometry/Circle.h"
#include "math/geometry/Point.h"
#include "math/geometry/Unit.h"

namespace geom {

/// A circle as a curve: centre and radius (>= 0).
class Circumference {
public:
    Circumference() = default;
    Circumference(const Point& centre, Unit radius) : m_Centre(centre), m_Radius(radius) {
        VCORE_ASSERT("math/geometry/Circumference", radius >= k_NullUnit);
    }

    const Point& GetCentre() const { return m_Centre; }
    Unit GetRadius() const { return m_Radius; }
    /// centre + radius (cos a, sin a), exact at the named quarter turns.
    Point GetPointAt(Angle azimuth) const {
        return Point(m_Centre.GetX() + m_Radius * azimuth.Cos(),
                     m_Centre.GetY() + m_Radius * azimuth.Sin());
    }
    Circle GetCircle() const { return Circle(m_Centre, m_Radius); }
    Box GetBBox() const { return GetCircle().GetBBox(); }

private:
    Point m_Centre;
    Unit m_Radius;
};

}  // namespace geom
