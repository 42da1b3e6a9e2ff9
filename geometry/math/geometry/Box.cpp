#include "math/geometry/Box.h"

#include <cmath>

namespace geom {

Box Box::GetExpanded(Unit d) const {
    if (d == 0 || IsEmpty()) {
        return *this;
    }
    if (d < 0) {
        const double shrink = -d;
        if (2 * shrink > m_XMax - m_XMin || 2 * shrink > m_YMax - m_YMin) {
            return Box();
        }
        return FromBounds(m_XMin + shrink, m_YMin + shrink, m_XMax - shrink, m_YMax - shrink);
    }
    return FromBounds(m_XMin - d, m_YMin - d, m_XMax + d, m_YMax + d);
}

Unit Box::GetEpsilon() const {
    if (IsEmpty()) {
        return k_NullUnit;
    }
    const double m = base::GetMaxOf_T(std::fabs(m_XMin), std::fabs(m_XMax), std::fabs(m_YMin),
                                      std::fabs(m_YMax));
    const double s = base::GetMaxOf_T(m_XMax - m_XMin, m_YMax - m_YMin);
    return Unit(base::GetMaxOf_T(m, s)).GetEpsilon();
}

namespace {

int CompareRanges(const Range_T<double>& a, const Range_T<double>& b) {
    if (a.IsEmpty() || b.IsEmpty()) {
        return a.IsEmpty() == b.IsEmpty() ? 0 : (a.IsEmpty() ? 1 : -1);
    }
    if (const int c = base::CompareTotal_G(a.GetMin(), b.GetMin())) {
        return c;
    }
    return base::CompareTotal_G(a.GetMax(), b.GetMax());
}

}  // namespace

int Box::Compare(const Box& a, const Box& b) {
    if (const int c = CompareRanges(a.GetXRange(), b.GetXRange())) {
        return c;
    }
    return CompareRanges(a.GetYRange(), b.GetYRange());
}

}  // namespace geom
