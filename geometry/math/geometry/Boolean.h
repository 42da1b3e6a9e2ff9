#pragma once

#include "math/geometry/PolyArc.h"
#include "math/geometry/Polygon.h"
#include "math/geometry/PolygonCollection.h"
#include "math/geometry/PolygonWithHoles.h"
#include "math/geometry/PolygonWithHolesCollection.h"
#include "math/geometry/Unit.h"

namespace geom {

// Unions and differences of polygons, polygons with holes and their collections under an
// explicit accuracy. An operand that is a collection stands for the union of its members,
// which may overlap. Every result holds members whose interiors are disjoint and connected,
// each bounded by simple loops (see PolyArcIntersectionGraph); loops whose area is below
// the accuracy squared are dropped. An empty operand short-cuts: a union returns the other
// operand as it is, a difference its first operand.

/// How two polygons lie relative to each other under an accuracy.
enum PolygonRelation : int {
    k_Disjoint = 0,
    k_Crossing = 1,  ///< the boundaries cross or touch
    k_FirstInsideSecond = 2,
    k_SecondInsideFirst = 3,
};

/// Whether the boundaries of two poly-arcs meet (cross, touch or overlap) within accuracy.
bool DoBoundariesMeet_G(const PolyArc& a, const PolyArc& b, Unit accuracy);
PolygonRelation GetRelation_G(const Polygon& a, const Polygon& b, Unit accuracy);

/// a - b. Disjoint polygons give a; a inside b nothing; b inside a (not touching it) the
/// polygon a with the hole b.
PolygonWithHolesCollection Subtract_G(const Polygon& a, const Polygon& b, Unit accuracy);
/// a + b; disjoint polygons stay two members.
PolygonWithHolesCollection Unite_G(const Polygon& a, const Polygon& b, Unit accuracy);
PolygonWithHolesCollection Unite_G(const PolygonWithHoles& a, const PolygonWithHoles& b,
                                   Unit accuracy);

/// The union of the members of both collections.
PolygonWithHolesCollection Unite_G(const PolygonWithHolesCollection& a,
                                   const PolygonWithHolesCollection& b, Unit accuracy);
/// The union of a's members minus the union of b's.
PolygonWithHolesCollection Subtract_G(const PolygonWithHolesCollection& a,
                                      const PolygonWithHolesCollection& b, Unit accuracy);
/// As above, b's polygons taken without holes (a plane area minus its clearances).
PolygonWithHolesCollection Subtract_G(const PolygonWithHolesCollection& a,
                                      const PolygonCollection& b, Unit accuracy);

/// The union of all members of a collection (overlapping strokes merged into one shape).
PolygonWithHolesCollection Unite_G(const PolygonCollection& members, Unit accuracy);

}  // namespace geom
