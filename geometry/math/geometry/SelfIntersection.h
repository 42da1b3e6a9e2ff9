#pragma once

#include "math/geometry/PolyArc.h"
#include "math/geometry/Polygon.h"
#include "math/geometry/PolygonWithHolesCollection.h"
#include "math/geometry/Unit.h"

namespace geom {

/// The polygon without self-intersections: edges are split where they meet, and the
/// boundary is re-linked into loops that do not cross. Every region that the boundary
/// winds around (either way) is kept; loops inside such a region that wind it back to zero
/// become holes. Loops of area up to accuracy^2 are dropped.
PolygonWithHolesCollection RemoveSelfIntersections_G(const Polygon& polygon, Unit accuracy);

/// Self-intersection removal after offsetting. Regions are kept where the boundary winds
/// counter-clockwise (winding number > 0), so the reversed loops that offsetting leaves
/// behind vanish. With `keep_holes` clear, holes are filled (shrinking cannot create a
/// genuine hole). With `attach_by_nesting` clear, each hole goes to the first polygon of
/// the result whose box, grown by 100 * accuracy, contains the hole's box and which
/// contains the middle point of the hole's first edge (a hole no polygon takes is
/// dropped); with it set, each hole goes to the polygon whose boundary directly encloses it.
PolygonWithHolesCollection RemoveSelfIntersections_G(const PolyArc& closed, Unit accuracy,
                                                     bool keep_holes, bool attach_by_nesting);

}  // namespace geom
