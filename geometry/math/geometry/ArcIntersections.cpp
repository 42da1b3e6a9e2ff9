// Where two edges meet: crossings of their circles (or lines), computed in closed form,
// polished by Newton steps in each chord's frame, snapped to end points within the
// accuracy; and the common pieces of arcs on one circle.

#include <cfloat>
#include <cmath>

#include "base/Base.h"
#include "corelib/Assert.h"
#include "math/geometry/Arc.h"
#include "math/geometry/Intersections.h"

namespace geom {

namespace {

/// Candidate meeting points of two edges, before acceptance.
struct Candidates {
    Point m_Points[12];
    int m_Count = 0;

    void Add(const Point& p) {
        if (m_Count < 12) {
            m_Points[m_Count++] = p;
        }
    }
};

/// Crossings of a circle with the line through p0 and p1; a line that misses the circle
/// by at most `tol` touches it at the circle's point nearest to the line.
void AddCircleLineCrossings(const Circumference& c, const Point& p0, const Point& p1, double tol,
                            Candidates& out) {
    const Vector d = p1 - p0;
    const double l = d.GetLength();
    if (!(l > 0)) {
        return;
    }
    const Vector t = d / l;
    const Vector n = t.GetLeftNormal();
    const double r = c.GetRadius();
    const double dc = n.Dot(c.GetCentre() - p0);
    const double adc = std::fabs(dc);
    if (!(adc <= r + tol)) {
        return;
    }
    const Point foot = c.GetCentre() - n * dc;
    const double gap = r - adc;
    // Near a tangent the two crossings are ill-conditioned along the line, while the
    // circle stays within half^2 / 2r of it between them: within the tolerance, they
    // are one touching point.
    const double half2 = gap * (r + adc);
    if (gap < 0 || half2 / (2 * r) <= tol) {
        out.Add(c.GetCentre() - n * (dc >= 0 ? r : -r));
        return;
    }
    const double half = std::sqrt(half2);
    out.Add(foot + t * half);
    out.Add(foot - t * half);
}

/// Crossings of two circles with distinct centres; circles that miss each other by at
/// most `tol` touch at one point.
void AddCircleCircleCrossings(const Circumference& c1, const Circumference& c2, double tol,
                              Candidates& out) {
    const Vector d = c2.GetCentre() - c1.GetCentre();
    const double dist = d.GetLength();
    const double r1 = c1.GetRadius();
    const double r2 = c2.GetRadius();
    if (!(dist > 0) || !(dist <= r1 + r2 + tol)
        || dist + base::GetMinOf_T(r1, r2) + tol < base::GetMaxOf_T(r1, r2)) {
        return;
    }
    const double a = (dist * dist + r1 * r1 - r2 * r2) / (2 * dist);
    const double h2 = (r1 - a) * (r1 + a);
    const Point foot = c1.GetCentre() + d * (a / dist);
    // As for a line: circles that stay within the tolerance of each other between their
    // two crossings touch at one point.
    if (!(h2 > 0) || h2 * 0.5 * (1 / r1 + 1 / r2) <= tol) {
        out.Add(foot);
        return;
    }
    const Vector offset = d.GetLeftNormal() * (std::sqrt(h2) / dist);
    out.Add(foot + offset);
    out.Add(foot - offset);
}

/// Signed distance of p from the circle (or line) an edge lies on, positive outside the
/// circle (left of a line), and the unit gradient of that distance. Worked out in the
/// chord's frame, so nearly flat arcs with huge radii stay precise.
struct Level {
    double m_Value = 0;
    Vector m_Gradient;
};

bool GetLevel(const Arc& e, const Point& p, Level* level) {
    const Point& s = e.GetStart();
    const Point& t_end = e.GetEnd();
    const double h = e.GetHeight();
    if (s == t_end) {
        if (h == 0) {
            return false;
        }
        const Circumference c = e.GetCircumference();
        const Vector v = p - c.GetCentre();
        const double d = v.GetLength();
        if (!(d > 0)) {
            return false;
        }
        *level = {d - c.GetRadius(), v / d};
        return true;
    }
    const Vector chord = t_end - s;
    const double length = chord.GetLength();
    if (!(length > 0)) {
        return false;
    }
    const Vector t = chord / length;
    if (h == 0) {
        const Vector n = t.GetLeftNormal();
        *level = {n.Dot(p - s), n};
        return true;
    }
    const Vector nb = h > 0 ? t.GetLeftNormal() : t.GetRightNormal();
    const double ah = std::fabs(h);
    const double r = GetRadiusFromChord_G(length * length, h);
    const Vector q = p - GetMiddlePoint_G(s, t_end);
    const double u = q.Dot(t);
    const double a = q.Dot(nb) - ah;
    const double d = std::sqrt(u * u + (a + r) * (a + r));
    if (!(d > 0)) {
        return false;
    }
    *level = {(u * u + a * a + 2 * r * a) / (d + r), (t * u + nb * (a + r)) / d};
    return true;
}

/// Polishes a crossing of two edges computed from their circles by Newton steps on the
/// two signed distances. The circle formulas lose digits when one radius is much larger
/// than the other; the distances in the chords' frames do not.
Point RefineCrossing(const Arc& a1, const Arc& a2, Point p) {
    for (int i = 0; i < 3; ++i) {
        Level l1;
        Level l2;
        if (!GetLevel(a1, p, &l1) || !GetLevel(a2, p, &l2)) {
            break;
        }
        const double scale = 1 + std::fabs(p.GetX()) + std::fabs(p.GetY());
        if (std::fabs(l1.m_Value) <= 4 * DBL_EPSILON * scale
            && std::fabs(l2.m_Value) <= 4 * DBL_EPSILON * scale) {
            break;  // on both within rounding already
        }
        const double det = l1.m_Gradient.Cross(l2.m_Gradient);
        if (!(std::fabs(det) > 1e-3)) {
            break;  // nearly tangent: the crossing is not well defined along the tangent
        }
        const Vector& g1 = l1.m_Gradient;
        const Vector& g2 = l2.m_Gradient;
        const Vector step((-l1.m_Value * g2.GetDy() + l2.m_Value * g1.GetDy()) / det,
                          (-g1.GetDx() * l2.m_Value + g2.GetDx() * l1.m_Value) / det);
        if (!(step.GetLength() < 1e-3 * scale)) {
            break;
        }
        p = p + step;
    }
    return p;
}

/// The common pieces of two arcs on one circle (centre and radius of the first).
void AddCommonPieces(const Arc& a1, const Arc& a2, const Circumference& c, double tol,
                     EdgeIntersections& ret) {
    constexpr double k_TwoPi = k_Degree_360.GetValue();
    if (a1.IsCircumference() && a2.IsCircumference()) {
        ret.Add(a1);
        return;
    }
    const Point& o = c.GetCentre();
    const double r = c.GetRadius();
    // Each arc as a counter-clockwise interval: its first point and its angular length.
    const Point& ps1 = a1.GetHeight() < 0 ? a1.GetStart() : a1.GetEnd();
    const Point& pe1 = a1.GetHeight() < 0 ? a1.GetEnd() : a1.GetStart();
    const Point& ps2 = a2.GetHeight() < 0 ? a2.GetStart() : a2.GetEnd();
    const Point& pe2 = a2.GetHeight() < 0 ? a2.GetEnd() : a2.GetStart();
    const double l1 = std::fabs(a1.GetSweepAngle().GetValue());
    const double l2 = std::fabs(a2.GetSweepAngle().GetValue());
    const Vector v1 = ps1 - o;
    const Vector v2 = ps2 - o;
    double delta = std::atan2(v1.Cross(v2), v1.Dot(v2));
    if (delta < 0) {
        delta += k_TwoPi;
    }
    struct Bound {
        double m_Angle;
        const Point* m_Point;
    };
    const auto add_piece = [&](Bound from, Bound to) {
        const double sweep = to.m_Angle - from.m_Angle;
        if (!(sweep * r > tol) || *from.m_Point == *to.m_Point) {
            ret.AddPoint(*from.m_Point);
            return;
        }
        const double la = sweep * r;
        VCORE_ASSERT("Arc", la <= a1.GetLength() * 1.01 && la <= a2.GetLength() * 1.01);
        const double h = -from.m_Point->GetDistanceTo(*to.m_Point) * 0.5 * std::tan(sweep * 0.25);
        const Arc piece(*from.m_Point, *to.m_Point, h);
        ret.Add(a1.GetHeight() < 0 ? piece : piece.GetReversed());
    };
    if (delta <= l1) {
        const double end = delta + l2;
        add_piece({delta, &ps2}, end <= l1 ? Bound{end, &pe2} : Bound{l1, &pe1});
    }
    const double wrapped = delta + l2 - k_TwoPi;
    if (wrapped >= 0) {
        add_piece({0, &ps1}, wrapped <= l1 ? Bound{wrapped, &pe2} : Bound{l1, &pe1});
    }
}

}  // namespace

EdgeIntersections Arc::Intersect_G(const Arc& a1, const Arc& a2, Unit accuracy) {
    EdgeIntersections ret;
    const double acc = accuracy > 0 ? double(accuracy) : 0.0;
    const Box b1 = a1.GetBBox();
    const Box b2 = a2.GetBBox();
    if (!b1.GetExpanded(acc).Meets(b2)) {
        return ret;
    }
    const bool flat1 = a1.IsSegment(acc);
    const bool flat2 = a2.IsSegment(acc);
    if (flat1 && flat2) {
        return Segment::Intersect_G(a1.GetStartEndSegment(), a2.GetStartEndSegment(), acc);
    }
    // Computed crossings are accepted within the accuracy, or within the shapes' own
    // tolerance when the accuracy is below it (accuracy 0).
    const double tol = base::GetMaxOf_T(acc, double(b1.GetEpsilon()), double(b2.GetEpsilon()));

    Candidates candidates;
    // Ends touching the other edge come first, so that they win over computed crossings.
    for (const Point* e : {&a1.m_Start, &a1.m_End}) {
        if (a2.GetDistanceTo(*e) <= tol) {
            candidates.Add(*e);
        }
    }
    for (const Point* e : {&a2.m_Start, &a2.m_End}) {
        if (a1.GetDistanceTo(*e) <= tol) {
            candidates.Add(*e);
        }
    }
    if (!flat1 && !flat2) {
        const Circumference c1 = a1.GetCircumference();
        const Circumference c2 = a2.GetCircumference();
        if (c1.GetCentre().IsEqualTo(c2.GetCentre(), tol)
            && std::fabs(c1.GetRadius() - c2.GetRadius()) <= tol) {
            AddCommonPieces(a1, a2, c1, tol, ret);
        } else {
            AddCircleCircleCrossings(c1, c2, tol, candidates);
        }
    } else {
        const Arc& curved = flat1 ? a2 : a1;
        const Arc& flat = flat1 ? a1 : a2;
        AddCircleLineCrossings(curved.GetCircumference(), flat.m_Start, flat.m_End, tol,
                               candidates);
    }

    // The crossings computed from the circles (after the end points) are polished.
    for (int i = 0; i < candidates.m_Count; ++i) {
        bool is_end = false;
        for (const Point* e : {&a1.m_Start, &a1.m_End, &a2.m_Start, &a2.m_End}) {
            is_end = is_end || candidates.m_Points[i] == *e;
        }
        if (!is_end) {
            candidates.m_Points[i] = RefineCrossing(a1, a2, candidates.m_Points[i]);
        }
    }

    const int pieces = ret.size();
    const Point ends[4] = {a1.m_Start, a1.m_End, a2.m_Start, a2.m_End};
    for (int i = 0; i < candidates.m_Count; ++i) {
        Point p = candidates.m_Points[i];
        if (!(a1.GetDistanceTo(p) <= tol) || !(a2.GetDistanceTo(p) <= tol)) {
            continue;
        }
        double best = tol;
        Point snapped = p;
        for (const Point& e : ends) {
            const double d = e.GetDistanceTo(p);
            if (d <= best) {
                best = d;
                snapped = e;
            }
        }
        p = snapped;
        bool known = false;
        for (int j = 0; j < ret.size() && !known; ++j) {
            const Arc& item = ret[j].m_Value;
            known =
                j < pieces ? item.GetDistanceTo(p) <= tol : item.GetStart().GetDistanceTo(p) <= tol;
        }
        if (!known) {
            ret.AddPoint(p);
        }
    }
    for (const EdgeIntersection& item : ret) {
        if (item.IsPoint()) {
            Point p;
            VCORE_ASSERT("Arc", item.m_Value.IsPoint(accuracy, &p));
        }
    }
    return ret;
}

}  // namespace geom
