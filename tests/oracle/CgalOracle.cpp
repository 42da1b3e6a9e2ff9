#include "tests/oracle/CgalOracle.h"

#include <CGAL/Exact_predicates_exact_constructions_kernel.h>
#include <CGAL/General_polygon_set_2.h>
#include <CGAL/Gps_circle_segment_traits_2.h>

#include <cmath>
#include <iterator>
#include <list>
#include <map>
#include <stdexcept>

namespace oracle {

namespace {

using Kernel = CGAL::Exact_predicates_exact_constructions_kernel;
using Traits = CGAL::Gps_circle_segment_traits_2<Kernel>;
using PolygonSet = CGAL::General_polygon_set_2<Traits>;
using Polygon = Traits::General_polygon_2;
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

// The signed area between a boundary piece, run from `source` to `target`, and the origin:
// the chord's shoelace term plus the circular segment between an arc and its chord.
double pieceArea(const XCurve& curve, const Point& source, const Point& target) {
    const double sx = CGAL::to_double(source.x());
    const double sy = CGAL::to_double(source.y());
    const double tx = CGAL::to_double(target.x());
    const double ty = CGAL::to_double(target.y());
    double area = (sx * ty - tx * sy) / 2;
    if (curve.is_circular()) {
        const auto circle = curve.supporting_circle();
        const double cx = CGAL::to_double(circle.center().x());
        const double cy = CGAL::to_double(circle.center().y());
        const double r2 = CGAL::to_double(circle.squared_radius());
        const double ax = sx - cx;
        const double ay = sy - cy;
        const double bx = tx - cx;
        const double by = ty - cy;
        // An x-monotone arc sweeps at most half a turn; run backwards, it turns the other way.
        const double sweep = std::atan2(std::abs(ax * by - ay * bx), ax * bx + ay * by);
        const double segment = r2 / 2 * (sweep - std::sin(sweep));
        const bool forward = source == curve.source();
        const bool ccw = (curve.orientation() == CGAL::COUNTERCLOCKWISE) == forward;
        area += ccw ? segment : -segment;
    }
    return area;
}

// One boundary cycle of a covered face (the face on its left), split into simple loops at
// the vertices it passes more than once; counter-clockwise loops are outer boundaries,
// clockwise ones holes.
template <class Circulator>
void addCycle(Circulator first, Summary& summary) {
    using Halfedge = typename Circulator::value_type;
    std::vector<const Halfedge*> cycle;
    Circulator c = first;
    do {
        cycle.push_back(&*c);
    } while (++c != first);
    std::map<const void*, std::size_t> position;
    std::vector<const Halfedge*> path;
    const auto close = [&](std::size_t from) {
        double area = 0;
        for (std::size_t j = from; j < path.size(); ++j) {
            area +=
                pieceArea(path[j]->curve(), path[j]->source()->point(), path[j]->target()->point());
        }
        for (std::size_t j = from + 1; j < path.size(); ++j) {
            position.erase(&*path[j]->source());
        }
        path.resize(from);
        summary.area += area;
        ++(area > 0 ? summary.outers : summary.holes);
    };
    position[&*cycle.front()->source()] = 0;
    for (const Halfedge* h : cycle) {
        path.push_back(h);
        const auto found = position.find(&*h->target());
        if (found == position.end()) {
            position[&*h->target()] = path.size();
        } else {
            close(found->second);
        }
    }
}

Summary summarise(const PolygonSet& set) {
    Summary summary;
    const auto& arrangement = set.arrangement();
    for (auto e = arrangement.edges_begin(); e != arrangement.edges_end(); ++e) {
        if (e->face()->contained() == e->twin()->face()->contained()) {
            throw std::logic_error("an edge that does not separate covered from uncovered");
        }
    }
    for (auto f = arrangement.faces_begin(); f != arrangement.faces_end(); ++f) {
        if (!f->contained()) {
            continue;
        }
        for (auto ccb = f->outer_ccbs_begin(); ccb != f->outer_ccbs_end(); ++ccb) {
            addCycle(*ccb, summary);
        }
        for (auto ccb = f->inner_ccbs_begin(); ccb != f->inner_ccbs_end(); ++ccb) {
            addCycle(*ccb, summary);
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
