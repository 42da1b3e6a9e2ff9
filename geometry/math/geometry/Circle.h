#pragma once

#include "corelib/Assert.h"
#include "math/geometry/Area.h"
#include "math/geometry/Box.h"
#include "math/geometry/Point.h"
#include "math/geometry/Unit.h"

namespace geom {

/// A disc: centre and radius (>= 0).
class Circle {
public:
    Circle() = default;
    Circle(const Point& centre, Unit radius) : m_Centre(centre), m_Radius(radius) {
        VCORE_ASSERT("math/geometry/Circle", m_Radius >= k_Unit_0);
    }

    const Point& GetCentre() const { return m_Centre; }
    Unit GetRadius() const { return m_Radius; }
    Box GetBBox() const {
        const Vector r(m_Radius, m_Radius);
        return Box(m_Centre - r, m_Centre + r);
    }

private:
    Point m_Centre;
    Unit m_Radius;
};

}  // namespace geom
