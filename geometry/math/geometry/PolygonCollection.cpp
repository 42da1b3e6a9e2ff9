#include "math/geometry/PolygonCollection.h"

namespace geom {

PolygonCollection PolygonCollection::GetTranslated(const Vector& v) const {
    if (v.IsNull()) {
        return *this;
    }
    std::vector<Polygon> moved;
    moved.reserve(GetCount());
    for (const Polygon& p : GetTree()) {
        moved.push_back(p.GetTranslated(v));
    }
    return PolygonCollection(moved);
}

PolygonCollection PolygonCollection::GetRotated(Unit centre_x, Unit centre_y, Angle angle) const {
    if (angle.GetValue() == 0) {
        return *this;
    }
    std::vector<Polygon> moved;
    moved.reserve(GetCount());
    for (const Polygon& p : GetTree()) {
        moved.push_back(p.GetRotated(centre_x, centre_y, angle));
    }
    return PolygonCollection(moved);
}

}  // namespace geom
