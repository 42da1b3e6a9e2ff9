#include "tests/oracle/CgalOracle.h"

#include <CGAL/Exact_predicates_exact_constructions_kernel.h>
#include <CGAL/General_polygon_set_2.h>
#include <CGAL/Gps_circle_segment_traits_2.h>

#include <cmath>
#include <iterator>
#include <list>
#include <stdexcept>

namespace oracle {

namespace {

using Kernel = CGAL::Exact_predicates_exact_constructions_kernel;
using Traits = CGAL::Gps_circle_segment_traits_2<Kernel>;
using PolygonSet = CGAL::General_polygon_set_2<Traits>;
using Polygon = Traits::General_polygon_2;
using PolygonWithHoles = Traits::General_polygon_with_holes_2;
using Curve = Traits::Curve_2;
using XCurve = Traits::X_monotone_curve_2;
using Point = Traits::Point_2;
using FT = Kernel::FT;

Kernel::Point_2 rational(double x, double y) {
    return Kernel::Point_2(FT(x), FT(y));
}

Polygon polygonOf(const Loop& loop) {
    Traits traits;
    auto makeMonotone = traits.make_x_monotone_2_object();
    std::list<Curve> curves;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const Edge& e = loop[i];
        const Edge& next = loop[(i + 1) % loop.size()];
        if (!e.isArc) {
            if (e.x != next.x || e.y != next.y) {
                curves.emplace_back(rational(e.x, e.y), rational(next.x, next.y));
            }
            continue;
        }
        const FT dx = FT(e.x) - FT(e.cx);
        const FT dy = FT(e.y) - FT(e.cy);
        const FT r2 = dx * dx + dy * dy;
        const FT ndx = FT(next.x) - FT(e.cx);
        const FT ndy = FT(next.y) - FT(e.cy);
        if (ndx * ndx + ndy * ndy != r2) {
            throw std::logic_error("an arc end point is not exactly on its circle");
        }
        const Kernel::Circle_2 circle(rational(e.cx, e.cy), r2,
                                      e.ccw ? CGAL::COUNTERCLOCKWISE : CGAL::CLOCKWISE);
        if (loop.size() == 1) {
            curves.emplace_back(circle);
        } else {
            curves.emplace_back(circle, Point(FT(e.x), FT(e.y)), Point(FT(next.x), FT(next.y)));
        }
    }
    Polygon polygon;
    for (const Curve& curve : curves) {
        std::vector<boost::variant<Point, XCurve>> pieces;
        makeMonotone(curve, std::back_inserter(pieces));
        for (const auto& piece : pieces) {
            if (const XCurve* x = boost::get<XCurve>(&piece)) {
                polygon.push_back(*x);
            }
        }
    }
    return polygon;
}

Polygon counterClockwise(const Loop& loop) {
    Polygon polygon = polygonOf(loop);
    if (polygon.orientation() == CGAL::CLOCKWISE) {
        polygon.reverse_orientation();
    }
    return polygon;
}

// Each region is built as its outline minus its holes, so that a hole may touch the
// outline (the peer's polygons with holes must not).
PolygonSet setOf(const std::vector<Region>& regions) {
    PolygonSet set;
    for (const Region& region : regions) {
        PolygonSet one;
        one.insert(counterClockwise(region.outer));
        for (const Loop& hole : region.holes) {
            one.difference(counterClockwise(hole));
        }
        set.join(one);
    }
    return set;
}

// Signed area enclosed by a boundary of x-monotone pieces: the chords' shoelace sum plus
// the circular segment between each arc and its chord.
double boundaryArea(const Polygon& polygon) {
    double area = 0;
    for (auto it = polygon.curves_begin(); it != polygon.curves_end(); ++it) {
        const double sx = CGAL::to_double(it->source().x());
        const double sy = CGAL::to_double(it->source().y());
        const double tx = CGAL::to_double(it->target().x());
        const double ty = CGAL::to_double(it->target().y());
        area += (sx * ty - tx * sy) / 2;
        if (it->is_circular()) {
            const auto circle = it->supporting_circle();
            const double cx = CGAL::to_double(circle.center().x());
            const double cy = CGAL::to_double(circle.center().y());
            const double r2 = CGAL::to_double(circle.squared_radius());
            const double ax = sx - cx;
            const double ay = sy - cy;
            const double bx = tx - cx;
            const double by = ty - cy;
            // An x-monotone arc sweeps at most half a turn.
            const double sweep = std::atan2(std::abs(ax * by - ay * bx), ax * bx + ay * by);
            const double segment = r2 / 2 * (sweep - std::sin(sweep));
            area += it->orientation() == CGAL::COUNTERCLOCKWISE ? segment : -segment;
        }
    }
    return area;
}

Summary summarise(const PolygonSet& set) {
    std::vector<PolygonWithHoles> polygons;
    set.polygons_with_holes(std::back_inserter(polygons));
    Summary summary;
    for (const PolygonWithHoles& polygon : polygons) {
        ++summary.outers;
        summary.area += std::abs(boundaryArea(polygon.outer_boundary()));
        for (auto hole = polygon.holes_begin(); hole != polygon.holes_end(); ++hole) {
            ++summary.holes;
            summary.area -= std::abs(boundaryArea(*hole));
        }
    }
    return summary;
}

}  // namespace

Summary exactUnion(const std::vector<Region>& regions) {
    return summarise(setOf(regions));
}

Summary exactDifference(const std::vector<Region>& a, const std::vector<Region>& b) {
    PolygonSet result = setOf(a);
    result.difference(setOf(b));
    return summarise(result);
}

}  // namespace oracle
