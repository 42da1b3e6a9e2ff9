#include "math/geometry/Segment.h"

#include <cmath>

#include "base/Base.h"
#include "corelib/Assert.h"
#include "math/geometry/Intersections.h"

namespace geom {

Point Segment::GetClosestPointTo(const Point& p) const {
    if (m_Start == m_End) {
        return m_Start;
    }
    const Vector d = m_End - m_Start;
    const Vector w = p - m_Start;
    if (d.Cross(w) == 0 && GetBBox().Contains(p)) {
        return p;
    }
    if (w.Dot(d) <= 0) {
        return m_Start;
    }
    if ((p - m_End).Dot(d) >= 0) {
        return m_End;
    }
    const double offset = w.Dot(d) / d.GetLengthSquare();
    VCORE_ASSERT("Segment", offset >= -0.1 && offset <= 1.1);
    if (offset <= 0) {
        return m_Start;
    }
    if (offset >= 1) {
        return m_End;
    }
    return m_Start + d * offset;
}

namespace {

/// The end point of either segment nearest to p when within accuracy, else p.
Point SnapToEnds(const Point& p, const Segment& s1, const Segment& s2, double accuracy) {
    const Point ends[4] = {s1.GetStart(), s1.GetEnd(), s2.GetStart(), s2.GetEnd()};
    Point best = p;
    double best_distance = accuracy;
    for (const Point& e : ends) {
        if (e.IsEqualTo(p, accuracy)) {
            const double d = e.GetDistanceTo(p);
            if (d <= best_distance) {
                best = e;
                best_distance = d;
            }
        }
    }
    return best;
}

bool IsInsideBigBox(const Box& b) {
    VCORE_ASSERT("Segment", (b & k_BigBox) == b);
    return (b & k_BigBox) == b;
}

}  // namespace

EdgeIntersections Segment::Intersect_G(const Segment& s1, const Segment& s2, Unit accuracy) {
    EdgeIntersections ret;
    const Box b1 = s1.GetBBox();
    const Box b2 = s2.GetBBox();
    if (!IsInsideBigBox(b1) || !IsInsideBigBox(b2)) {
        return ret;
    }
    const double acc = accuracy > 0 ? double(accuracy) : 0.0;
    if (!b1.GetExpanded(acc).Meets(b2)) {
        return ret;
    }
    Point p;
    if (s1.IsPoint(acc, &p)) {
        if (s2.GetDistanceTo(p) <= acc) {
            ret.AddPoint(p);
        }
        return ret;
    }
    if (s2.IsPoint(acc, &p)) {
        if (s1.GetDistanceTo(p) <= acc) {
            ret.AddPoint(p);
        }
        return ret;
    }

    const Vector d1 = s1.GetVector();
    const Vector d2 = s2.GetVector();
    const double l1 = d1.GetLength();
    const double l2 = d2.GetLength();
    // How far each end lies from the other segment's line.
    const double e21 = std::fabs(d1.Cross(s2.m_Start - s1.m_Start)) / l1;
    const double e22 = std::fabs(d1.Cross(s2.m_End - s1.m_Start)) / l1;
    const double e11 = std::fabs(d2.Cross(s1.m_Start - s2.m_Start)) / l2;
    const double e12 = std::fabs(d2.Cross(s1.m_End - s2.m_Start)) / l2;
    if ((e21 <= acc && e22 <= acc) || (e11 <= acc && e12 <= acc)) {
        // Collinear within the accuracy: compare positions along s1.
        const Vector u = d1 / l1;
        const double t2s = u.Dot(s2.m_Start - s1.m_Start);
        const double t2e = u.Dot(s2.m_End - s1.m_Start);
        const double lo = base::GetMaxOf_T(0.0, base::GetMinOf_T(t2s, t2e));
        const double hi = base::GetMinOf_T(l1, base::GetMaxOf_T(t2s, t2e));
        if (!(hi >= lo - acc)) {
            return ret;
        }
        if (hi - lo <= acc) {
            ret.AddPoint(SnapToEnds(s1.m_Start + u * ((lo + hi) * 0.5), s1, s2, acc));
            return ret;
        }
        // The common piece runs from the later start to the earlier end, which is the
        // closest (start, end) pair once s2 runs the way of s1.
        const Segment o2 = d1.Dot(d2) < 0 ? s2.GetReversed() : s2;
        const Area a11 = s1.m_Start.GetDistanceSquareTo(s1.m_End);
        const Area a12 = s1.m_Start.GetDistanceSquareTo(o2.m_End);
        const Area a21 = o2.m_Start.GetDistanceSquareTo(s1.m_End);
        const Area a22 = o2.m_Start.GetDistanceSquareTo(o2.m_End);
        Point start = s1.m_Start;
        Point end = s1.m_End;
        double best = a11;
        if (a12 < best) {
            best = a12;
            start = s1.m_Start;
            end = o2.m_End;
        }
        if (a21 < best) {
            best = a21;
            start = o2.m_Start;
            end = s1.m_End;
        }
        if (a22 < best) {
            start = o2.m_Start;
            end = o2.m_End;
        }
        VCORE_ASSERT("Segment", start.GetDistanceSquareTo(end)
                                    == base::GetMinOf_T<double>(a11, a12, a21, a22));
        ret.Add(Arc(start, end));
        return ret;
    }

    const double denom = d1.Cross(d2);
    if (denom != 0) {
        const Vector w = s2.m_Start - s1.m_Start;
        const double t = w.Cross(d2) / denom;
        const double u = w.Cross(d1) / denom;
        if (t >= 0 && t <= 1 && u >= 0 && u <= 1) {
            Point crossing = t == 0 ? s1.m_Start : (t == 1 ? s1.m_End : s1.m_Start + d1 * t);
            if (u == 0) {
                crossing = s2.m_Start;
            } else if (u == 1) {
                crossing = s2.m_End;
            }
            const double d1s = s1.GetDistanceTo(crossing);
            const double d2s = s2.GetDistanceTo(crossing);
            const double d3 = std::fabs(d1.Cross(crossing - s1.m_Start)) / l1;
            const double d4 = std::fabs(d2.Cross(crossing - s2.m_Start)) / l2;
            const bool accepted = accuracy == 0
                                  || (d1s <= accuracy * 0.8 && d2s <= accuracy * 0.8
                                      && d3 <= accuracy * 0.8 && d4 <= accuracy * 0.8);
            VCORE_ASSERT("Segment", accepted);
            if (accepted) {
                ret.AddPoint(SnapToEnds(crossing, s1, s2, acc));
                return ret;
            }
        }
    }

    // No crossing inside both: an end of one touching the other within the accuracy.
    const Point* best = nullptr;
    double best_distance = acc;
    const Point* ends1[2] = {&s1.m_Start, &s1.m_End};
    const Point* ends2[2] = {&s2.m_Start, &s2.m_End};
    for (const Point* e : ends1) {
        const double d = s2.GetDistanceTo(*e);
        if (d <= best_distance) {
            best = e;
            best_distance = d;
        }
    }
    for (const Point* e : ends2) {
        const double d = s1.GetDistanceTo(*e);
        if (d <= best_distance) {
            best = e;
            best_distance = d;
        }
    }
    if (best) {
        ret.AddPoint(*best);
    }
    return ret;
}

}  // namespace geom
