#include "math/geometry/Angle.h"

#include "corelib/Assert.h"

namespace geom {

Angle::Angle(int unit_selector, double value) {
    VCORE_ASSERT("Angle", unit_selector >= k_Degrees && unit_selector <= k_HalfRightAngles);
    switch (unit_selector) {
    case k_Degrees:
        m_Value = value * k_RadiansPerDegree;
        break;
    case k_Radians:
        m_Value = value;
        break;
    case k_RightAngles:
        m_Value = value * 1.5707963267948966;
        break;
    case k_HalfRightAngles:
        m_Value = value * 0.7853981633974483;
        break;
    default:
        m_Value = 0;
        break;
    }
}

}  // namespace geom
