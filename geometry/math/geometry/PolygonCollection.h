#pragma once

#include <vector>

#include "math/geometry/Polygon.h"
#include "math/geometry/ShapeCollection.h"

namespace geom {

/// A set of polygons in a spatial container keyed by their bounding boxes.
class PolygonCollection : public ShapeCollection_T<Polygon> {
public:
    PolygonCollection() = default;
    /// The non-empty polygons of the list (an empty list gives the empty collection).
    explicit PolygonCollection(const std::vector<Polygon>& polygons) { AssignMembers(polygons); }
    explicit PolygonCollection(const Polygon& polygon) { Add(polygon); }

    /// Adds a polygon; an empty one is reported and not added.
    void Add(const Polygon& new_polygon) { AddMember(new_polygon, "PolygonCollection"); }
    std::vector<Polygon> GetPolygons() const { return GetMembers(); }

    PolygonCollection GetTranslated(const Vector& v) const;
    PolygonCollection GetRotated(Unit centre_x, Unit centre_y, Angle angle) const;
    /// Equal member by member, in order, within accuracy.
    bool IsEqualTo(const PolygonCollection& other, Unit accuracy) const {
        return HasEqualMembers(other, accuracy);
    }
    static int Compare(const PolygonCollection& a, const PolygonCollection& b) {
        return CompareMembers(a, b);
    }
};

}  // namespace geom
