#include "math/geometry/BoxIndex.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace geom {

namespace {

constexpr int k_Bits = 16;
constexpr double k_Cells = double(1 << k_Bits);

/// A coordinate's cell along one axis of the frame, 0 to 2^16 - 1.
std::uint32_t GetCell(double v, double lo, double hi) {
    // Halved before subtracting, so that a frame spanning most of the double range does
    // not overflow to infinity.
    const double span = hi * 0.5 - lo * 0.5;
    double t = span > 0 ? (v * 0.5 - lo * 0.5) / span : 0.0;
    if (!(t > 0)) {
        t = 0;  // also NaN
    }
    const double cell = std::floor(t * k_Cells);
    return cell >= k_Cells - 1 ? (1u << k_Bits) - 1 : static_cast<std::uint32_t>(cell);
}

}  // namespace

std::uint64_t GetHilbertKey_G(const Box& frame, const Point& p) {
    std::uint32_t x = GetCell(p.GetX(), frame.GetXMin(), frame.GetXMax());
    std::uint32_t y = GetCell(p.GetY(), frame.GetYMin(), frame.GetYMax());
    // The classic iterative conversion: at each level, take the quadrant and rotate the
    // rest into the curve's frame for that quadrant.
    std::uint64_t key = 0;
    for (std::uint32_t s = 1u << (k_Bits - 1); s > 0; s >>= 1) {
        const std::uint32_t rx = (x & s) ? 1 : 0;
        const std::uint32_t ry = (y & s) ? 1 : 0;
        key += std::uint64_t(s) * s * ((3 * rx) ^ ry);
        if (ry == 0) {
            if (rx == 1) {
                x = s - 1 - (x & (s - 1));
                y = s - 1 - (y & (s - 1));
            }
            std::swap(x, y);
        }
    }
    return key;
}

BoxIndex MakeBoxIndex_G(std::vector<IndexedBox> boxes) {
    // Box::Meets is false for a box with NaN bounds, so such boxes are dropped as empty.
    boxes.erase(std::remove_if(boxes.begin(), boxes.end(),
                               [](const IndexedBox& b) { return !b.m_Box.Meets(b.m_Box); }),
                boxes.end());
    Box frame;
    for (const IndexedBox& b : boxes) {
        frame |= b.m_Box;
    }
    std::vector<std::pair<std::uint64_t, int>> keys;
    keys.reserve(boxes.size());
    for (int i = 0; i < int(boxes.size()); ++i) {
        keys.emplace_back(GetHilbertKey_G(frame, boxes[i].m_Box.GetCentre()), i);
    }
    std::sort(keys.begin(), keys.end());
    std::vector<IndexedBox> ordered;
    ordered.reserve(boxes.size());
    for (const auto& k : keys) {
        ordered.push_back(boxes[k.second]);
    }
    BoxIndex ret;
    ret.Assign(ordered.begin(), ordered.end());
    return ret;
}

}  // namespace geom
