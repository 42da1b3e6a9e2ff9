#pragma once

#include <vector>

#include "math/geometry/Arc.h"
#include "math/geometry/Orientation.h"
#include "math/geometry/PolyArc.h"
#include "math/geometry/Polygon.h"
#include "math/geometry/PolygonWithHoles.h"
#include "math/geometry/PolygonWithHolesCollection.h"
#include "math/geometry/Unit.h"

namespace geom {

/// How the gap between two offset edges that neither meet nor cross (the outer side of a
/// corner) is filled.
enum CornerMode : int {
    /// An arc tangent to the first edge at its end, through the start of the second (a
    /// round corner about the original vertex); a straight segment when the second start
    /// lies within the accuracy of the tangent line.
    k_RoundCorner = 0,
    /// A straight segment (a bevel).
    k_StraightCorner = 1,
    /// A mitre: the two tangent lines continued to where they meet; where that point lies
    /// farther than the corner parameter (a length) from either end, the mitre is cut
    /// square at that length along both tangents. Up to three pieces.
    k_ClippedMitreCorner = 2,
    /// A mitre as above while its point lies within the corner parameter of both ends,
    /// otherwise a straight segment. Up to two pieces.
    k_MitreOrBevelCorner = 3,
};
// Any other mode fills nothing: the joined edges do not chain, which is reported, and the
// offset counts as failed.

/// The edge moved by d to its right (outwards on a counter-clockwise polygon for d > 0,
/// inwards for d < 0). A straight edge (height within the accuracy) is translated, and
/// yields nothing when it is a point within the accuracy. An arc keeps its centre, its
/// orientation and the rays through its ends; its radius grows by d when it turns
/// counter-clockwise and shrinks by d when it turns clockwise, and it yields nothing when
/// that radius is not above the accuracy. A whole circle stays whole, starting at the same
/// azimuth. Returns whether an edge is left.
bool OffsetEdge_G(const Arc& edge, Unit d, Unit accuracy, Arc* offset);

/// Joins offset edges into one chain. Consecutive edges whose ends meet within the
/// accuracy are linked where the first ends; edges that cross are both cut back to the
/// crossing (the one that cuts away least); any other gap is filled by the corner mode.
/// A single edge that closes within the accuracy is returned as it is. Returns whether
/// the result chains (it does for every mode listed in CornerMode).
bool JoinOffsetEdges_G(const std::vector<Arc>& edges, OpenClosed open_or_closed, int corner_mode,
                       double corner_parameter, Unit accuracy, std::vector<Arc>* joined);

/// Offsets every edge of a closed poly-arc by d and joins the survivors as a closed chain.
/// Fails for an empty poly-arc, for d = 0 and when no edge survives; otherwise reports the
/// joining's success (the list may still be empty).
bool OffsetPolyArc_G(const PolyArc& closed, Unit d, Unit accuracy, int corner_mode,
                     double corner_parameter, std::vector<Arc>* joined);

/// The polygon grown by `by` (>= 0). With `remove_self_intersections` the offset outline
/// is cleaned (counter-clockwise winding kept, holes kept; `attach_by_nesting` as for
/// RemoveSelfIntersections_G) and its first member is the result; without, the offset
/// edges are the outer polygon as they are. Offsetting that fails, a cleaned outline that
/// vanishes, by = 0 and the empty polygon give the polygon itself, without holes.
PolygonWithHoles Expand_G(const Polygon& polygon, Unit by, Unit accuracy,
                          bool remove_self_intersections, bool attach_by_nesting, int corner_mode,
                          double corner_parameter);

/// The polygon shrunk by `by` (>= 0), which may fall apart into several pieces or vanish.
/// by = 0, and offsetting that fails, give the polygon itself; the empty polygon and a
/// distance beyond the larger side of its box (grown by the accuracy) give the empty
/// collection at once. With `remove_self_intersections` the offset outline is cleaned
/// (counter-clockwise winding kept, no holes); without, the offset edges, turned
/// counter-clockwise, are the only member.
PolygonWithHolesCollection Shrink_G(const Polygon& polygon, Unit by, Unit accuracy,
                                    bool remove_self_intersections, int corner_mode,
                                    double corner_parameter);

}  // namespace geom
