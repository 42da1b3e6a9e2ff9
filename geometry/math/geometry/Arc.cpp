#include "math/geometry/Arc.h"

#include <algorithm>
#include <cmath>

#include "base/Base.h"
#include "corelib/Assert.h"
#include "math/geometry/Azimuth.h"
#include "math/geometry/Exception.h"
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
    VCORE_ASSERT("Arc", cw_ccw == k_CW || cw_ccw == k_CCW);
    VCORE_ASSERT("Arc", start != end);
    const double r = c.GetRadius();
    if (r == 0) {
        m_Start = m_End = c.GetCentre();
        return;
    }
    m_Start = c.GetPointAt(start);
    m_End = c.GetPointAt(end);
    VCORE_ASSERT("Arc", m_Start != m_End);
    double ccw = std::fmod(end.GetValue() - start.GetValue(), k_TwoPi);
    if (ccw < 0) {
        ccw += k_TwoPi;
    }
    const bool big = cw_ccw == k_CW ? k_TwoPi - ccw > k_Pi : ccw > k_Pi;
    const double half = m_Start.GetDistanceTo(m_End) * 0.5;
    const double d = std::sqrt(base::GetMaxOf_T(0.0, r * r - half * half));
    // r - d, written without the cancellation of two nearly equal numbers.
    double height = big ? r + d : half * half / (r + d);
    VCORE_ASSERT("Arc", height > k_NullUnit);
    if (!(height > 0)) {
        height = 0;
    }
    m_Height = cw_ccw == k_CW ? height : -height;
}

Arc::Arc(const Circumference& c, Angle start, Orientation cw_ccw) {
    VCORE_ASSERT("Arc", cw_ccw == k_CW || cw_ccw == k_CCW);
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
    VCORE_ASSERT("Arc", cw_ccw == k_CW || cw_ccw == k_CCW);
    const double r1 = start.GetDistanceTo(centre);
    const double r2 = end.GetDistanceTo(centre);
    const double radius = (r1 + r2) * 0.5;
    if (!(std::fabs(r1 - r2) <= 1e-10 * radius)) {
        const double ratio = std::fabs(r1 - r2) / start.GetDistanceTo(end);
        VCORE_ASSERT("Arc", ratio < 0.333);
    }
    // No caller expects a whole circle here: it is reported, and made all the same.
    VCORE_ASSERT("Arc", start != end);
    const bool clockwise = cw_ccw == k_CW;
    if (start == end) {
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
        VCORE_ASSERT("Arc", m_Height != k_NullUnit);
        return Circumference(mid, k_InfiniteUnit);
    }
    const Vector chord = m_End - m_Start;
    const double l2 = chord.GetLengthSquare();
    const double ah = std::fabs(h);
    if (4 * h * h == l2) {
        return Circumference(mid, ah);
    }
    const double r = GetRadiusFromChord_G(l2, h);
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
    const double r = GetRadiusFromChord_G((m_End - m_Start).GetLengthSquare(), m_Height);
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
    VCORE_ASSERT("Arc", 0.0 <= rate && rate <= 1.0);
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
    const double r = GetRadiusFromChord_G(length * length, m_Height);
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
    VCORE_ASSERT("Arc", max_arc_angle > k_Angle_0);
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

    VCORE_ASSERT("Arc", count > (last_point_too ? 1 : 0));
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
    VCORE_ASSERT("Arc", ends.size() >= 2);
    if (ends.size() < 2) {
        ret.push_back(*this);
        return ret;
    }
    VCORE_ASSERT("Arc", ends.front() == GetStart() && ends.back() == GetEnd());
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
        VCORE_ASSERT("Arc", a.GetStart() == ends[j] && a.GetEnd() == ends[j + 1]);
        VCORE_ASSERT("Arc", !a.IsCircumference(nullptr));
    }
    VCORE_ASSERT("Arc", ret.front().GetStart() == GetStart());
    VCORE_ASSERT("Arc", ret.back().GetEnd() == GetEnd());
    VCORE_ASSERT("Arc", IsPolyArcSequence_G(ret, k_Open));
    return ret;
}

Arc Arc::Merge_G(const Arc& a1, const Arc& a2) {
    VCORE_ASSERT("Arc", a1.GetEnd() == a2.GetStart());
    VCORE_ASSERT("Arc", a1.GetHeight().GetAbs() < k_InfiniteUnit);
    VCORE_ASSERT("Arc", a2.GetHeight().GetAbs() < k_InfiniteUnit);
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
    VCORE_ASSERT("Arc", candidate.GetHeight().GetAbs() < k_InfiniteUnit);
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
