#include "math/geometry/Arc.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "base/Base.h"
#include "corelib/Assert.h"
#include "math/geometry/Azimuth.h"
#include "math/geometry/Exception.h"
#include "math/geometry/Intersections.h"
#include "math/geometry/PolyArc.h"

namespace geom {

namespace {

constexpr double k_Pi = k_Degree_180.GetValue();
constexpr double k_TwoPi = k_Degree_360.GetValue();

/// Counter-clockwise angle from a to b in [0, 2 pi).
double GetCcwAngle(const Vector& a, const Vector& b) {
    double ret = std::atan2(a.Cross(b), a.Dot(b));
    if (ret < 0) {
        ret += k_TwoPi;
    }
    return ret;
}

/// The height of an arc with chord length `chord` and unsigned sweep `sweep` (< 2 pi),
/// signed for the orientation.
double GetHeightForSweep(double chord, double sweep, bool clockwise) {
    const double h = chord * 0.5 * std::tan(sweep * 0.25);
    return clockwise ? h : -h;
}

/// Quadrant of a vector from a circle's centre, for the extreme points: 0 for [0, 90)
/// degrees, 1 for [90, 180), 2 for [180, 270), 3 for [270, 360).
int GetQuadrant(const Vector& v) {
    const double x = v.GetDx();
    const double y = v.GetDy();
    if (x > 0 && y >= 0) {
        return 0;
    }
    if (x <= 0 && y > 0) {
        return 1;
    }
    if (x < 0 && y <= 0) {
        return 2;
    }
    return 3;
}

}  // namespace

Arc::Arc(const Circumference& c, Angle start, Angle end, Orientation cw_ccw) {
    VCORE_ASSERT_TEXT("Arc", cw_ccw == k_CW || cw_ccw == k_CCW,
                      "cw_ccw == k_CW || cw_ccw == k_CCW");
    VCORE_ASSERT_TEXT("Arc", start != end, "start != end");
    const double r = c.GetRadius();
    if (r == 0) {
        m_Start = m_End = c.GetCentre();
        return;
    }
    m_Start = c.GetPointAt(start);
    m_End = c.GetPointAt(end);
    VCORE_ASSERT_TEXT("Arc", m_Start != m_End, "start_point != end_point");
    double ccw = std::fmod(end.GetValue() - start.GetValue(), k_TwoPi);
    if (ccw < 0) {
        ccw += k_TwoPi;
    }
    const bool big = cw_ccw == k_CW ? k_TwoPi - ccw > k_Pi : ccw > k_Pi;
    const double half = m_Start.GetDistanceTo(m_End) * 0.5;
    const double d = std::sqrt(base::GetMaxOf_T(0.0, r * r - half * half));
    // r - d, written without the cancellation of two nearly equal numbers.
    double height = big ? r + d : half * half / (r + d);
    VCORE_ASSERT_TEXT("Arc", height > k_NullUnit, "height > k_NullUnit");
    if (!(height > 0)) {
        height = 0;
    }
    m_Height = cw_ccw == k_CW ? height : -height;
}

Arc::Arc(const Circumference& c, Angle start, Orientation cw_ccw) {
    VCORE_ASSERT_TEXT("Arc", cw_ccw == k_CW || cw_ccw == k_CCW,
                      "cw_ccw == k_CW || cw_ccw == k_CCW");
    const double r = c.GetRadius();
    if (r == 0) {
        m_Start = m_End = c.GetCentre();
        return;
    }
    m_Start = m_End = c.GetPointAt(start);
    double direction = start.GetValue() + k_Pi;
    if (direction >= k_TwoPi) {
        direction -= k_TwoPi;
    }
    m_Direction = Angle::FromRadians(direction);
    m_Height = cw_ccw == k_CW ? 2 * r : -2 * r;
}

Arc::Arc(const Point& start, const Point& end, const Point& centre, Orientation cw_ccw)
    : m_Start(start), m_End(end) {
    VCORE_ASSERT_TEXT("Arc", cw_ccw == k_CW || cw_ccw == k_CCW,
                      "cw_ccw == k_CW || cw_ccw == k_CCW");
    const double r1 = start.GetDistanceTo(centre);
    const double r2 = end.GetDistanceTo(centre);
    const double radius = (r1 + r2) * 0.5;
    if (!(std::fabs(r1 - r2) <= 1e-10 * radius)) {
        const double ratio = std::fabs(r1 - r2) / start.GetDistanceTo(end);
        VCORE_ASSERT_TEXT("Arc", ratio < 0.333, "ratio < 0.333");
    }
    const bool clockwise = cw_ccw == k_CW;
    if (start == end) {
        VCORE_ASSERT_TEXT("Arc", false,
                          "!\"We haven't expected full circles here in the past - code untested\"");
        if (!(radius > 0)) {
            return;
        }
        m_Direction = Azimuth(centre - start);
        m_Height = clockwise ? 2 * radius : -2 * radius;
        return;
    }
    const double ccw = GetCcwAngle(start - centre, end - centre);
    const bool big = clockwise ? k_TwoPi - ccw > k_Pi : ccw > k_Pi;
    const double half = start.GetDistanceTo(end) * 0.5;
    const double d = std::sqrt(base::GetMaxOf_T(0.0, radius * radius - half * half));
    const double height = big ? radius + d : half * half / (radius + d);
    m_Height = clockwise ? height : -height;
}

bool Arc::IsCircumference(Circumference* what_if_so) const {
    if (!(m_Start == m_End) || m_Height == 0) {
        return false;
    }
    if (what_if_so) {
        *what_if_so = GetCircumference();
    }
    return true;
}

Circumference Arc::GetCircumference() const {
    const double h = m_Height;
    if (m_Start == m_End) {
        if (h == 0) {
            return Circumference(m_Start, 0.0);
        }
        const double r = std::fabs(h) * 0.5;
        const Vector to_centre(m_Direction.Cos(), m_Direction.Sin());
        return Circumference(m_Start + to_centre * r, r);
    }
    const Point mid = GetMiddlePoint_G(m_Start, m_End);
    if (h == 0) {
        VCORE_ASSERT_TEXT("Arc", m_Height != k_NullUnit, "m_Height != k_NullUnit");
        return Circumference(mid, k_InfiniteUnit);
    }
    const Vector chord = m_End - m_Start;
    const double l2 = chord.GetLengthSquare();
    const double ah = std::fabs(h);
    if (4 * h * h == l2) {
        return Circumference(mid, ah);
    }
    const double r = (l2 / (4 * ah) + ah) * 0.5;
    const Vector offset = chord.GetWithLength(std::fabs(r - ah));
    const bool left = (h > 0) == IsBig();
    return Circumference(mid + (left ? offset.GetLeftNormal() : offset.GetRightNormal()), r);
}

Point Arc::GetMiddlePoint() const {
    const Arc a = IsCanonicallyBefore_G(m_End, m_Start) ? GetReversed() : *this;
    if (a.m_Height == 0) {
        return GetMiddlePoint_G(a.m_Start, a.m_End);
    }
    if (a.m_Start == a.m_End) {
        const Point c = a.GetCircumference().GetCentre();
        return Point(2 * c.GetX() - a.m_Start.GetX(), 2 * c.GetY() - a.m_Start.GetY());
    }
    const Vector bulge = (a.m_End - a.m_Start).GetLeftNormal().GetWithLength(a.m_Height);
    return GetMiddlePoint_G(a.m_Start, a.m_End) + bulge;
}

double Arc::GetLeavingCurvature() const {
    const double h = m_Height;
    if (h == 0) {
        return 0;
    }
    const double r = m_Start == m_End ? std::fabs(h) * 0.5 : double(GetCircumference().GetRadius());
    return (h < 0 ? 1 : -1) / r;
}

Angle Arc::GetSweepAngle() const {
    const double h = m_Height;
    if (h == 0) {
        return k_Angle_0;
    }
    if (m_Start == m_End) {
        return h < 0 ? k_Degree_360 : -k_Degree_360;
    }
    const double l2 = (m_End - m_Start).GetLengthSquare();
    if (4 * h * h == l2) {
        return h < 0 ? k_Degree_180 : -k_Degree_180;
    }
    const double ah = std::fabs(h);
    double sweep;
    if (4 * h * h > l2) {
        const double r = GetCircumference().GetRadius();
        const double arg = std::clamp(1 - ah / r, -1.0, 1.0);
        sweep = 2 * std::acos(arg);
    } else {
        sweep = 4 * std::atan(ah / (std::sqrt(l2) * 0.5));
    }
    return Angle::FromRadians(h < 0 ? sweep : -sweep);
}

Unit Arc::GetLength() const {
    if (m_Height == 0) {
        return m_Start.GetDistanceTo(m_End);
    }
    if (m_Start == m_End) {
        return k_Pi * std::fabs(m_Height);
    }
    const double l2 = (m_End - m_Start).GetLengthSquare();
    const double ah = std::fabs(m_Height);
    const double r = (l2 / (4 * ah) + ah) * 0.5;
    return std::fabs(GetSweepAngle().GetValue()) * r;
}

Box Arc::GetBBox() const {
    if (m_Height == 0) {
        return Box(m_Start, m_End);
    }
    if (m_Start == m_End) {
        return GetCircumference().GetBBox();
    }
    Box ret(m_Start, m_End);
    const Vector chord = m_End - m_Start;
    if (std::fabs(m_Height) * 1000 < chord.GetLength()) {
        // A flat arc lies within the rectangle on its chord that is as deep as its height;
        // its centre is too far away to give the extreme points precisely.
        const Vector bulge = chord.GetLeftNormal().GetWithLength(m_Height);
        return ret | Box(m_Start + bulge, m_End + bulge);
    }
    const Circumference c = GetCircumference();
    const Point& o = c.GetCentre();
    const double r = c.GetRadius();
    // Walk counter-clockwise from the first end to the second.
    const bool ccw = m_Height < 0;
    const Vector from = (ccw ? m_Start : m_End) - o;
    const Vector to = (ccw ? m_End : m_Start) - o;
    const int qs = GetQuadrant(from);
    int crossed = (GetQuadrant(to) - qs + 4) % 4;
    if (crossed == 0 && IsBig()) {
        crossed = 4;
    }
    double xmin = ret.GetXMin();
    double xmax = ret.GetXMax();
    double ymin = ret.GetYMin();
    double ymax = ret.GetYMax();
    for (int i = 1; i <= crossed; ++i) {
        switch ((qs + i) % 4) {
        case 0:
            xmax = base::GetMaxOf_T(xmax, o.GetX() + r);
            break;
        case 1:
            ymax = base::GetMaxOf_T(ymax, o.GetY() + r);
            break;
        case 2:
            xmin = base::GetMinOf_T(xmin, o.GetX() - r);
            break;
        default:
            ymin = base::GetMinOf_T(ymin, o.GetY() - r);
            break;
        }
    }
    return Box::FromBounds(xmin, ymin, xmax, ymax);
}

Arc Arc::GetRotated(const Point& centre, Angle angle) const {
    if (angle.GetValue() == 0) {
        return *this;
    }
    const Point s = centre + (m_Start - centre).GetRotated(angle);
    const Point e = m_Start == m_End ? s : centre + (m_End - centre).GetRotated(angle);
    Angle direction = m_Direction;
    if (m_Start == m_End && m_Height != 0) {
        double d = std::fmod(m_Direction.GetValue() + angle.GetValue(), k_TwoPi);
        if (d < 0) {
            d += k_TwoPi;
        }
        if (!(d < k_TwoPi)) {
            d = 0;
        }
        direction = Angle::FromRadians(d);
    }
    return Arc(s, e, m_Height, direction);
}

Vector Arc::GetStartTangent() const {
    if (m_Start == m_End) {
        if (m_Height == 0) {
            return Vector(1.0, 0.0);
        }
        const Vector to_centre(m_Direction.Cos(), m_Direction.Sin());
        return m_Height < 0 ? to_centre.GetRightNormal() : to_centre.GetLeftNormal();
    }
    const Vector chord = (m_End - m_Start).GetWithLength(1.0);
    if (m_Height == 0) {
        return chord;
    }
    return chord.GetRotated(-GetSweepAngle() * 0.5);
}

Vector Arc::GetEndTangent() const {
    if (m_Start == m_End) {
        return GetStartTangent();
    }
    const Vector chord = (m_End - m_Start).GetWithLength(1.0);
    if (m_Height == 0) {
        return chord;
    }
    return chord.GetRotated(GetSweepAngle() * 0.5);
}

Point Arc::GetPointAtRate(double rate) const {
    VCORE_ASSERT_TEXT("Arc", 0.0 <= rate && rate <= 1.0, "0.0 <= rate && rate <= 1.0");
    if (!(rate > 0)) {
        return m_Start;
    }
    if (rate >= 1) {
        return m_End;
    }
    if (m_Height == 0) {
        return m_Start + (m_End - m_Start) * rate;
    }
    // The chord from the start to the point turns from the start tangent by half the
    // central angle and is 2 r sin(half angle) long; no centre is needed.
    const double theta = GetSweepAngle().GetValue() * rate;
    const double r =
        m_Start == m_End ? std::fabs(m_Height) * 0.5 : double(GetCircumference().GetRadius());
    const Vector direction = GetStartTangent().GetRotated(Angle::FromRadians(theta * 0.5));
    return m_Start + direction * (2 * r * std::sin(std::fabs(theta) * 0.5));
}

double Arc::GetCentralAngleOf(const Point& p) const {
    const Vector w = p - m_Start;
    if (w.IsNull()) {
        return 0;
    }
    const Vector t = GetStartTangent();
    double psi = std::atan2(t.Cross(w), t.Dot(w));
    if (m_Height > 0) {
        psi = -psi;
    }
    if (psi < 0) {
        // Outside the circle near the start: just after it, or just before it.
        psi = psi > -k_Pi * 0.5 ? 0 : k_Pi;
    }
    return 2 * psi;
}

double Arc::GetRateOf(const Point& p) const {
    if (m_Height == 0) {
        const Vector d = m_End - m_Start;
        const double l2 = d.GetLengthSquare();
        if (!(l2 > 0)) {
            return 0;
        }
        return std::clamp((p - m_Start).Dot(d) / l2, 0.0, 1.0);
    }
    if (p == m_Start) {
        return 0;
    }
    if (p == m_End) {
        return 1;
    }
    const double total = std::fabs(GetSweepAngle().GetValue());
    const double central = GetCentralAngleOf(p);
    const double rate = central / total;
    if (!(rate <= 1)) {
        if (!(central == central)) {
            return 0;
        }
        return central - total < k_TwoPi - central ? 1 : 0;
    }
    return rate;
}

Point Arc::GetClosestPoint(const Point& p, double* distance) const {
    if (m_Height == 0) {
        const Point ret = Segment(m_Start, m_End).GetClosestPointTo(p);
        *distance = p.GetDistanceTo(ret);
        return ret;
    }
    if (m_Start == m_End) {
        const Circumference c = GetCircumference();
        const Vector v = p - c.GetCentre();
        const double d = v.GetLength();
        if (!(d > 0)) {
            *distance = c.GetRadius();
            return m_Start;
        }
        *distance = std::fabs(d - c.GetRadius());
        return c.GetCentre() + v * (c.GetRadius() / d);
    }
    // Work in the frame of the chord: u along it from its midpoint, w towards the bulge.
    // The centre is at w = |h| - r; the formulas avoid subtracting r from a nearly equal
    // number, so nearly flat arcs with huge radii stay precise.
    const Vector chord = m_End - m_Start;
    const double length = chord.GetLength();
    const Vector t = chord / length;
    const Vector nb = m_Height > 0 ? t.GetLeftNormal() : t.GetRightNormal();
    const double ah = std::fabs(m_Height);
    const double r = (length * length / (4 * ah) + ah) * 0.5;
    const Vector q = p - GetMiddlePoint_G(m_Start, m_End);
    const double u = q.Dot(t);
    const double a = q.Dot(nb) - ah;
    const double ar = a + r;
    const double d = std::sqrt(u * u + ar * ar);
    if (!(d > 0)) {
        *distance = r;
        return GetMiddlePoint();
    }
    const double denom = ar + d;
    const double hit_w = denom > 0 ? ah - r * u * u / (d * denom) : ah - 2 * r;
    if (hit_w >= 0) {
        const double signed_distance = (u * u + a * a + 2 * r * a) / (d + r);
        const Vector radial = (t * u + nb * ar) / d;
        *distance = std::fabs(signed_distance);
        return p - radial * signed_distance;
    }
    const double ds = p.GetDistanceTo(m_Start);
    const double de = p.GetDistanceTo(m_End);
    *distance = base::GetMinOf_T(ds, de);
    return ds <= de ? m_Start : m_End;
}

Point Arc::GetClosestPointTo(const Point& p) const {
    double distance = 0;
    return GetClosestPoint(p, &distance);
}

Unit Arc::GetDistanceTo(const Point& p) const {
    double distance = 0;
    GetClosestPoint(p, &distance);
    return distance;
}

void Arc::GeneratePoints(Angle max_arc_angle, bool last_point_too, int budget,
                         std::vector<Point>& points) const {
    VCORE_ASSERT_TEXT("Arc", max_arc_angle > k_Angle_0, "max_arc_angle > k_Angle_0");
    if (IsSegment(0)) {
        points.push_back(m_Start);
        if (last_point_too) {
            points.push_back(m_End);
        }
        return;
    }
    const double sweep = GetSweepAngle().GetValue();
    const double x = std::fabs(sweep) / max_arc_angle.GetValue();
    double wanted = std::floor(x);
    if (x - wanted > 1e-12) {
        wanted += 1;
    }
    if (last_point_too) {
        wanted += 1;
    }
    if (!(wanted <= budget)) {
        throw Exception(2);
    }
    const int count = wanted > 0 ? static_cast<int>(wanted) : 0;

    VCORE_ASSERT_TEXT("Arc", count > (last_point_too ? 1 : 0), "count > (last_point_too ? 1 : 0)");
    points.reserve(points.size() + base::GetMaxOf_T(count, 1));
    points.push_back(m_Start);
    const int chords = last_point_too ? count - 1 : count;
    if (chords > 1) {
        const Angle step = Angle::FromRadians(chords == 2 ? sweep / 2 : sweep / chords);
        const double c = step.Cos();
        const double s = step.Sin();
        const Point centre = GetCircumference().GetCentre();
        double vx = m_Start.GetX() - centre.GetX();
        double vy = m_Start.GetY() - centre.GetY();
        for (int i = 1; i < chords; ++i) {
            const double nx = vx * c - vy * s;
            vy = vx * s + vy * c;
            vx = nx;
            points.emplace_back(centre.GetX() + vx, centre.GetY() + vy);
        }
    }
    if (last_point_too) {
        points.push_back(m_End);
    }
}

std::vector<Arc> Arc::Split(const std::vector<Point>& ends) const {
    std::vector<Arc> ret;
    if (ends.size() < 2) {
        VCORE_ASSERT_TEXT("Arc", false, "ends.front() == GetStart() && ends.back() == GetEnd()");
        ret.push_back(*this);
        return ret;
    }
    VCORE_ASSERT_TEXT("Arc", ends.front() == GetStart() && ends.back() == GetEnd(),
                      "ends.front() == GetStart() && ends.back() == GetEnd()");
    ret.reserve(ends.size() - 1);
    if (m_Height == 0) {
        for (size_t j = 0; j + 1 < ends.size(); ++j) {
            ret.emplace_back(ends[j], ends[j + 1]);
        }
    } else {
        const double total = std::fabs(GetSweepAngle().GetValue());
        const bool clockwise = m_Height > 0;
        double previous = 0;
        for (size_t j = 0; j + 1 < ends.size(); ++j) {
            const Point& a = ends[j];
            const Point& b = ends[j + 1];
            const double next = j + 2 == ends.size() ? total : GetCentralAngleOf(b);
            const double sweep = base::GetMaxOf_T(0.0, next - previous);
            previous = next;
            if (a == b) {
                ret.emplace_back(a, b);
                continue;
            }
            ret.emplace_back(a, b, GetHeightForSweep(a.GetDistanceTo(b), sweep, clockwise));
        }
    }
    for (size_t j = 0; j < ret.size(); ++j) {
        const Arc& a = ret[j];
        VCORE_ASSERT_TEXT("Arc", a.GetStart() == ends[j] && a.GetEnd() == ends[j + 1],
                          "a.GetStart() == ends[j] && a.GetEnd() == ends[j+1]");
        VCORE_ASSERT_TEXT("Arc", !a.IsCircumference(nullptr), "!a.IsCircumference (NULL)");
    }
    VCORE_ASSERT_TEXT("Arc", ret.front().GetStart() == GetStart(),
                      "ret.front().GetStart() == GetStart()");
    VCORE_ASSERT_TEXT("Arc", ret.back().GetEnd() == GetEnd(), "ret.back().GetEnd() == GetEnd()");
    VCORE_ASSERT_TEXT("Arc", IsPolyArcSequence_G(ret, k_Open), "IsPolyArcSequence_G (ret, k_Open)");
    return ret;
}

Arc Arc::Merge_G(const Arc& a1, const Arc& a2) {
    VCORE_ASSERT_TEXT("Arc", a1.GetEnd() == a2.GetStart(), "a1.GetEnd() == a2.GetStart()");
    VCORE_ASSERT_TEXT("Arc", a1.GetHeight().GetAbs() < k_InfiniteUnit,
                      "a1.GetHeight().GetAbs() < k_InfiniteUnit");
    VCORE_ASSERT_TEXT("Arc", a2.GetHeight().GetAbs() < k_InfiniteUnit,
                      "a2.GetHeight().GetAbs() < k_InfiniteUnit");
    Arc candidate(a1.GetStart(), a2.GetEnd());
    if (a1.m_Height != 0 || a2.m_Height != 0) {
        const double sweep = a1.GetSweepAngle().GetValue() + a2.GetSweepAngle().GetValue();
        const bool clockwise = sweep < 0;
        if (candidate.m_Start == candidate.m_End) {
            const Circumference c = (a1.m_Height != 0 ? a1 : a2).GetCircumference();
            if (!(c.GetCentre() == candidate.m_Start)) {
                candidate.m_Direction = Azimuth(c.GetCentre() - candidate.m_Start);
                candidate.m_Height = clockwise ? 2 * c.GetRadius() : -2 * c.GetRadius();
            }
        } else {
            candidate.m_Height = GetHeightForSweep(candidate.m_Start.GetDistanceTo(candidate.m_End),
                                                   std::fabs(sweep), clockwise);
        }
    }
    VCORE_ASSERT_TEXT("Arc", candidate.GetHeight().GetAbs() < k_InfiniteUnit,
                      "candidate.GetHeight().GetAbs() < k_InfiniteUnit");
    return candidate;
}

Arc Arc::Interpolate_G(const Arc& a1, const Arc& a2, double rate) {
    return Arc(a1.m_Start, a1.m_End, a1.m_Height + (a2.m_Height - a1.m_Height) * rate,
               a1.m_Direction);
}

bool Arc::IsEqualTo(const Arc& a, Unit accuracy) const {
    if (!m_Start.IsEqualTo(a.m_Start, accuracy) || !m_End.IsEqualTo(a.m_End, accuracy)
        || !(std::fabs(m_Height - a.m_Height) <= accuracy)) {
        return false;
    }
    const bool circle = IsCircumference();
    if (circle != a.IsCircumference()) {
        return false;
    }
    return !circle
           || GetCircumference().GetCentre().IsEqualTo(a.GetCircumference().GetCentre(), accuracy);
}

int Arc::Compare(const Arc& a, const Arc& b) {
    const double fa[6] = {a.m_Start.GetX(), a.m_Start.GetY(), a.m_End.GetX(),
                          a.m_End.GetY(),   a.m_Height,       a.m_Direction.GetValue()};
    const double fb[6] = {b.m_Start.GetX(), b.m_Start.GetY(), b.m_End.GetX(),
                          b.m_End.GetY(),   b.m_Height,       b.m_Direction.GetValue()};
    for (int i = 0; i < 6; ++i) {
        if (const int c = base::CompareTotal_G(fa[i], fb[i])) {
            return c;
        }
    }
    return 0;
}

}  // namespace geom

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
    const double r = (length * length / (4 * ah) + ah) * 0.5;
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
        VCORE_ASSERT_TEXT("Arc", la <= a1.GetLength() * 1.01 && la <= a2.GetLength() * 1.01,
                          "la <= la1 * 1.01 && la <= la2 * 1.01");
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
            VCORE_ASSERT_TEXT("Arc", item.m_Value.IsPoint(accuracy, &p),
                              "intersections.first.m_Value.IsPoint (accuracy, &p)");
        }
    }
    return ret;
}

}  // namespace geom
