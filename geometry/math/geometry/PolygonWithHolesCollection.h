#pragma once

#include <vector>

#include "math/geometry/Polygon.h"
#include "math/geometry/PolygonWithHoles.h"
#include "math/geometry/ShapeCollection.h"

namespace geom {

/// A set of polygons with holes in a spatial container keyed by their outer boxes.
class PolygonWithHolesCollection : public ShapeCollection_T<PolygonWithHoles> {
public:
    PolygonWithHolesCollection() = default;
    /// The shape as the only member (none when it is empty).
    explicit PolygonWithHolesCollection(const PolygonWithHoles& shape);
    /// The polygon, without holes, as the only member (none when it is empty).
    explicit PolygonWithHolesCollection(const Polygon& polygon);
    explicit PolygonWithHolesCollection(const std::vector<PolygonWithHoles>& shapes) {
        AssignMembers(shapes);
    }
    explicit PolygonWithHolesCollection(const std::vector<Polygon>& polygons);

    /// Adds a shape; an empty one is reported and not added.
    void Add(const PolygonWithHoles& new_polygon) {
        AddMember(new_polygon, "PolygonWithHolesCollection");
    }
    std::vector<PolygonWithHoles> GetPolygonsWithHoles() const { return GetMembers(); }

    PolygonWithHolesCollection GetTranslated(const Vector& v) const;
    PolygonWithHolesCollection GetRotated(Unit centre_x, Unit centre_y, Angle angle) const;
    bool IsEqualTo(const PolygonWithHolesCollection& other, Unit accuracy) const {
        return HasEqualMembers(other, accuracy);
    }
};

}  // namespace geom
