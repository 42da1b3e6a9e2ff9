#pragma once

#include <cfloat>
#include <cmath>

#include "corelib/Assert.h"
#include "math/geometry/Unit.h"

namespace geom {

/// A squared length: one signed double.
class Area {
public:
    constexpr Area() = default;
    constexpr Area(double value) : m_Value(value) {}
    Area(Orientation) = delete;
    Area(OpenClosed) = delete;

    constexpr operator double() const { return m_Value; }
    constexpr Area GetAbs() const { return m_Value < 0 ? -m_Value : m_Value; }

    /// The tolerance that belongs to this magnitude (the same rule as for a length).
    Area GetEpsilon() const;

    /// The side of the square of this area. Exact for 1 and 4; 0 for a value <= 0.
    Unit GetSqrt() const {
        VCORE_ASSERT("Area", m_Value >= 0);
        if (m_Value <= 0) {
            return 0.0;
        }
        if (m_Value == 1) {
            return 1.0;
        }
        if (m_Value == 4) {
            return 2.0;
        }
        return std::sqrt(m_Value);
    }

private:
    double m_Value = 0;
};

inline constexpr Area k_Area_0{0.0};
inline constexpr Area k_InfiniteArea{DBL_MAX / 1000000};

inline Area Area::GetEpsilon() const {
    VCORE_ASSERT("Area", GetAbs() <= k_InfiniteArea);
    double e = std::fabs(m_Value) * DBL_EPSILON;
    if (e == 0) {
        e = DBL_MIN;
    }
    return 1000 * e;
}

}  // namespace geom
