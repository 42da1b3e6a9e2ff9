#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "math/geometry/Arc.h"
#include "math/geometry/PolyArc.h"

/// An independent model of the kernel's edges for checking its results: each arc is the
/// circle through its ends and its middle point (the chord's midpoint moved |h| to the
/// left of start -> end for a positive height), in plain doubles, with none of the
/// kernel's formulas. Rings of points stand in for shapes.
namespace model {

using geom::Arc;
using geom::Point;

inline const double k_Pi = std::acos(-1.0);

/// An arc's circle, the azimuth of its start and its signed sweep (counter-clockwise
/// positive, as for negative heights).
struct FittedArc {
    double m_X = 0, m_Y = 0, m_Radius = 0, m_From = 0, m_Sweep = 0;
};

/// The circle of a true arc; a whole circle's diameter runs from its start along its
/// direction.
inline FittedArc FitArc(const Arc& e) {
    const double sx = e.GetStart().GetX(), sy = e.GetStart().GetY();
    const double ex = e.GetEnd().GetX(), ey = e.GetEnd().GetY();
    const double h = e.GetHeight();
    FittedArc f;
    if (sx == ex && sy == ey) {
        f.m_Radius = std::fabs(h) / 2;
        f.m_X = sx + f.m_Radius * std::cos(e.GetDirection().GetValue());
        f.m_Y = sy + f.m_Radius * std::sin(e.GetDirection().GetValue());
        f.m_From = std::atan2(sy - f.m_Y, sx - f.m_X);
        f.m_Sweep = h < 0 ? 2 * k_Pi : -2 * k_Pi;
        return f;
    }
    const double len = std::hypot(ex - sx, ey - sy);
    const double mx = (sx + ex) / 2 - (ey - sy) / len * h;
    const double my = (sy + ey) / 2 + (ex - sx) / len * h;
    const double d = 2 * (sx * (my - ey) + mx * (ey - sy) + ex * (sy - my));
    f.m_X = ((sx * sx + sy * sy) * (my - ey) + (mx * mx + my * my) * (ey - sy)
             + (ex * ex + ey * ey) * (sy - my))
            / d;
    f.m_Y = ((sx * sx + sy * sy) * (ex - mx) + (mx * mx + my * my) * (sx - ex)
             + (ex * ex + ey * ey) * (mx - sx))
            / d;
    f.m_Radius = std::hypot(sx - f.m_X, sy - f.m_Y);
    f.m_From = std::atan2(sy - f.m_Y, sx - f.m_X);
    f.m_Sweep = std::atan2(ey - f.m_Y, ex - f.m_X) - f.m_From;
    while (h < 0 && f.m_Sweep <= 0) {
        f.m_Sweep += 2 * k_Pi;
    }
    while (h > 0 && f.m_Sweep >= 0) {
        f.m_Sweep -= 2 * k_Pi;
    }
    return f;
}

/// n points along each edge from its start on, as one closed ring.
inline std::vector<Point> SampleRing(const geom::PolyArc& p, int n) {
    std::vector<Point> ring;
    for (const Arc& e : p.GetEdges()) {
        const double sx = e.GetStart().GetX(), sy = e.GetStart().GetY();
        const FittedArc f = e.GetHeight() != 0 ? FitArc(e) : FittedArc();
        for (int i = 0; i < n; ++i) {
            const double a = f.m_From + f.m_Sweep * i / n;
            ring.push_back(e.GetHeight() == 0 ? Point(sx + (e.GetEnd().GetX() - sx) * i / n,
                                                      sy + (e.GetEnd().GetY() - sy) * i / n)
                                              : Point(f.m_X + f.m_Radius * std::cos(a),
                                                      f.m_Y + f.m_Radius * std::sin(a)));
        }
    }
    return ring;
}

/// Distance from p to an edge: to its circle where p's azimuth lies within the sweep (to
/// its line within the segment), else to the nearer end.
inline double DistanceToEdge(const Point& p, const Arc& e) {
    const double px = p.GetX() - e.GetStart().GetX(), py = p.GetY() - e.GetStart().GetY();
    const double dx = e.GetEnd().GetX() - e.GetStart().GetX();
    const double dy = e.GetEnd().GetY() - e.GetStart().GetY();
    const double to_ends = std::min(std::hypot(px, py), std::hypot(px - dx, py - dy));
    if (e.GetHeight() == 0) {
        const double t = (px * dx + py * dy) / (dx * dx + dy * dy);
        return t > 0 && t < 1 ? std::fabs(px * dy - py * dx) / std::hypot(dx, dy) : to_ends;
    }
    const FittedArc f = FitArc(e);
    double along = std::atan2(p.GetY() - f.m_Y, p.GetX() - f.m_X) - f.m_From;
    along = std::fmod(f.m_Sweep < 0 ? -along : along, 2 * k_Pi);
    along += along < 0 ? 2 * k_Pi : 0;
    return along <= std::fabs(f.m_Sweep)
               ? std::fabs(std::hypot(p.GetX() - f.m_X, p.GetY() - f.m_Y) - f.m_Radius)
               : to_ends;
}

inline double DistanceToEdges(const Point& p, const std::vector<Arc>& edges) {
    double ret = std::numeric_limits<double>::infinity();
    for (const Arc& e : edges) {
        ret = std::min(ret, DistanceToEdge(p, e));
    }
    return ret;
}

/// Even-odd crossing count.
inline bool EvenOddInside(const std::vector<Point>& ring, const Point& p) {
    bool inside = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const double xi = ring[i].GetX(), yi = ring[i].GetY();
        const double xj = ring[j].GetX(), yj = ring[j].GetY();
        if ((yi > p.GetY()) != (yj > p.GetY())
            && p.GetX() < (xj - xi) * (p.GetY() - yi) / (yj - yi) + xi) {
            inside = !inside;
        }
    }
    return inside;
}

/// Winding number of a closed ring round p, from the sum of its turns.
inline int WindingNumber(const std::vector<Point>& ring, const Point& p) {
    double turn = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const Point& a = ring[i];
        const Point& b = ring[(i + 1) % ring.size()];
        const double ax = a.GetX() - p.GetX(), ay = a.GetY() - p.GetY();
        const double bx = b.GetX() - p.GetX(), by = b.GetY() - p.GetY();
        turn += std::atan2(ax * by - ay * bx, ax * bx + ay * by);
    }
    return int(std::lround(turn / (2 * k_Pi)));
}

inline double ShoelaceArea(const std::vector<Point>& ring) {
    double sum = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const Point& a = ring[i];
        const Point& b = ring[(i + 1) % ring.size()];
        sum += a.GetX() * b.GetY() - b.GetX() * a.GetY();
    }
    return sum / 2;
}

}  // namespace model
