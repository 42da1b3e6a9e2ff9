#pragma once

#include <algorithm>
#include <vector>

#include "math/geometry/Point.h"

namespace geom {

/// Groups points that lie within the accuracy of each other (transitively, in the square
/// norm of Point::IsEqualTo); each group takes the location of its first point. Points are
/// bucketed in cells twice the accuracy wide, so merging compares each point with its
/// neighbours only. Add every point, call Merge once, then ask Find for a point's group
/// (the index of the group's first point).
class PointMerger {
public:
    int Add(const Point& p) {
        m_Points.push_back(p);
        return int(m_Points.size()) - 1;
    }
    const Point& GetPoint(int i) const { return m_Points[i]; }
    int GetCount() const { return int(m_Points.size()); }
    void Merge(double accuracy);
    int Find(int i) {
        while (m_Parent[i] != i) {
            m_Parent[i] = m_Parent[m_Parent[i]];
            i = m_Parent[i];
        }
        return i;
    }

private:
    void Unite(int a, int b) {
        a = Find(a);
        b = Find(b);
        if (a != b) {
            m_Parent[std::max(a, b)] = std::min(a, b);
        }
    }

    std::vector<Point> m_Points;
    std::vector<int> m_Parent;
};

}  // namespace geom
