#include "math/geometry/Discretize.h"

#include <cmath>

#include "corelib/Assert.h"
#include "math/geometry/Exception.h"

namespace geom {

namespace {

constexpr const char* k_Source = "Discretize";

}  // namespace

std::vector<Point> Discretize_G(const PolyArc& poly_arc, Angle angle_step, bool close, int budget) {
    VCORE_ASSERT(k_Source, angle_step > k_Degree_0 && angle_step <= k_Degree_360);
    VCORE_ASSERT(k_Source, !poly_arc.empty());
    if (budget < 0) {
        throw Exception(2);
    }
    std::vector<Point> points;
    if (poly_arc.IsEmpty()) {
        return points;
    }
    // A step that is not positive would need endless points on every arc.
    const Angle step = angle_step > k_Degree_0 ? angle_step : k_Degree_360;
    const long long limit = base::GetMinOf_T(budget, k_MaxDiscretizedPoints);
    const EdgeTree& edges = poly_arc.GetEdgeTree();
    points.reserve(edges.size());
    for (const Arc& edge : edges) {
        // What is left of the budget, at least -1 so that any arc is refused once it is
        // used up.
        const long long left = limit - static_cast<long long>(points.size());
        edge.GeneratePoints(step, false, int(base::GetMaxOf_T(left, -1LL)), points);
    }
    if (poly_arc.GetOpenClosed() == k_Open) {
        points.push_back(edges.back().GetEnd());
    } else if (close && !(points.back() == points.front())) {
        points.push_back(points.front());
    }
    return points;
}

std::vector<Point> DiscretizeCircle_G(const Circle& circle, Orientation orientation, Angle start,
                                      bool close, Angle max_step) {
    VCORE_ASSERT(k_Source, max_step > k_Degree_0);
    std::vector<Point> points;
    if (circle.GetRadius() == 0) {
        points.push_back(circle.GetCentre());
        return points;
    }
    const double turn = k_Degree_360.GetValue();
    const double step = max_step.GetValue();
    double count = 1;
    if (step > 0) {
        count = std::floor(turn / step);
        if (turn > count * step) {
            count += 1;
        }
    }
    // A step of a whole turn or more still gives one point; a tiny one gives too many.
    if (!(count <= k_MaxDiscretizedPoints)) {
        throw Exception(2);
    }
    const int n = base::GetMaxOf_T(int(count), 1);
    // Halving is exact, so two points lie on the exact half-turn constant.
    Angle delta = n == 2 ? k_Degree_360 / 2 : k_Degree_360 / n;
    if (orientation == k_CW) {
        delta = -delta;
    }
    const Point& c = circle.GetCentre();
    const double r = circle.GetRadius();
    points.reserve(size_t(n) + 1);
    for (int i = 0; i < n; ++i) {
        const Angle azimuth = start + delta * i;
        points.emplace_back(c.GetX() + r * azimuth.Cos(), c.GetY() + r * azimuth.Sin());
    }
    if (close) {
        points.push_back(points.front());
    }
    return points;
}

}  // namespace geom
