#include "math/geometry/Vector.h"

#include <cmath>

#include "math/geometry/Azimuth.h"

namespace geom {

Azimuth::Azimuth(const Vector& v) {
    VCORE_ASSERT("Vector", !v.IsNull());
    const double dx = v.GetDx();
    const double dy = v.GetDy();
    if (dx == 0) {
        if (dy > 0) {
            static_cast<Angle&>(*this) = k_Degree_90;
        } else if (dy < 0) {
            static_cast<Angle&>(*this) = k_Degree_270;
        }
        return;
    }
    if (dy == 0) {
        static_cast<Angle&>(*this) = dx > 0 ? k_Degree_0 : k_Degree_180;
        return;
    }
    static_cast<Angle&>(*this) = Angle::FromRadians(std::atan2(dy, dx));
}

Angle Vector::GetAngleTo(const Vector& v) const {
    VCORE_ASSERT("Vector", !IsNull() && !v.IsNull());
    if (IsNull() || v.IsNull()) {
        return k_Angle_0;
    }
    double d = Azimuth(v).GetValue() - Azimuth(*this).GetValue();
    // Azimuths lie in (-180, 270] degrees, so one turn at most brings d into range.
    if (d > k_Degree_180.GetValue()) {
        d -= k_Degree_360.GetValue();
    } else if (d <= -k_Degree_180.GetValue()) {
        d += k_Degree_360.GetValue();
    }
    return Angle::FromRadians(d);
}

bool Vector::IsSameDirection(const Vector& v, Angle accuracy) const {
    VCORE_ASSERT("Vector", accuracy >= k_Degree_0);
    if (IsNull() || v.IsNull()) {
        return false;
    }
    return GetAngleTo(v).GetAbs() <= accuracy;
}

Vector Vector::GetSignPattern() const {
    const base::Sign sx = base::GetSignOf_T(m_Dx);
    const base::Sign sy = base::GetSignOf_T(m_Dy);
    VCORE_ASSERT("Vector", sx != base::k_Zero || sy != base::k_Zero);
    return Vector(sx, sy);
}

}  // namespace geom
