#include "math/geometry/PointMerger.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

#include "base/Base.h"

namespace geom {

void PointMerger::Merge(double accuracy) {
    const int n = GetCount();
    m_Parent.resize(n);
    std::iota(m_Parent.begin(), m_Parent.end(), 0);
    // Equal points first: sorted, each run of them forms a group, and only the first point
    // of a run goes on. Many copies of one point (a path that stays put) would otherwise be
    // compared with each other pair by pair in their cell.
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = base::CompareTotal_G(m_Points[a].GetX(), m_Points[b].GetX());
        if (c != 0) {
            return c < 0;
        }
        const int d = base::CompareTotal_G(m_Points[a].GetY(), m_Points[b].GetY());
        return d != 0 ? d < 0 : a < b;
    });
    std::vector<int> distinct;
    distinct.reserve(order.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && m_Points[order[i]] == m_Points[order[i - 1]]) {
            Unite(order[i], order[i - 1]);
        } else {
            distinct.push_back(order[i]);
        }
    }
    if (!(accuracy > 0)) {
        return;
    }
    // Points on a grid of cells twice the accuracy wide: points within the accuracy of
    // each other lie in the same or in neighbouring cells. Sorting by cell compares each
    // point with few others, even where many share one x coordinate.
    const double size = 2 * accuracy;
    constexpr std::int64_t k_Limit = std::int64_t(1) << 62;
    constexpr std::int64_t k_NotANumber = k_Limit + 16;
    const auto key = [&](double v) {
        if (v != v) {
            return k_NotANumber;
        }
        const double k = std::floor(v / size);
        return k >= double(k_Limit) ? k_Limit
                                    : (k <= -double(k_Limit) ? -k_Limit : std::int64_t(k));
    };
    struct Cell {
        std::int64_t m_X;
        std::int64_t m_Y;
        int m_Point;
    };
    const auto count = distinct.size();
    std::vector<Cell> cells(count);
    for (size_t i = 0; i < count; ++i) {
        const Point& p = m_Points[distinct[i]];
        cells[i] = {key(p.GetX()), key(p.GetY()), distinct[i]};
    }
    const auto before = [](const Cell& a, std::int64_t x, std::int64_t y) {
        return a.m_X < x || (a.m_X == x && a.m_Y < y);
    };
    std::sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
        return a.m_X != b.m_X ? a.m_X < b.m_X
                              : (a.m_Y != b.m_Y ? a.m_Y < b.m_Y : a.m_Point < b.m_Point);
    });
    const auto compare = [&](size_t b0, size_t e0, size_t b1, size_t e1) {
        for (size_t i = b0; i < e0; ++i) {
            for (size_t j = b1; j < e1; ++j) {
                if (i != j
                    && m_Points[cells[i].m_Point].IsEqualTo(m_Points[cells[j].m_Point], accuracy)) {
                    Unite(cells[i].m_Point, cells[j].m_Point);
                }
            }
        }
    };
    size_t cursor = 0;
    for (size_t b = 0; b < count;) {
        const std::int64_t x = cells[b].m_X;
        const std::int64_t y = cells[b].m_Y;
        size_t e = b + 1;
        while (e < count && cells[e].m_X == x && cells[e].m_Y == y) {
            ++e;
        }
        if (x == k_NotANumber || y == k_NotANumber) {
            b = e;
            continue;
        }
        compare(b, e, b, e);
        // The cell above, then the three cells of the next column; the cursor only moves
        // forward since the cells are visited in order.
        size_t above = e;
        while (above < count && cells[above].m_X == x && cells[above].m_Y == y + 1) {
            ++above;
        }
        compare(b, e, e, above);
        while (cursor < count && before(cells[cursor], x + 1, y - 1)) {
            ++cursor;
        }
        size_t last = cursor;
        while (last < count && cells[last].m_X == x + 1 && cells[last].m_Y <= y + 1) {
            ++last;
        }
        compare(b, e, cursor, last);
        b = e;
    }
}

}  // namespace geom
