#include "math/geometry/PolygonWithHoles.h"

#include "corelib/Assert.h"

namespace geom {

PolygonWithHoles::PolygonWithHoles(const Polygon& polygon, const PolygonCollection& holes)
    : m_Polygon(polygon) {
    for (const Polygon& hole : holes.GetTree()) {
        AddHole(hole);
    }
}

void PolygonWithHoles::AddHole(const Polygon& hole) {
    VCORE_ASSERT("PolygonWithHoles", !m_Polygon.empty());
    if (hole.empty()) {
        return;
    }
    m_Holes.Add(hole);
}

bool PolygonWithHoles::Contains(const Point& p, Unit accuracy) const {
    if (!m_Polygon.Contains(p, accuracy)) {
        return false;
    }
    const double a = accuracy > 0 ? double(accuracy) : 0.0;
    const Box query = Box::FromBounds(p.GetX() - a, p.GetY() - a, p.GetX() + a, p.GetY() + a);
    return m_Holes.GetTree().VisitMeeting(query, [&](const Polygon& hole, const Box&) {
        return !hole.Contains(p, accuracy) || hole.IsOnBoundary(p, accuracy);
    });
}

bool PolygonWithHoles::IsOnBoundary(const Point& p, Unit accuracy) const {
    if (m_Polygon.IsOnBoundary(p, accuracy)) {
        return true;
    }
    for (const Polygon& hole : m_Holes.GetTree()) {
        if (hole.IsOnBoundary(p, accuracy)) {
            return true;
        }
    }
    return false;
}

PolygonWithHoles PolygonWithHoles::GetTranslated(const Vector& v) const {
    return PolygonWithHoles(m_Polygon.GetTranslated(v), m_Holes.GetTranslated(v));
}

PolygonWithHoles PolygonWithHoles::GetRotated(Unit centre_x, Unit centre_y, Angle angle) const {
    return PolygonWithHoles(m_Polygon.GetRotated(centre_x, centre_y, angle),
                            m_Holes.GetRotated(centre_x, centre_y, angle));
}

int PolygonWithHoles::Compare(const PolygonWithHoles& a, const PolygonWithHoles& b) {
    if (const int c = PolyArc::Compare(a.m_Polygon, b.m_Polygon)) {
        return c;
    }
    return PolygonCollection::Compare(a.m_Holes, b.m_Holes);
}

}  // namespace geom
