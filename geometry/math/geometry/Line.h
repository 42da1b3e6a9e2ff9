#pragma once

#include "math/geometry/Point.h"
#include "math/geometry/Unit.h"
#include "math/geometry/Vector.h"

namespace geom {

/// The line through two points in implicit form n.p + c = 0, n the unit left normal of
/// the direction a -> b. Axis-parallel lines get exact normals. The defining points are
/// kept for an independent distance check.
class Line {
public:
    Line() = default;
    Line(const Point& pa, const Point& pb);

    const Vector& GetNormal() const { return m_Normal; }
    /// n.p + c: positive on the left of a -> b.
    double GetSignedDistanceTo(const Point& p) const {
        return m_Normal.GetDx() * p.GetX() + m_Normal.GetDy() * p.GetY() + m_C;
    }
    /// The distance of p from the line through the defining points, from their cross
    /// product (independent of the normal form).
    Unit GetDistanceFromDefiningPoints(const Point& p) const;

    /// The crossing of two lines, accepted only when it lies within 0.8 * accuracy of
    /// both lines in both forms (any crossing when accuracy is 0). Parallel lines give
    /// false.
    static bool Intersect_G(const Line& l1, const Line& l2, Unit accuracy, Point* crossing);

private:
    Vector m_Normal{0.0, 1.0};
    double m_C = 0;
    Point m_A;
    Point m_B;
};

}  // namespace geom
