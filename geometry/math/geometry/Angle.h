#pragma once

#include <cmath>
#include <compare>

namespace geom {

/// An angle in radians. Sine and cosine are exact at the quarter turns when the stored
/// value is bit for bit one of the named constants, so that rotations by them are exact.
class Angle {
public:
    /// Unit selectors of the constructor.
    enum UnitSelector { k_Degrees = 0, k_Radians = 1, k_RightAngles = 2, k_HalfRightAngles = 3 };

    constexpr Angle() = default;
    /// `value` in the unit chosen by `unit_selector` (0 degrees, 1 radians, 2 right
    /// angles, 3 half right angles). Any other selector is reported and gives 0.
    Angle(int unit_selector, double value);

    static constexpr Angle FromRadians(double radians) {
        Angle ret;
        ret.m_Value = radians;
        return ret;
    }

    constexpr double GetValue() const { return m_Value; }
    double GetDegrees() const { return m_Value / 0.017453292519943295; }
    constexpr Angle GetAbs() const { return FromRadians(m_Value < 0 ? -m_Value : m_Value); }

    inline double Sin() const;
    inline double Cos() const;

    constexpr Angle operator-() const { return FromRadians(-m_Value); }
    friend constexpr Angle operator+(Angle a, Angle b) {
        return FromRadians(a.m_Value + b.m_Value);
    }
    friend constexpr Angle operator-(Angle a, Angle b) {
        return FromRadians(a.m_Value - b.m_Value);
    }
    friend constexpr Angle operator*(Angle a, double f) { return FromRadians(a.m_Value * f); }
    friend constexpr Angle operator*(double f, Angle a) { return FromRadians(a.m_Value * f); }
    friend constexpr Angle operator/(Angle a, double f) { return FromRadians(a.m_Value / f); }
    friend constexpr bool operator==(Angle a, Angle b) { return a.m_Value == b.m_Value; }
    friend constexpr auto operator<=>(Angle a, Angle b) { return a.m_Value <=> b.m_Value; }

private:
    double m_Value = 0;
};

inline constexpr double k_RadiansPerDegree = 0.017453292519943295;

inline constexpr Angle k_Degree_0 = Angle::FromRadians(0 * k_RadiansPerDegree);
inline constexpr Angle k_Degree_45 = Angle::FromRadians(45 * k_RadiansPerDegree);
inline constexpr Angle k_Degree_90 = Angle::FromRadians(90 * k_RadiansPerDegree);
inline constexpr Angle k_Degree_180 = Angle::FromRadians(180 * k_RadiansPerDegree);
inline constexpr Angle k_Degree_270 = Angle::FromRadians(270 * k_RadiansPerDegree);
inline constexpr Angle k_Degree_360 = Angle::FromRadians(360 * k_RadiansPerDegree);

inline constexpr Angle k_Angle_0 = k_Degree_0;

inline double Angle::Cos() const {
    const double v = m_Value;
    if (v == 0 || v == k_Degree_360.m_Value) {
        return 1;
    }
    if (v == k_Degree_90.m_Value || v == -k_Degree_90.m_Value || v == k_Degree_270.m_Value
        || v == -k_Degree_270.m_Value) {
        return 0;
    }
    if (v == k_Degree_180.m_Value || v == -k_Degree_180.m_Value) {
        return -1;
    }
    return std::cos(v);
}

inline double Angle::Sin() const {
    const double v = m_Value;
    if (v == 0 || v == k_Degree_360.m_Value || v == k_Degree_180.m_Value
        || v == -k_Degree_180.m_Value) {
        return 0;
    }
    if (v == k_Degree_90.m_Value || v == -k_Degree_270.m_Value) {
        return 1;
    }
    if (v == -k_Degree_90.m_Value || v == k_Degree_270.m_Value) {
        return -1;
    }
    return std::sin(v);
}

}  // namespace geom
