#pragma once

#include <vector>

#include "math/geometry/Arc.h"
#include "math/geometry/Area.h"
#include "math/geometry/Box.h"
#include "math/geometry/Circle.h"
#include "math/geometry/PolyArc.h"
#include "math/geometry/Segment.h"
#include "math/geometry/Unit.h"

namespace geom {

/// A closed poly-arc with non-negative area: counter-clockwise in a y-up frame. Holes are
/// polygons too; a hole is a hole by being stored as one.
class Polygon : public PolyArc {
public:
    Polygon() = default;
    /// The closed poly-arc of the vertices; with `orient`, reversed when clockwise.
    Polygon(const std::vector<Point>& vertices, bool orient);
    /// The closed poly-arc of the arcs; with `orient`, reversed when clockwise.
    Polygon(const std::vector<Arc>& arcs, bool orient);
    /// One counter-clockwise whole-circle edge starting at azimuth 0; a radius <= 0
    /// gives one zero-length edge at the centre.
    explicit Polygon(const Circle& circle);
    /// The segment grown by width / 2 on both sides with half-circle caps (counter-
    /// clockwise, starting with the cap at the segment's start). Width 0 gives the
    /// segment as the only edge; a segment that is a point gives a circle.
    Polygon(const Segment& segment, Unit width);
    /// The box grown by `radius` with rounded corners, counter-clockwise starting on the
    /// right side; radius 0 gives the box itself, a box of zero width or height the
    /// polygon of its middle segment with width 2 * radius, the empty box the empty
    /// polygon.
    Polygon(const Box& box, Unit radius);
    /// A closed poly-arc taken as it is (sharing its implementation).
    explicit Polygon(const PolyArc& closed);

    /// The area (>= 0 for a valid polygon); 0 when empty.
    Area GetArea() const;
    /// True for two edges that are both straight; the first is then the segment.
    bool IsSegment(Unit accuracy, Segment* what_if_so = nullptr) const;
    /// Whether p lies inside or on the boundary within accuracy.
    bool Contains(const Point& p, Unit accuracy) const;

    Polygon GetTranslated(const Vector& v) const { return Polygon(PolyArc::GetTranslated(v)); }
    Polygon GetRotated(Unit centre_x, Unit centre_y, Angle angle) const {
        return Polygon(PolyArc::GetRotated(centre_x, centre_y, angle));
    }
};

}  // namespace geom
