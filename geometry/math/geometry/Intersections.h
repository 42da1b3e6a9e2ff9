#pragma once

#include <array>

#include "math/geometry/Arc.h"

namespace geom {

/// One place where two edges meet: a point (a zero-length straight arc) or a common
/// piece of both.
struct EdgeIntersection {
    Arc m_Value;

    bool IsPoint() const {
        return m_Value.GetStart() == m_Value.GetEnd() && m_Value.GetHeight() == 0;
    }
    const Point& GetPoint() const { return m_Value.GetStart(); }
};

/// The places where two edges meet, without allocation (two edges meet in at most a
/// handful of places; more are dropped).
class EdgeIntersections {
public:
    static constexpr int k_Capacity = 8;

    int size() const { return m_Count; }
    bool empty() const { return m_Count == 0; }
    const EdgeIntersection& operator[](int i) const { return m_Items[i]; }
    const EdgeIntersection* begin() const { return m_Items.data(); }
    const EdgeIntersection* end() const { return m_Items.data() + m_Count; }

    void AddPoint(const Point& p) { Add(Arc(p, p)); }
    void Add(const Arc& a) {
        if (m_Count < k_Capacity) {
            m_Items[m_Count++].m_Value = a;
        }
    }

private:
    std::array<EdgeIntersection, k_Capacity> m_Items{};
    int m_Count = 0;
};

}  // namespace geom
