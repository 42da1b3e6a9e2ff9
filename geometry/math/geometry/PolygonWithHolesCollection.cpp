#include "math/geometry/PolygonWithHolesCollection.h"

namespace geom {

PolygonWithHolesCollection::PolygonWithHolesCollection(const PolygonWithHoles& shape) {
    if (!shape.empty()) {
        Add(shape);
    }
}

PolygonWithHolesCollection::PolygonWithHolesCollection(const Polygon& polygon) {
    if (!polygon.empty()) {
        Add(PolygonWithHoles(polygon));
    }
}

PolygonWithHolesCollection::PolygonWithHolesCollection(const std::vector<Polygon>& polygons) {
    std::vector<PolygonWithHoles> shapes;
    shapes.reserve(polygons.size());
    for (const Polygon& p : polygons) {
        shapes.emplace_back(p);
    }
    AssignMembers(std::move(shapes));
}

PolygonWithHolesCollection PolygonWithHolesCollection::GetTranslated(const Vector& v) const {
    if (v.IsNull()) {
        return *this;
    }
    std::vector<PolygonWithHoles> moved;
    moved.reserve(GetCount());
    for (const PolygonWithHoles& p : GetTree()) {
        moved.push_back(p.GetTranslated(v));
    }
    return PolygonWithHolesCollection(moved);
}

PolygonWithHolesCollection PolygonWithHolesCollection::GetRotated(Unit centre_x, Unit centre_y,
                                                                  Angle angle) const {
    if (angle.GetValue() == 0) {
        return *this;
    }
    std::vector<PolygonWithHoles> moved;
    moved.reserve(GetCount());
    for (const PolygonWithHoles& p : GetTree()) {
        moved.push_back(p.GetRotated(centre_x, centre_y, angle));
    }
    return PolygonWithHolesCollection(moved);
}

}  // namespace geom
