#pragma once

#include <cfloat>
#include <cmath>

#include "base/Base.h"
#include "corelib/Assert.h"
#include "math/geometry/Orientation.h"

namespace geom {

/// A length in the caller's length unit: one signed double. Converts to and from double
/// freely, so arithmetic is plain floating point; the type carries the tolerance rule.
class Unit {
public:
    constexpr Unit() = default;
    constexpr Unit(double value) : m_Value(value) {}
    // An orientation or an open/closed flag is never a length.
    Unit(Orientation) = delete;
    Unit(OpenClosed) = delete;

    constexpr operator double() const { return m_Value; }
    constexpr Unit GetAbs() const { return m_Value < 0 ? -m_Value : m_Value; }

    /// The tolerance that belongs to this magnitude: a thousand units in its last place,
    /// and never 0 (1000 * DBL_MIN for 0).
    Unit GetEpsilon() const {
        VCORE_ASSERT("Unit", base::GetAbsOf_T(m_Value) <= DBL_MAX / 1000000 * 1001);
        double e = std::fabs(m_Value) * DBL_EPSILON;
        if (e == 0) {
            e = DBL_MIN;
        }
        return 1000 * e;
    }

private:
    double m_Value = 0;
};

inline constexpr Unit k_NullUnit{0.0};
inline constexpr Unit k_Unit_0{0.0};
/// Lengths at or beyond this count as infinite.
inline constexpr Unit k_InfiniteUnit{DBL_MAX / 1000000};

}  // namespace geom
