#include "math/geometry/Line.h"

#include <cmath>

#include "corelib/Assert.h"
#include "math/geometry/GeomStl.h"

namespace geom {

Line::Line(const Point& pa, const Point& pb) : m_A(pa), m_B(pb) {
    VCORE_ASSERT("Line", !pa.IsEqualTo(pb, GetCombinedEpsilon_T(pa, pb)));
    if (pa.GetY() == pb.GetY()) {
        if (pb.GetX() > pa.GetX()) {
            m_Normal = Vector(0.0, 1.0);
            m_C = -pa.GetY();
        } else {
            m_Normal = Vector(0.0, -1.0);
            m_C = pa.GetY();
        }
        return;
    }
    if (pa.GetX() == pb.GetX()) {
        if (pb.GetY() > pa.GetY()) {
            m_Normal = Vector(-1.0, 0.0);
            m_C = pa.GetX();
        } else {
            m_Normal = Vector(1.0, 0.0);
            m_C = -pa.GetX();
        }
        return;
    }
    const Vector d = pb - pa;
    m_Normal = d.GetLeftNormal().GetWithLength(1.0);
    m_C = -(m_Normal.GetDx() * pa.GetX() + m_Normal.GetDy() * pa.GetY());
}

Unit Line::GetDistanceFromDefiningPoints(const Point& p) const {
    const Vector d = m_B - m_A;
    const double length = d.GetLength();
    if (!(length > 0)) {
        return p.GetDistanceTo(m_A);
    }
    return std::fabs(d.Cross(p - m_A)) / length;
}

bool Line::Intersect_G(const Line& l1, const Line& l2, Unit accuracy, Point* crossing) {
    const Vector& n1 = l1.m_Normal;
    const Vector& n2 = l2.m_Normal;
    const double det = n1.Cross(n2);
    if (det == 0 || !std::isfinite(det)) {
        return false;
    }
    // n1.p = -c1 and n2.p = -c2 by Cramer's rule.
    const Point p((-l1.m_C * n2.GetDy() + l2.m_C * n1.GetDy()) / det,
                  (-l2.m_C * n1.GetDx() + l1.m_C * n2.GetDx()) / det);
    if (accuracy != 0) {
        const double limit = accuracy * 0.8;
        const double d1 = std::fabs(l1.GetSignedDistanceTo(p));
        const double d2 = std::fabs(l2.GetSignedDistanceTo(p));
        const double d3 = l1.GetDistanceFromDefiningPoints(p);
        const double d4 = l2.GetDistanceFromDefiningPoints(p);
        if (!(d1 <= limit && d2 <= limit && d3 <= limit && d4 <= limit)) {
            return false;
        }
    }
    if (crossing) {
        *crossing = p;
    }
    return true;
}

}  // namespace geom
