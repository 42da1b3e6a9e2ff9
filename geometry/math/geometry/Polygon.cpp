#include "math/geometry/Polygon.h"

#include <cmath>

#include "corelib/Assert.h"
#include "math/geometry/Circumference.h"
#include "math/geometry/GeomStl.h"

namespace geom {

Polygon::Polygon(const std::vector<Point>& vertices, bool orient) : PolyArc(k_Closed, vertices) {
    if (orient && PolyArc::GetArea() < 0) {
        static_cast<PolyArc&>(*this) = PolyArc::GetReversed();
    }
}

Polygon::Polygon(const std::vector<Arc>& arcs, bool orient) : PolyArc(k_Closed, arcs) {
    if (orient && PolyArc::GetArea() < 0) {
        static_cast<PolyArc&>(*this) = PolyArc::GetReversed();
    }
}

Polygon::Polygon(const Circle& circle) {
    const Point& c = circle.GetCentre();
    if (!(circle.GetRadius() > 0)) {
        Assign(k_Closed, {Arc(c, c)});
        return;
    }
    Assign(k_Closed, {Arc(Circumference(c, circle.GetRadius()), k_Angle_0, k_CCW)});
}

Polygon::Polygon(const Segment& segment, Unit width) {
    const Point& s = segment.GetStart();
    const Point& e = segment.GetEnd();
    if (width == 0) {
        Assign(k_Closed, {Arc(s, e)});
        return;
    }
    VCORE_ASSERT("Polygon", width > k_NullUnit);
    const double h = width * 0.5;
    if (segment.IsPoint(0)) {
        *this = Polygon(Circle(s, h));
        return;
    }
    const Vector n = (e - s).GetLeftNormal().GetWithLength(h);
    const Point s_right = s - n;
    const Point e_right = e - n;
    const Point e_left = e + n;
    const Point s_left = s + n;
    Assign(k_Closed, {Arc(s_left, s_right, -h), Arc(s_right, e_right), Arc(e_right, e_left, -h),
                      Arc(e_left, s_left)});
}

namespace {

/// The four sides of a box, counter-clockwise or clockwise from (xmin, ymin).
std::vector<Arc> GetBoxSides(const Box& box, Orientation direction) {
    VCORE_ASSERT("Polygon", direction == k_CW || direction == k_CCW);
    const Point p0(box.GetXMin(), box.GetYMin());
    const Point p1(box.GetXMax(), box.GetYMin());
    const Point p2(box.GetXMax(), box.GetYMax());
    const Point p3(box.GetXMin(), box.GetYMax());
    if (direction == k_CW) {
        return {Arc(p0, p3), Arc(p3, p2), Arc(p2, p1), Arc(p1, p0)};
    }
    return {Arc(p0, p1), Arc(p1, p2), Arc(p2, p3), Arc(p3, p0)};
}

/// 1 - 1/sqrt(2): the height of a quarter circle of radius 1.
const double k_QuarterCircleHeight = 1 - 1 / std::sqrt(2.0);

}  // namespace

Polygon::Polygon(const Box& box, Unit radius) {
    if (box.IsEmpty()) {
        return;
    }
    const double xmin = box.GetXMin();
    const double xmax = box.GetXMax();
    const double ymin = box.GetYMin();
    const double ymax = box.GetYMax();
    if (xmin == xmax || ymin == ymax) {
        const Point mid = box.GetCentre();
        const Segment middle = xmin == xmax
                                   ? Segment(Point(mid.GetX(), ymin), Point(mid.GetX(), ymax))
                                   : Segment(Point(xmin, mid.GetY()), Point(xmax, mid.GetY()));
        *this = Polygon(middle, 2 * radius);
        return;
    }
    if (radius == 0) {
        Assign(k_Closed, GetBoxSides(box, k_CCW));
        return;
    }
    const double r = radius;
    const double h = -r * k_QuarterCircleHeight;
    const Point right_top(xmax + r, ymax);
    const Point top_right(xmax, ymax + r);
    const Point top_left(xmin, ymax + r);
    const Point left_top(xmin - r, ymax);
    const Point left_bottom(xmin - r, ymin);
    const Point bottom_left(xmin, ymin - r);
    const Point bottom_right(xmax, ymin - r);
    const Point right_bottom(xmax + r, ymin);
    Assign(k_Closed, {Arc(right_top, top_right, h), Arc(top_right, top_left),
                      Arc(top_left, left_top, h), Arc(left_top, left_bottom),
                      Arc(left_bottom, bottom_left, h), Arc(bottom_left, bottom_right),
                      Arc(bottom_right, right_bottom, h), Arc(right_bottom, right_top)});
}

Polygon::Polygon(const PolyArc& closed) : PolyArc(closed) {}

Area Polygon::GetArea() const {
    if (IsEmpty()) {
        return k_Area_0;
    }
    const Area ret = PolyArc::GetArea();
    VCORE_ASSERT("Polygon", ret >= k_Area_0);
    return ret;
}

bool Polygon::IsSegment(Unit accuracy, Segment* what_if_so) const {
    if (GetEdgeCount() != 2) {
        return false;
    }
    const Arc a = GetEdge(0);
    if (a.GetHeight() != 0 || GetEdge(1).GetHeight() != 0) {
        return false;
    }
    VCORE_ASSERT("Polygon", a.IsSegment(accuracy, what_if_so));
    return true;
}

namespace {

/// Turns of a boundary around a point, counted in quarter turns.
struct QuadrantCount {
    bool m_Success = true;
    long m_Value = 0;
};

/// The quadrant of (x, y) around the origin, or false when a component is within `a` of 0.
bool GetQuadrant(double x, double y, double a, int* quadrant) {
    if (!(std::fabs(x) > a) || !(std::fabs(y) > a)) {
        return false;
    }
    *quadrant = x > 0 ? (y > 0 ? 0 : 3) : (y > 0 ? 1 : 2);
    return true;
}

/// The signed quarter turns that an edge makes around p. A straight edge turns by the
/// quadrant boundaries it crosses (two of them, when it passes to the opposite quadrant,
/// decided by the side of p). An arc turns as its chord does, plus a whole turn when p
/// lies between the arc and its chord (the arc and the reversed chord bound that region,
/// counter-clockwise for a counter-clockwise arc). False when undecided within `a`.
bool GetEdgeQuarterTurns(const Arc& e, const Point& p, double a, long* turns) {
    const Vector vs = e.GetStart() - p;
    const Vector ve = e.GetEnd() - p;
    int qs = 0;
    int qe = 0;
    if (!GetQuadrant(vs.GetDx(), vs.GetDy(), a, &qs)
        || !GetQuadrant(ve.GetDx(), ve.GetDy(), a, &qe)) {
        return false;
    }
    const double h = e.GetHeight();
    const double side = vs.Cross(ve);  // > 0: p on the left of the chord
    long ret = 0;
    switch ((qe - qs + 4) % 4) {
    case 1:
        ret = 1;
        break;
    case 3:
        ret = -1;
        break;
    case 2:
        if (side > 0) {
            ret = 2;
        } else if (side < 0) {
            ret = -2;
        } else if (h != 0) {
            // p on the chord: the arc passes round it on its bulging side.
            ret = h > 0 ? -2 : 2;
        } else {
            return false;
        }
        break;
    default:
        break;
    }
    if (h == 0) {
        *turns = ret;
        return true;
    }
    const long whole = h < 0 ? 4 : -4;
    if (e.GetStart() == e.GetEnd()) {
        const Circumference c = e.GetCircumference();
        const double d = (p - c.GetCentre()).GetLength() - c.GetRadius();
        if (!(std::fabs(d) > a)) {
            return false;
        }
        *turns = d < 0 ? whole : 0;
        return true;
    }
    const bool bulge_side = h > 0 ? side > 0 : side < 0;
    if (bulge_side) {
        // Distance from the circle, in the chord's frame so that flat arcs stay precise.
        const Vector chord = e.GetEnd() - e.GetStart();
        const double length = chord.GetLength();
        const Vector t = chord / length;
        const Vector nb = h > 0 ? t.GetLeftNormal() : t.GetRightNormal();
        const double ah = std::fabs(h);
        const double r = GetRadiusFromChord_G(length * length, h);
        const Vector q = p - GetMiddlePoint_G(e.GetStart(), e.GetEnd());
        const double u = q.Dot(t);
        const double w = q.Dot(nb) - ah;
        const double dist = std::sqrt(u * u + (w + r) * (w + r));
        const double signed_distance = (u * u + w * w + 2 * r * w) / (dist + r);
        if (!(std::fabs(signed_distance) > a)) {
            return false;
        }
        if (signed_distance < 0) {
            ret += whole;
        }
    }
    *turns = ret;
    return true;
}

QuadrantCount CountQuarterTurns(const EdgeTree& edges, const Point& p, double a) {
    QuadrantCount ret;
    if (a > 0 && !edges.GetBBox().GetExpanded(a).Contains(p)) {
        return ret;
    }
    // Only edges near the two axis lines through p can change quadrant: every other edge
    // lies in one quadrant, with p outside its box. The box queries skip them.
    const Box vertical =
        Box::FromBounds(p.GetX() - a, -k_InfiniteUnit, p.GetX() + a, k_InfiniteUnit);
    const Box horizontal =
        Box::FromBounds(-k_InfiniteUnit, p.GetY() - a, k_InfiniteUnit, p.GetY() + a);
    const auto add = [&](const Arc& e) {
        long turns = 0;
        if (!GetEdgeQuarterTurns(e, p, a, &turns)) {
            ret.m_Success = false;
            return false;
        }
        ret.m_Value += turns;
        return true;
    };
    if (edges.VisitMeeting(vertical, [&](const Arc& e, const Box&) { return add(e); })) {
        edges.VisitMeeting(horizontal, [&](const Arc& e, const Box& box) {
            return box.Meets(vertical) || add(e);
        });
    }
    return ret;
}

}  // namespace

bool Polygon::Contains(const Point& p, Unit accuracy) const {
    VCORE_ASSERT("Polygon", accuracy >= 0);
    if (IsEmpty()) {
        return false;
    }
    const double a = accuracy > 0 ? double(accuracy) : 0.0;
    if (!GetBBox().GetExpanded(a).Contains(p)) {
        return false;
    }
    if (IsOnBoundary(p, a)) {
        return true;
    }
    const EdgeTree& edges = GetEdgeTree();
    const auto count = [&](const Point& q) {
        QuadrantCount ret = CountQuarterTurns(edges, q, a);
        if (!ret.m_Success) {
            ret = CountQuarterTurns(edges, q, 0);
        }
        return ret;
    };
    QuadrantCount qi = count(p);
    // An undecided count (p too close to an axis through a vertex, or to a circle) is
    // repeated at a slightly displaced point. The displacements are a fixed sequence, so
    // that the answer depends on the polygon and the point alone: the additive recurrence
    // of the plastic number spreads them evenly over the square of half-width m round p,
    // and no two share an axis line, so a vertex that undecides one rarely undecides the
    // next.
    const double m = base::GetMaxOf_T(a, double(GetEpsilon())) * 0.5;
    constexpr double k_StepX = 0.7548776662466927;  // 1 / plastic number
    constexpr double k_StepY = 0.5698402909980532;  // 1 / plastic number squared
    double ux = 0.5;
    double uy = 0.5;
    for (int i = 0; i < 100 && (!qi.m_Success || qi.m_Value % 4 != 0); ++i) {
        ux = std::fmod(ux + k_StepX, 1.0);
        uy = std::fmod(uy + k_StepY, 1.0);
        qi = count(Point(p.GetX() + (2 * ux - 1) * m, p.GetY() + (2 * uy - 1) * m));
    }
    VCORE_ASSERT("Polygon", qi.m_Success && qi.m_Value % 4 == 0);
    return qi.m_Success && qi.m_Value != 0;
}

}  // namespace geom
