#pragma once

#include <cmath>

#include "base/Base.h"
#include "corelib/Assert.h"
#include "math/geometry/Angle.h"
#include "math/geometry/Area.h"
#include "math/geometry/Unit.h"

namespace geom {

/// A displacement (dx, dy). Lengths along the axes are exact, and rotations by the
/// named quarter turns are exact.
class Vector {
public:
    constexpr Vector() = default;
    constexpr Vector(double dx, double dy) : m_Dx(dx), m_Dy(dy) {}

    constexpr double GetDx() const { return m_Dx; }
    constexpr double GetDy() const { return m_Dy; }
    /// True only for exactly (0, 0).
    constexpr bool IsNull() const { return m_Dx == 0 && m_Dy == 0; }

    Area GetLengthSquare() const { return m_Dx * m_Dx + m_Dy * m_Dy; }
    Unit GetLength() const {
        if (m_Dx == 0) {
            return std::fabs(m_Dy);
        }
        if (m_Dy == 0) {
            return std::fabs(m_Dx);
        }
        return GetLengthSquare().GetSqrt();
    }
    /// The same direction with length `length`; exact along the axes.
    Vector GetWithLength(Unit length) const;

    /// (dx cos a - dy sin a, dx sin a + dy cos a).
    Vector GetRotated(Angle a) const {
        const double c = a.Cos();
        const double s = a.Sin();
        return Vector(m_Dx * c - m_Dy * s, m_Dx * s + m_Dy * c);
    }
    /// Rotated by +90 degrees (exactly).
    constexpr Vector GetLeftNormal() const { return Vector(-m_Dy, m_Dx); }
    /// Rotated by -90 degrees (exactly).
    constexpr Vector GetRightNormal() const { return Vector(m_Dy, -m_Dx); }

    /// Cross product this x v, positive when v turns counter-clockwise from this.
    constexpr Area Cross(const Vector& v) const { return m_Dx * v.m_Dy - m_Dy * v.m_Dx; }
    constexpr double Dot(const Vector& v) const { return m_Dx * v.m_Dx + m_Dy * v.m_Dy; }

    /// The signed turn from this direction to v's, in (-180, 180] degrees.
    Angle GetAngleTo(const Vector& v) const;
    /// Whether v points the same way within an angular accuracy.
    bool IsSameDirection(const Vector& v, Angle accuracy) const;
    /// (sign dx, sign dy); the null vector is reported.
    Vector GetSignPattern() const;

    constexpr Vector operator-() const { return Vector(-m_Dx, -m_Dy); }
    friend constexpr Vector operator+(Vector a, Vector b) {
        return Vector(a.m_Dx + b.m_Dx, a.m_Dy + b.m_Dy);
    }
    friend constexpr Vector operator-(Vector a, Vector b) {
        return Vector(a.m_Dx - b.m_Dx, a.m_Dy - b.m_Dy);
    }
    friend constexpr Vector operator*(Vector a, double f) { return Vector(a.m_Dx * f, a.m_Dy * f); }
    friend constexpr Vector operator*(double f, Vector a) { return Vector(a.m_Dx * f, a.m_Dy * f); }
    friend constexpr Vector operator/(Vector a, double f) { return Vector(a.m_Dx / f, a.m_Dy / f); }
    friend constexpr bool operator==(Vector a, Vector b) {
        return a.m_Dx == b.m_Dx && a.m_Dy == b.m_Dy;
    }

private:
    double m_Dx = 0;
    double m_Dy = 0;
};

inline constexpr Vector k_NullVector{0.0, 0.0};

inline Vector Vector::GetWithLength(Unit length) const {
    VCORE_ASSERT("Vector", *this != k_NullVector);
    if (m_Dx == 0) {
        return Vector(0.0, m_Dy < 0 ? -length : (m_Dy > 0 ? double(length) : 0.0));
    }
    if (m_Dy == 0) {
        return Vector(m_Dx < 0 ? -length : double(length), 0.0);
    }
    const double f = length / GetLength();
    return Vector(m_Dx * f, m_Dy * f);
}

}  // namespace geom
