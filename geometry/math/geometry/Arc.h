#pragma once

#include <cmath>
#include <vector>

#include "math/geometry/Angle.h"
#include "math/geometry/Box.h"
#include "math/geometry/Circumference.h"
#include "math/geometry/Orientation.h"
#include "math/geometry/Point.h"
#include "math/geometry/Segment.h"
#include "math/geometry/Unit.h"
#include "math/geometry/Vector.h"

namespace geom {

class EdgeIntersections;

/// The radius of an arc from the square of its chord's length and its height (not 0, either
/// sign): the centre, the chord's midpoint and an end form a right triangle, so
/// r^2 = (chord / 2)^2 + (r - |h|)^2, that is r = (chord^2 / (4 |h|) + |h|) / 2. Free of
/// the cancellation in r - |h| that a flat arc with a huge radius would suffer.
inline double GetRadiusFromChord_G(double chord_square, double height) {
    const double ah = std::fabs(height);
    return (chord_square / (4 * ah) + ah) * 0.5;
}

/// One edge of a poly-arc: start, end and the signed height (sagitta) from the chord's
/// midpoint to the arc's midpoint. Height 0 is the straight segment; a positive height
/// bulges to the left of start -> end (clockwise), a negative one to the right
/// (counter-clockwise). With start equal to end and a non-zero height the arc is a
/// whole circle of diameter |height| whose direction points from start to the centre;
/// every other arc has direction 0.
class Arc {
public:
    Arc() = default;
    Arc(const Point& start, const Point& end, Unit height = k_NullUnit)
        : m_Start(start), m_End(end), m_Height(height) {}
    /// As above; the direction is kept only for a whole circle (start equal to end and
    /// a non-zero height).
    Arc(const Point& start, const Point& end, Unit height, Angle direction)
        : m_Start(start), m_End(end), m_Height(height) {
        if (start == end && height != 0) {
            m_Direction = direction;
        }
    }
    /// The arc of a circle from the point at azimuth `start` to the one at `end`, turning
    /// the given way. Radius 0 gives the zero-length arc at the centre.
    Arc(const Circumference& c, Angle start, Angle end, Orientation cw_ccw);
    /// The whole circle starting and ending at the azimuth `start`.
    Arc(const Circumference& c, Angle start, Orientation cw_ccw);
    /// The arc from start to end around `centre`, turning the given way. The radius is
    /// the mean of the two centre distances.
    Arc(const Point& start, const Point& end, const Point& centre, Orientation cw_ccw);

    const Point& GetStart() const { return m_Start; }
    const Point& GetEnd() const { return m_End; }
    Unit GetHeight() const { return m_Height; }
    Angle GetDirection() const { return m_Direction; }
    /// k_CCW for a negative height, k_CW for a positive one, k_NoOrientation for 0.
    Orientation GetOrientation() const {
        return m_Height < 0 ? k_CCW : (m_Height > 0 ? k_CW : k_NoOrientation);
    }

    /// |height| <= accuracy: the height alone decides. The segment is start -> end.
    bool IsSegment(Unit accuracy, Segment* what_if_so = nullptr) const {
        if (!(std::fabs(m_Height) <= accuracy)) {
            return false;
        }
        if (what_if_so) {
            *what_if_so = Segment(m_Start, m_End);
        }
        return true;
    }
    /// A segment within accuracy whose ends are within accuracy; the point is the start.
    bool IsPoint(Unit accuracy, Point* what_if_so = nullptr) const {
        if (!IsSegment(accuracy) || !m_Start.IsEqualTo(m_End, accuracy)) {
            return false;
        }
        if (what_if_so) {
            *what_if_so = m_Start;
        }
        return true;
    }
    /// A whole circle: start equal to end and a non-zero height.
    bool IsCircumference(Circumference* what_if_so = nullptr) const;
    /// More than half a circle: 4 h^2 > chord^2.
    bool IsBig() const { return 4 * m_Height * m_Height > (m_End - m_Start).GetLengthSquare(); }

    Segment GetStartEndSegment() const { return Segment(m_Start, m_End); }
    /// The circle the arc lies on. A zero-length straight arc gives radius 0 at its
    /// start; any other straight arc is reported and gives an infinite radius.
    Circumference GetCircumference() const;
    /// The point halfway along the arc, bit-identical for the arc and its reverse.
    Point GetMiddlePoint() const;
    /// Signed sweep, positive counter-clockwise; exactly +-180 degrees for a half circle
    /// and +-360 for a whole one.
    Angle GetSweepAngle() const;
    /// Curvature as the arc leaves its start: 1 / radius, positive when it bends
    /// counter-clockwise, 0 for a straight arc. Orders arcs that leave a point along one
    /// tangent.
    double GetLeavingCurvature() const;
    Unit GetLength() const;
    Box GetBBox() const;
    Unit GetEpsilon() const { return GetBBox().GetEpsilon(); }

    /// Start and end swapped, height negated; a whole circle keeps its direction.
    Arc GetReversed() const { return Arc(m_End, m_Start, -m_Height, m_Direction); }
    Arc GetTranslated(const Vector& v) const {
        return Arc(m_Start + v, m_End + v, m_Height, m_Direction);
    }
    /// Both end points rotated about `centre`; a whole circle's direction turns too.
    Arc GetRotated(const Point& centre, Angle angle) const;

    /// Unit tangent at the start and at the end, in the direction of travel.
    Vector GetStartTangent() const;
    Vector GetEndTangent() const;

    /// The point reached after `rate` (0 to 1) of the sweep; exact at 0 and 1.
    Point GetPointAtRate(double rate) const;
    /// Where along the arc (0 to 1) a point on or near it lies; a point near the start
    /// gives 0 and one near the end 1.
    double GetRateOf(const Point& p) const;
    /// The point of the arc nearest to p, and its distance.
    Point GetClosestPointTo(const Point& p) const;
    Unit GetDistanceTo(const Point& p) const;

    /// Appends points along the arc with at most `max_arc_angle` between neighbours:
    /// the start, the interior points and, with `last_point_too`, the end (copied).
    /// Throws geom::Exception(2) when a true arc needs more than `budget` points; then
    /// nothing is appended.
    void GeneratePoints(Angle max_arc_angle, bool last_point_too, int budget,
                        std::vector<Point>& points) const;

    /// The pieces between consecutive points of `ends`, which run along the arc from its
    /// start to its end: an open chain on the same circle.
    std::vector<Arc> Split(const std::vector<Point>& ends) const;
    /// The arc from a1's start to a2's end that continues a1 through a2 (same circle).
    static Arc Merge_G(const Arc& a1, const Arc& a2);
    /// The arc with a1's end points and the height interpolated between a1's and a2's.
    static Arc Interpolate_G(const Arc& a1, const Arc& a2, double rate);

    /// Where two edges meet under an accuracy: crossing points (snapped to an end point
    /// within the accuracy) and common pieces (running the way of a1).
    static EdgeIntersections Intersect_G(const Arc& a1, const Arc& a2, Unit accuracy);

    /// End points and height within accuracy; whole circles also by their centres.
    bool IsEqualTo(const Arc& a, Unit accuracy) const;
    /// Three-way order: start x, start y, end x, end y, height, direction.
    static int Compare(const Arc& a, const Arc& b);

    friend bool operator==(const Arc& a, const Arc& b) {
        return a.m_Start == b.m_Start && a.m_End == b.m_End && a.m_Height == b.m_Height
               && a.m_Direction == b.m_Direction;
    }
    friend bool operator<(const Arc& a, const Arc& b) { return Compare(a, b) < 0; }

private:
    /// Central angle (0 to 2 pi) from the start to the point of the circle seen from p,
    /// measured the way the arc turns. Stable for nearly flat arcs.
    double GetCentralAngleOf(const Point& p) const;
    /// Closest point and distance in one pass.
    Point GetClosestPoint(const Point& p, double* distance) const;

    Point m_Start;
    Point m_End;
    Unit m_Height;
    Angle m_Direction;
};

}  // namespace geom
