#pragma once

#include <vector>

#include "math/geometry/Polygon.h"
#include "math/geometry/PolygonWithHoles.h"
#include "math/geometry/PolygonWithHolesCollection.h"
#include "tests/oracle/Shapes.h"

/// The oracle's shapes as kernel shapes, and kernel results summarised like the peer's.
namespace oracle {

/// The loop as a counter-clockwise polygon. An arc edge gets its signed height from its
/// centre and turning sense (positive for clockwise); a loop of one arc is a whole circle.
geom::Polygon toPolygon(const Loop& loop);
geom::PolygonWithHoles toKernel(const Region& region);
std::vector<geom::PolygonWithHoles> toKernel(const std::vector<Region>& regions);

/// Area, outer polygons and holes of a kernel result.
Summary summarise(const geom::PolygonWithHolesCollection& result);

/// The total length of the regions' boundaries.
double perimeterOf(const std::vector<Region>& regions);

}  // namespace oracle
