#pragma once

#include "math/geometry/Area.h"
#include "math/geometry/Box.h"
#include "math/geometry/Point.h"
#include "math/geometry/Unit.h"

namespace geom {

class EdgeIntersections;

/// A straight segment start -> end; it may be a point (start equal to end).
class Segment {
public:
    Segment() = default;
    Segment(const Point& start, const Point& end) : m_Start(start), m_End(end) {}

    const Point& GetStart() const { return m_Start; }
    const Point& GetEnd() const { return m_End; }
    Vector GetVector() const { return m_End - m_Start; }
    Area GetLengthSquare() const { return GetVector().GetLengthSquare(); }
    Box GetBBox() const { return Box(m_Start, m_End); }
    Segment GetReversed() const { return Segment(m_End, m_Start); }

    /// Start and end within accuracy of each other; the point is the start.
    bool IsPoint(Unit accuracy, Point* what_if_so = nullptr) const {
        if (!m_Start.IsEqualTo(m_End, accuracy)) {
            return false;
        }
        if (what_if_so) {
            *what_if_so = m_Start;
        }
        return true;
    }

    /// The point of the segment nearest to p (p itself when it lies on the segment).
    Point GetClosestPointTo(const Point& p) const;
    Unit GetDistanceTo(const Point& p) const { return p.GetDistanceTo(GetClosestPointTo(p)); }

    /// Where two segments meet under an accuracy: nothing, points, or a common
    /// sub-segment running the way of s1.
    static EdgeIntersections Intersect_G(const Segment& s1, const Segment& s2, Unit accuracy);

    friend bool operator==(const Segment& a, const Segment& b) {
        return a.m_Start == b.m_Start && a.m_End == b.m_End;
    }

private:
    Point m_Start;
    Point m_End;
};

}  // namespace geom
