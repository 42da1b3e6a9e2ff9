#include "tests/oracle/KernelShapes.h"

#include <cmath>

#include "math/geometry/Azimuth.h"

namespace oracle {

geom::Polygon toPolygon(const Loop& loop) {
    std::vector<geom::Arc> arcs;
    const std::size_t n = loop.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Edge& e = loop[i];
        const Edge& next = loop[(i + 1) % n];
        const geom::Point start(e.x, e.y);
        const geom::Point end(next.x, next.y);
        if (!e.isArc) {
            arcs.emplace_back(start, end);
        } else if (n == 1) {
            // A whole circle: height the diameter, direction from the start to the centre.
            const geom::Point centre(e.cx, e.cy);
            const double diameter = 2 * std::hypot(e.x - e.cx, e.y - e.cy);
            arcs.emplace_back(start, start, e.ccw ? -diameter : diameter,
                              geom::Azimuth(centre - start));
        } else {
            arcs.emplace_back(start, end, geom::Point(e.cx, e.cy),
                              e.ccw ? geom::k_CCW : geom::k_CW);
        }
    }
    return geom::Polygon(arcs, true);
}

geom::PolygonWithHoles toKernel(const Region& region) {
    geom::PolygonWithHoles ret(toPolygon(region.outer));
    for (const Loop& hole : region.holes) {
        ret.AddHole(toPolygon(hole));
    }
    return ret;
}

std::vector<geom::PolygonWithHoles> toKernel(const std::vector<Region>& regions) {
    std::vector<geom::PolygonWithHoles> ret;
    for (const Region& r : regions) {
        ret.push_back(toKernel(r));
    }
    return ret;
}

Summary summarise(const geom::PolygonWithHolesCollection& result) {
    Summary s;
    for (const geom::PolygonWithHoles& p : result.GetTree()) {
        ++s.outers;
        s.holes += p.GetHoleCount();
        s.area += p.GetArea();
    }
    return s;
}

double perimeterOf(const std::vector<Region>& regions) {
    double sum = 0;
    const auto add = [&](const Loop& loop) {
        for (const geom::Arc& a : toPolygon(loop).GetEdges()) {
            sum += a.GetLength();
        }
    };
    for (const Region& r : regions) {
        add(r.outer);
        for (const Loop& hole : r.holes) {
            add(hole);
        }
    }
    return sum;
}

}  // namespace oracle
