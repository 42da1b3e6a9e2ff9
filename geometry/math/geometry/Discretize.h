#pragma once

#include <vector>

#include "math/geometry/Angle.h"
#include "math/geometry/Circle.h"
#include "math/geometry/Orientation.h"
#include "math/geometry/Point.h"
#include "math/geometry/PolyArc.h"

namespace geom {

/// No discretisation produces more points than this, whatever budget its caller passes
/// (2^24 points, 256 MiB): asking for more counts as exceeding the budget.
inline constexpr int k_MaxDiscretizedPoints = 1 << 24;

/// The vertices of a poly-arc with every arc replaced by chords turning by at most
/// `angle_step` (in (0, 360] degrees): each edge gives its start and, for an arc, the
/// interior points of its chords. A closed poly-arc with `close` gets its first point
/// again at the end (unless the last point already equals it); an open one gets the end
/// of its last edge, whatever `close` says. The empty poly-arc gives no points.
/// Throws geom::Exception(2) when `budget` is negative, or when an arc needs more points
/// than are left of the budget after the points already listed (straight edges are
/// never refused). A step that is not positive is reported and taken as a whole turn.
std::vector<Point> Discretize_G(const PolyArc& poly_arc, Angle angle_step, bool close, int budget);

/// A regular ring of n points on the circle, n the least whole number for which 360
/// degrees / n <= max_step (no tolerance), starting at azimuth `start` and turning
/// clockwise for k_CW (counter-clockwise for any other value). With `close`, the first
/// point follows again. A radius of exactly 0 gives the centre alone; a step that is not
/// positive is reported and taken as a whole turn. Throws geom::Exception(2) when the
/// ring would exceed k_MaxDiscretizedPoints.
std::vector<Point> DiscretizeCircle_G(const Circle& circle, Orientation orientation, Angle start,
                                      bool close, Angle max_step);

}  // namespace geom
