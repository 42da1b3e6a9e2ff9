#pragma once

#include <algorithm>

#include "base/Base.h"
#include "corelib/Assert.h"
#include "math/geometry/Area.h"
#include "math/geometry/Point.h"
#include "math/geometry/Unit.h"

namespace geom {

/// A closed interval {min, max}; empty iff min > max. {1, 0} is the canonical empty range.
template <class T>
class Range_T {
public:
    constexpr Range_T() = default;
    constexpr Range_T(T min, T max) : m_Min(min), m_Max(max) {}

    constexpr T GetMin() const { return m_Min; }
    constexpr T GetMax() const { return m_Max; }
    constexpr bool IsEmpty() const { return m_Min > m_Max; }
    T GetLength() const {
        VCORE_ASSERT("Box", !IsEmpty());
        return m_Max - m_Min;
    }

    friend constexpr bool operator==(const Range_T& a, const Range_T& b) {
        return (a.IsEmpty() && b.IsEmpty()) || (a.m_Min == b.m_Min && a.m_Max == b.m_Max);
    }

private:
    T m_Min = 1;
    T m_Max = 0;
};

/// An axis-aligned box: an x range and a y range. Empty iff either range is empty;
/// operations keep empty boxes canonical (both ranges {1, 0}).
class Box {
public:
    /// The empty box.
    constexpr Box() = default;
    /// The box spanning two points.
    constexpr Box(const Point& a, const Point& b)
        : m_XMin(std::min<double>(a.GetX(), b.GetX())),
          m_XMax(std::max<double>(a.GetX(), b.GetX())),
          m_YMin(std::min<double>(a.GetY(), b.GetY())),
          m_YMax(std::max<double>(a.GetY(), b.GetY())) {}
    constexpr Box(const Range_T<double>& x, const Range_T<double>& y)
        : m_XMin(x.GetMin()), m_XMax(x.GetMax()), m_YMin(y.GetMin()), m_YMax(y.GetMax()) {
        Canonicalise();
    }
    static constexpr Box FromBounds(double xmin, double ymin, double xmax, double ymax) {
        return Box(Range_T<double>(xmin, xmax), Range_T<double>(ymin, ymax));
    }

    constexpr bool IsEmpty() const { return m_XMin > m_XMax || m_YMin > m_YMax; }
    constexpr double GetXMin() const { return m_XMin; }
    constexpr double GetXMax() const { return m_XMax; }
    constexpr double GetYMin() const { return m_YMin; }
    constexpr double GetYMax() const { return m_YMax; }
    constexpr Range_T<double> GetXRange() const { return {m_XMin, m_XMax}; }
    constexpr Range_T<double> GetYRange() const { return {m_YMin, m_YMax}; }
    Unit GetWidth() const { return GetXRange().GetLength(); }
    Unit GetHeight() const { return GetYRange().GetLength(); }
    Point GetMin() const { return Point(m_XMin, m_YMin); }
    Point GetMax() const { return Point(m_XMax, m_YMax); }
    Point GetCentre() const { return GetMiddlePoint_G(GetMin(), GetMax()); }

    /// Whether the two boxes share at least one point (touching counts).
    constexpr bool Meets(const Box& b) const {
        return m_XMin <= b.m_XMax && b.m_XMin <= m_XMax && m_YMin <= b.m_YMax && b.m_YMin <= m_YMax
               && m_XMin <= m_XMax && m_YMin <= m_YMax && b.m_XMin <= b.m_XMax
               && b.m_YMin <= b.m_YMax;
    }
    constexpr bool Contains(const Point& p) const {
        return m_XMin <= p.GetX() && p.GetX() <= m_XMax && m_YMin <= p.GetY() && p.GetY() <= m_YMax;
    }
    /// Whether b lies inside this box; the empty box lies inside every box.
    constexpr bool Contains(const Box& b) const {
        return b.IsEmpty()
               || (m_XMin <= b.m_XMin && b.m_XMax <= m_XMax && m_YMin <= b.m_YMin
                   && b.m_YMax <= m_YMax);
    }

    /// d = 0: the box itself; d > 0: grown by d on every side; d < 0: shrunk by |d| on
    /// every side, or empty when 2|d| exceeds the width or the height. Empty stays empty.
    Box GetExpanded(Unit d) const;

    /// The tolerance of the box: that of the largest of its coordinates' magnitudes and
    /// its sides; 0 for the empty box.
    Unit GetEpsilon() const;

    /// Intersection.
    friend constexpr Box operator&(const Box& a, const Box& b) {
        Box ret;
        ret.m_XMin = std::max(a.m_XMin, b.m_XMin);
        ret.m_XMax = std::min(a.m_XMax, b.m_XMax);
        ret.m_YMin = std::max(a.m_YMin, b.m_YMin);
        ret.m_YMax = std::min(a.m_YMax, b.m_YMax);
        ret.Canonicalise();
        return ret;
    }
    /// Union; an empty operand leaves the other unchanged.
    friend constexpr Box operator|(const Box& a, const Box& b) {
        if (a.IsEmpty()) {
            return b;
        }
        if (b.IsEmpty()) {
            return a;
        }
        Box ret;
        ret.m_XMin = std::min(a.m_XMin, b.m_XMin);
        ret.m_XMax = std::max(a.m_XMax, b.m_XMax);
        ret.m_YMin = std::min(a.m_YMin, b.m_YMin);
        ret.m_YMax = std::max(a.m_YMax, b.m_YMax);
        return ret;
    }
    Box& operator|=(const Box& b) { return *this = *this | b; }
    friend constexpr bool operator==(const Box& a, const Box& b) {
        return (a.IsEmpty() && b.IsEmpty())
               || (a.m_XMin == b.m_XMin && a.m_XMax == b.m_XMax && a.m_YMin == b.m_YMin
                   && a.m_YMax == b.m_YMax);
    }

    /// Three-way order: x range, then y range; a non-empty range before an empty one,
    /// ranges by min, then max.
    static int Compare(const Box& a, const Box& b);

private:
    constexpr void Canonicalise() {
        if (IsEmpty()) {
            m_XMin = m_YMin = 1;
            m_XMax = m_YMax = 0;
        }
    }

    double m_XMin = 1;
    double m_XMax = 0;
    double m_YMin = 1;
    double m_YMax = 0;
};

/// The box that every element of the spatial containers meets.
inline constexpr Box k_BigBox =
    Box::FromBounds(-k_InfiniteUnit, -k_InfiniteUnit, k_InfiniteUnit, k_InfiniteUnit);

}  // namespace geom
