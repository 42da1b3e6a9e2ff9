// Offsetting: every edge moved sideways on its own, the moved edges joined again (cut
// back where they cross, bridged by a corner where they part), and the joined outline
// cleaned of the loops that the corners and cut-backs leave behind.

#include "math/geometry/Offset.h"

#include <cmath>

#include "corelib/Assert.h"
#include "math/geometry/Circle.h"
#include "math/geometry/Intersections.h"
#include "math/geometry/SelfIntersection.h"

namespace geom {

namespace {

constexpr const char* k_Source = "Offset";

/// A negative or NaN accuracy counts as 0.
double GetUsableAccuracy(Unit accuracy) {
    return accuracy > 0 ? double(accuracy) : 0.0;
}

/// The signed height (clockwise positive) of an arc with chord length `chord` and
/// unsigned sweep `sweep` (below a whole turn).
double GetHeightForSweep(double chord, double sweep, bool clockwise) {
    const double h = chord * 0.5 * std::tan(sweep * 0.25);
    return clockwise ? h : -h;
}

/// A point of an offset edge and where along the edge (0 to 1) it lies.
struct Cut {
    Point m_Point;
    double m_Rate = 0;
};

/// The part of an edge between two cuts, the first no farther along than the second.
Arc GetPiece(const Arc& edge, const Cut& from, const Cut& to) {
    if (edge.GetHeight() == 0) {
        return Arc(from.m_Point, to.m_Point);
    }
    if (from.m_Rate == 0 && to.m_Rate == 1) {
        // Not cut, at most linked to a neighbour within the accuracy: keep the height.
        return Arc(from.m_Point, to.m_Point, edge.GetHeight());
    }
    const double total = std::fabs(edge.GetSweepAngle().GetValue());
    const double part = base::GetMaxOf_T(0.0, (to.m_Rate - from.m_Rate) * total);
    return Arc(
        from.m_Point, to.m_Point,
        GetHeightForSweep(from.m_Point.GetDistanceTo(to.m_Point), part, edge.GetHeight() > 0));
}

/// The crossing of two consecutive offset edges that cuts away least of them: the one
/// nearest to the end of the first and the start of the second.
bool FindCrossing(const Arc& first, const Arc& second, double accuracy, Cut* on_first,
                  Cut* on_second) {
    const EdgeIntersections crossings = Arc::Intersect_G(first, second, accuracy);
    if (crossings.empty()) {
        return false;
    }
    const double l1 = first.GetLength();
    const double l2 = second.GetLength();
    bool found = false;
    double best = 0;
    for (const EdgeIntersection& x : crossings) {
        for (const Point& p : {x.m_Value.GetStart(), x.m_Value.GetEnd()}) {
            const double r1 = first.GetRateOf(p);
            const double r2 = second.GetRateOf(p);
            const double cost = (1 - r1) * l1 + r2 * l2;
            if (!found || cost < best) {
                found = true;
                best = cost;
                *on_first = {p, r1};
                *on_second = {p, r2};
            }
        }
    }
    return found;
}

void AddSegment(const Point& a, const Point& b, std::vector<Arc>* out) {
    if (!(a == b)) {
        out->emplace_back(a, b);
    }
}

/// The corner pieces from a (where an edge ends, leaving along `ta`) to b (where the next
/// one starts, arriving along `tb`).
void AddCorner(const Point& a, const Vector& ta, const Point& b, const Vector& tb, int mode,
               double parameter, double accuracy, std::vector<Arc>* out) {
    const Vector chord = b - a;
    const double cross = ta.Cross(chord);
    if (mode == k_RoundCorner) {
        const double length = chord.GetLength();
        const double dot = ta.Dot(chord);
        // The arc leaving a along ta turns by twice the angle phi between ta and the
        // chord; its height is length / 2 * tan(phi / 2), and tan(phi / 2) is
        // cross / (length + dot) without any trigonometry.
        if (!(std::fabs(cross) > accuracy) || !(length + dot > 0)) {
            AddSegment(a, b, out);
            return;
        }
        out->emplace_back(a, b, -0.5 * length * cross / (length + dot));
        return;
    }
    if (mode == k_StraightCorner) {
        AddSegment(a, b, out);
        return;
    }
    if (mode != k_ClippedMitreCorner && mode != k_MitreOrBevelCorner) {
        return;
    }
    // Mitre: a + s ta = b + u tb, with the meeting point ahead of a and behind b.
    const double den = ta.Cross(tb);
    const double s = chord.Cross(tb) / den;
    const double u = chord.Cross(ta) / den;
    if (!(std::fabs(cross) > accuracy) || !(s > 0) || !(u < 0) || !std::isfinite(s)
        || !std::isfinite(u)) {
        AddSegment(a, b, out);
        return;
    }
    const double limit = parameter > 0 ? parameter : 0.0;
    if (s <= limit && -u <= limit) {
        const Point m = a + ta * s;
        AddSegment(a, m, out);
        AddSegment(m, b, out);
        return;
    }
    if (mode == k_MitreOrBevelCorner) {
        AddSegment(a, b, out);
        return;
    }
    const Point p = a + ta * base::GetMinOf_T(s, limit);
    const Point q = b + tb * base::GetMaxOf_T(u, -limit);
    AddSegment(a, p, out);
    AddSegment(p, q, out);
    AddSegment(q, b, out);
}

}  // namespace

bool OffsetEdge_G(const Arc& edge, Unit d, Unit accuracy, Arc* offset) {
    const double a = GetUsableAccuracy(accuracy);
    if (edge.IsSegment(a)) {
        if (edge.IsPoint(a)) {
            return false;
        }
        const Vector v = (edge.GetEnd() - edge.GetStart()).GetRightNormal().GetWithLength(d);
        *offset = Arc(edge.GetStart() + v, edge.GetEnd() + v);
        return true;
    }
    const bool clockwise = edge.GetHeight() > 0;
    const double change = clockwise ? -double(d) : double(d);
    if (edge.IsCircumference()) {
        const double r = std::fabs(edge.GetHeight()) * 0.5;
        const double radius = r + change;
        if (!(radius > a)) {
            return false;
        }
        // The direction points from the start to the centre; the start moves away from
        // the centre by the change of radius.
        const Angle direction = edge.GetDirection();
        const Vector out(-direction.Cos(), -direction.Sin());
        const Point start = edge.GetStart() + out * change;
        *offset = Arc(start, start, clockwise ? 2 * radius : -2 * radius, direction);
        return true;
    }
    const double r = edge.GetCircumference().GetRadius();
    const double radius = r + change;
    if (!(radius > a)) {
        return false;
    }
    // The ends move along their radii, found from the tangents rather than from the
    // centre, which is imprecise for nearly flat arcs. The sweep stays, so the height
    // scales with the radius.
    const Vector start_out = edge.GetStartTangent().GetRightNormal();
    const Vector end_out = edge.GetEndTangent().GetRightNormal();
    *offset = Arc(edge.GetStart() + start_out * double(d), edge.GetEnd() + end_out * double(d),
                  edge.GetHeight() * (radius / r));
    return true;
}

bool JoinOffsetEdges_G(const std::vector<Arc>& edges, OpenClosed open_or_closed, int corner_mode,
                       double corner_parameter, Unit accuracy, std::vector<Arc>* joined) {
    const double a = GetUsableAccuracy(accuracy);
    std::vector<Arc>& ret = *joined;
    ret.clear();
    if (edges.size() == 1 && edges.front().GetStart().IsEqualTo(edges.front().GetEnd(), a)) {
        ret = edges;
    } else {
        // A whole circle among other edges is taken as its two halves, so that every
        // edge has distinct ends that cuts can move.
        std::vector<Arc> e;
        e.reserve(edges.size());
        for (const Arc& edge : edges) {
            Circumference c;
            if (edges.size() > 1 && edge.IsCircumference(&c)) {
                const Point& s = edge.GetStart();
                const Point opposite(2 * c.GetCentre().GetX() - s.GetX(),
                                     2 * c.GetCentre().GetY() - s.GetY());
                const double h = edge.GetHeight() * 0.5;
                e.emplace_back(s, opposite, h);
                e.emplace_back(opposite, s, h);
            } else {
                e.push_back(edge);
            }
        }
        const size_t n = e.size();
        const size_t pairs = open_or_closed == k_Closed ? n : (n > 0 ? n - 1 : 0);
        std::vector<Cut> starts(n);
        std::vector<Cut> ends(n);
        for (size_t i = 0; i < n; ++i) {
            starts[i] = {e[i].GetStart(), 0};
            ends[i] = {e[i].GetEnd(), 1};
        }
        std::vector<char> gap(n, 0);
        for (size_t i = 0; i < pairs; ++i) {
            const size_t j = (i + 1) % n;
            if (e[i].GetEnd().IsEqualTo(e[j].GetStart(), a)) {
                starts[j].m_Point = e[i].GetEnd();
            } else if (i == j || !FindCrossing(e[i], e[j], a, &ends[i], &starts[j])) {
                gap[i] = 1;
            }
        }
        // An edge whose two cuts have passed each other is used up: the corners on both
        // its sides overlap, and cutting both back would turn the corners' leftovers into
        // a loop of the wrong winding (a square shrunk by more than half its side would
        // come out as a small square). Such an edge is kept whole and bridged to its
        // neighbours by corners, whose loops cancel where the edges overlap. Restoring
        // the cut ends only lengthens the neighbours, so one pass is enough.
        std::vector<char> used_up(n, 0);
        for (size_t j = 0; j < n; ++j) {
            used_up[j] = starts[j].m_Rate > ends[j].m_Rate;
        }
        for (size_t j = 0; j < n; ++j) {
            if (!used_up[j]) {
                continue;
            }
            const size_t before = (j + n - 1) % n;
            const size_t after = (j + 1) % n;
            if (j > 0 || open_or_closed == k_Closed) {
                gap[before] = 1;
                ends[before] = {e[before].GetEnd(), 1};
            }
            if (j + 1 < n || open_or_closed == k_Closed) {
                gap[j] = 1;
                starts[after] = {e[after].GetStart(), 0};
            }
            starts[j] = {e[j].GetStart(), 0};
            ends[j] = {e[j].GetEnd(), 1};
        }
        const size_t per_edge =
            corner_mode == k_ClippedMitreCorner ? 4 : (corner_mode == k_MitreOrBevelCorner ? 3 : 2);
        ret.reserve(per_edge * n);
        for (size_t i = 0; i < n; ++i) {
            if (!(starts[i].m_Point == ends[i].m_Point)) {
                ret.push_back(GetPiece(e[i], starts[i], ends[i]));
            }
            if (gap[i]) {
                const size_t j = (i + 1) % n;
                AddCorner(ends[i].m_Point, e[i].GetEndTangent(), starts[j].m_Point,
                          e[j].GetStartTangent(), corner_mode, corner_parameter, a, &ret);
            }
        }
    }
    VCORE_ASSERT(k_Source, IsPolyArcSequence_G(ret, open_or_closed));
    return IsPolyArcSequence_G(ret, open_or_closed);
}

bool OffsetPolyArc_G(const PolyArc& closed, Unit d, Unit accuracy, int corner_mode,
                     double corner_parameter, std::vector<Arc>* joined) {
    joined->clear();
    // A distance that is not a finite number cannot move anything to a place.
    if (closed.IsEmpty() || d == 0 || !std::isfinite(double(d))) {
        return false;
    }
    const double a = GetUsableAccuracy(accuracy);
    std::vector<Arc> offsets;
    offsets.reserve(size_t(closed.GetEdgeCount()));
    for (const Arc& edge : closed.GetEdgeTree()) {
        Arc offset;
        if (OffsetEdge_G(edge, d, a, &offset)) {
            offsets.push_back(offset);
        }
    }
    if (offsets.empty()) {
        return false;
    }
    return JoinOffsetEdges_G(offsets, k_Closed, corner_mode, corner_parameter, a, joined);
}

PolygonWithHoles Expand_G(const Polygon& polygon, Unit by, Unit accuracy,
                          bool remove_self_intersections, bool attach_by_nesting, int corner_mode,
                          double corner_parameter) {
    VCORE_ASSERT(k_Source, by >= 0 && accuracy >= 0);
    const double a = GetUsableAccuracy(accuracy);
    if (by == 0 || polygon.IsEmpty()) {
        return PolygonWithHoles(polygon);
    }
    std::vector<Arc> edges;
    if (!OffsetPolyArc_G(polygon, by, a, corner_mode, corner_parameter, &edges)) {
        return PolygonWithHoles(polygon);
    }
    if (!edges.empty()) {
        if (!remove_self_intersections) {
            return PolygonWithHoles(Polygon(edges, false));
        }
        const PolygonWithHolesCollection cleaned =
            RemoveSelfIntersections_G(PolyArc(k_Closed, edges), a, true, attach_by_nesting);
        return cleaned.empty() ? PolygonWithHoles(polygon) : *cleaned.GetTree().begin();
    }
    Point p;
    if (polygon.GetEdge(0).IsPoint(a, &p)) {
        return PolygonWithHoles(Polygon(Circle(p, by)));
    }
    return PolygonWithHoles(polygon);
}

PolygonWithHolesCollection Shrink_G(const Polygon& polygon, Unit by, Unit accuracy,
                                    bool remove_self_intersections, int corner_mode,
                                    double corner_parameter) {
    VCORE_ASSERT(k_Source, by >= 0 && accuracy >= 0);
    const double a = GetUsableAccuracy(accuracy);
    if (by == 0) {
        return PolygonWithHolesCollection(polygon);
    }
    if (polygon.IsEmpty()) {
        return PolygonWithHolesCollection();
    }
    const Box box = polygon.GetBBox().GetExpanded(a);
    if (by > base::GetMaxOf_T(double(box.GetWidth()), double(box.GetHeight()))) {
        return PolygonWithHolesCollection();
    }
    std::vector<Arc> edges;
    if (!OffsetPolyArc_G(polygon, -by, a, corner_mode, corner_parameter, &edges)) {
        return PolygonWithHolesCollection(polygon);
    }
    if (edges.empty()) {
        return PolygonWithHolesCollection();
    }
    if (remove_self_intersections) {
        return RemoveSelfIntersections_G(PolyArc(k_Closed, edges), a, false, true);
    }
    return PolygonWithHolesCollection(Polygon(edges, true));
}

}  // namespace geom
