#pragma once

#include "math/geometry/Polygon.h"
#include "math/geometry/PolygonCollection.h"

namespace geom {

/// An outer polygon with a collection of holes (each a counter-clockwise polygon).
class PolygonWithHoles {
public:
    PolygonWithHoles() = default;
    explicit PolygonWithHoles(const Polygon& polygon) : m_Polygon(polygon) {}
    PolygonWithHoles(const Polygon& polygon, const PolygonCollection& holes);

    const Polygon& GetPolygon() const { return m_Polygon; }
    const PolygonCollection& GetHoles() const { return m_Holes; }
    int GetHoleCount() const { return m_Holes.GetCount(); }
    /// Adds a hole to a non-empty outer polygon; an empty hole is not added.
    void AddHole(const Polygon& hole);

    bool IsEmpty() const { return m_Polygon.IsEmpty(); }
    bool empty() const { return IsEmpty(); }
    Box GetBBox() const { return m_Polygon.GetBBox(); }
    Unit GetEpsilon() const { return GetBBox().GetEpsilon(); }
    /// Outer area minus the holes' areas.
    Area GetArea() const { return m_Polygon.GetArea() - m_Holes.GetArea(); }
    /// Inside the outer polygon and not strictly inside a hole (boundaries count as in).
    bool Contains(const Point& p, Unit accuracy) const;
    bool IsOnBoundary(const Point& p, Unit accuracy) const;

    PolygonWithHoles GetTranslated(const Vector& v) const;
    PolygonWithHoles GetRotated(Unit centre_x, Unit centre_y, Angle angle) const;
    bool IsEqualTo(const PolygonWithHoles& other, Unit accuracy) const {
        return m_Polygon.IsEqualTo(other.m_Polygon, accuracy)
               && m_Holes.IsEqualTo(other.m_Holes, accuracy);
    }
    /// Outer polygons first, then the holes.
    static int Compare(const PolygonWithHoles& a, const PolygonWithHoles& b);

private:
    Polygon m_Polygon;
    PolygonCollection m_Holes;
};

}  // namespace geom
