#pragma once

#include <cmath>

#include "math/geometry/Area.h"
#include "math/geometry/Unit.h"
#include "math/geometry/Vector.h"

namespace geom {

/// A location (x, y). A point has no tolerance of its own: `==` is exact, and
/// IsEqualTo takes the tolerance from the caller.
class Point {
public:
    constexpr Point() = default;
    constexpr Point(double x, double y) : m_X(x), m_Y(y) {}

    constexpr Unit GetX() const { return m_X; }
    constexpr Unit GetY() const { return m_Y; }

    /// Within a square of half-width eps around p (not a circle).
    bool IsEqualTo(const Point& p, Unit eps) const {
        return std::fabs(m_X - p.m_X) <= eps && std::fabs(m_Y - p.m_Y) <= eps;
    }
    Area GetDistanceSquareTo(const Point& p) const { return (p - *this).GetLengthSquare(); }
    Unit GetDistanceTo(const Point& p) const { return (p - *this).GetLength(); }

    friend constexpr bool operator==(const Point& a, const Point& b) {
        return a.m_X == b.m_X && a.m_Y == b.m_Y;
    }
    friend constexpr Vector operator-(const Point& b, const Point& a) {
        return Vector(b.m_X - a.m_X, b.m_Y - a.m_Y);
    }
    friend constexpr Point operator+(const Point& a, const Vector& v) {
        return Point(a.m_X + v.GetDx(), a.m_Y + v.GetDy());
    }
    friend constexpr Point operator-(const Point& a, const Vector& v) {
        return Point(a.m_X - v.GetDx(), a.m_Y - v.GetDy());
    }

private:
    double m_X = 0;
    double m_Y = 0;
};

/// Whether a comes before b in the canonical order of end points: smaller x first, on
/// equal x smaller y first.
constexpr bool IsCanonicallyBefore_G(const Point& a, const Point& b) {
    return a.GetX() < b.GetX() || (a.GetX() == b.GetX() && a.GetY() < b.GetY());
}

/// The midpoint of a and b, computed with the two in canonical order so that a segment
/// and its reverse give bit-identical results; a coordinate equal at both ends is copied.
inline Point GetMiddlePoint_G(Point a, Point b) {
    if (IsCanonicallyBefore_G(b, a)) {
        const Point t = a;
        a = b;
        b = t;
    }
    const double x = a.GetX() == b.GetX() ? double(a.GetX()) : (a.GetX() + b.GetX()) * 0.5;
    const double y = a.GetY() == b.GetY() ? double(a.GetY()) : (a.GetY() + b.GetY()) * 0.5;
    return Point(x, y);
}

}  // namespace geom
