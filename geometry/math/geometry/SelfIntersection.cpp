// Self-intersection removal: split the boundary where it meets itself, re-link the pieces
// into loops that do not cross, and sort the loops into outer polygons and holes by the
// winding number of the regions they separate.

#include "math/geometry/SelfIntersection.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "corelib/Assert.h"
#include "math/geometry/Azimuth.h"
#include "math/geometry/Intersections.h"
#include "math/geometry/LoopWalk.h"
#include "math/geometry/PointMerger.h"
#include "math/geometry/Polygon.h"
#include "math/geometry/PolygonWithHolesCollection.h"

namespace geom {

namespace {

constexpr const char* k_Source = "Polygon";

/// Which winding numbers count as covered.
enum class FillRule { k_NonZero, k_Positive };

struct Piece {
    Arc m_Arc;
    int m_From = 0;
    int m_To = 0;
    int m_Next = -1;
    bool m_Alive = true;
};

class SelfIntersectionRemover {
public:
    SelfIntersectionRemover(const PolyArc& closed, double accuracy) : m_Accuracy(accuracy) {
        Split(closed);
        CancelCoincidentPieces();
        Relink();
    }

    /// The loops, each a closed arc sequence.
    std::vector<std::vector<Arc>> ExtractLoops();

private:
    void Split(const PolyArc& closed);
    void CancelCoincidentPieces();
    void Relink();

    double m_Accuracy;
    std::vector<Piece> m_Pieces;
    std::vector<Point> m_Locations;  ///< By vertex.
    int m_VertexCount = 0;
};

void SelfIntersectionRemover::Split(const PolyArc& closed) {
    const EdgeTree& tree = closed.GetEdgeTree();
    const std::vector<Arc> edges(tree.begin(), tree.end());
    const int n = int(edges.size());
    PointMerger merger;
    // Point indices: 2 k and 2 k + 1 are the ends of edge k; meeting points follow.
    for (const Arc& e : edges) {
        merger.Add(e.GetStart());
        merger.Add(e.GetEnd());
    }
    std::vector<std::vector<int>> splits(n);
    int i = 0;
    for (auto it = tree.begin(); it != tree.end(); ++it, ++i) {
        const Arc& ei = *it;
        tree.VisitMeetingIndexed(
            it.GetBox().GetExpanded(m_Accuracy), [&](std::ptrdiff_t j, const Arc& ej, const Box&) {
                if (j <= i) {
                    return true;
                }
                for (const EdgeIntersection& x : Arc::Intersect_G(ei, ej, m_Accuracy)) {
                    for (const Point& p : {x.m_Value.GetStart(), x.m_Value.GetEnd()}) {
                        const int k = merger.Add(p);
                        splits[i].push_back(k);
                        splits[j].push_back(k);
                    }
                }
                return true;
            });
    }
    merger.Merge(m_Accuracy);
    m_Locations.resize(merger.GetCount());
    for (int k = 0; k < merger.GetCount(); ++k) {
        m_Locations[k] = merger.GetPoint(k);
    }
    m_VertexCount = merger.GetCount();

    for (int k = 0; k < n; ++k) {
        const Arc& e = edges[k];
        const int from = merger.Find(2 * k);
        const int to = merger.Find(2 * k + 1);
        // The meeting points along the edge, in order, as vertices.
        std::vector<std::pair<double, int>> along;
        for (const int p : splits[k]) {
            const int v = merger.Find(p);
            if (v != from && v != to) {
                along.emplace_back(e.GetRateOf(merger.GetPoint(p)), v);
            }
        }
        std::sort(along.begin(), along.end(), [](const auto& a, const auto& b) {
            const int c = base::CompareTotal_G(a.first, b.first);
            return c != 0 ? c < 0 : a.second < b.second;
        });
        std::vector<Point> ends{m_Locations[from]};
        std::vector<int> vertices{from};
        for (const auto& [rate, v] : along) {
            if (v != vertices.back()) {
                vertices.push_back(v);
                ends.push_back(m_Locations[v]);
            }
        }
        vertices.push_back(to);
        ends.push_back(m_Locations[to]);
        // The edge with its ends moved onto their merged vertices.
        Arc moved(m_Locations[from], m_Locations[to], e.GetHeight(), e.GetDirection());
        if (from == to && !(e.GetStart() == e.GetEnd()) && e.GetHeight() != 0) {
            const Point centre = e.GetCircumference().GetCentre();
            if (!(centre == m_Locations[from])) {
                moved = Arc(m_Locations[from], m_Locations[from], e.GetHeight(),
                            Azimuth(centre - m_Locations[from]));
            }
        }
        // A whole circle that nothing else meets stays one piece, a loop on its own
        // vertex: split at its start alone it would leave only a zero-length piece.
        const std::vector<Arc> pieces = vertices.size() == 2 && moved.IsCircumference()
                                            ? std::vector<Arc>{moved}
                                            : moved.Split(ends);
        for (size_t j = 0; j < pieces.size(); ++j) {
            if (pieces[j].IsPoint(m_Accuracy)) {
                continue;
            }
            m_Pieces.push_back({pieces[j], vertices[j], vertices[j + 1]});
        }
    }
}

void SelfIntersectionRemover::CancelCoincidentPieces() {
    // Pieces joining the same two vertices that coincide within the accuracy are made
    // identical; two that run opposite ways bound nothing and both go.
    std::vector<int> order(m_Pieces.size());
    std::iota(order.begin(), order.end(), 0);
    const auto key = [&](int k) {
        return std::make_pair(std::min(m_Pieces[k].m_From, m_Pieces[k].m_To),
                              std::max(m_Pieces[k].m_From, m_Pieces[k].m_To));
    };
    std::sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
    for (size_t g = 0; g < order.size();) {
        size_t end = g + 1;
        while (end < order.size() && key(order[end]) == key(order[g])) {
            ++end;
        }
        for (size_t a = g; a < end; ++a) {
            Piece& pa = m_Pieces[order[a]];
            for (size_t b = a + 1; b < end && pa.m_Alive; ++b) {
                Piece& pb = m_Pieces[order[b]];
                if (!pb.m_Alive) {
                    continue;
                }
                if (pb.m_From == pa.m_From && pb.m_To == pa.m_To
                    && pb.m_Arc.IsEqualTo(pa.m_Arc, m_Accuracy)) {
                    pb.m_Arc = pa.m_Arc;
                } else if (pb.m_From == pa.m_To && pb.m_To == pa.m_From
                           && pb.m_Arc.IsEqualTo(pa.m_Arc.GetReversed(), m_Accuracy)) {
                    pa.m_Alive = false;
                    pb.m_Alive = false;
                }
            }
        }
        g = end;
    }
}

void SelfIntersectionRemover::Relink() {
    // At every vertex the pieces arriving are paired with pieces leaving so that the
    // loops through the vertex do not cross: going round the vertex counter-clockwise,
    // each arriving piece takes the first free leaving piece after it, as brackets nest.
    struct End {
        double m_Angle;
        double m_Curvature;
        bool m_Arriving;
        int m_Piece;
    };
    std::vector<std::vector<End>> at(m_VertexCount);
    std::vector<double> shortest(m_VertexCount, -1);
    std::vector<double> lengths(m_Pieces.size(), 0);
    for (int k = 0; k < int(m_Pieces.size()); ++k) {
        const Piece& p = m_Pieces[k];
        if (!p.m_Alive) {
            continue;
        }
        lengths[k] = p.m_Arc.GetLength();
        for (const int v : {p.m_From, p.m_To}) {
            if (shortest[v] < 0 || lengths[k] < shortest[v]) {
                shortest[v] = lengths[k];
            }
        }
    }
    // Each piece is seen from the vertex through its point a short way along it: the
    // direction of that point orders pieces that leave along one tangent by how they
    // curve, where tangent angles alone would be decided by rounding.
    for (int k = 0; k < int(m_Pieces.size()); ++k) {
        const Piece& p = m_Pieces[k];
        if (!p.m_Alive) {
            continue;
        }
        const auto angle_from = [&](int v, bool arriving) {
            const double rate = lengths[k] > 0 ? 1e-3 * shortest[v] / lengths[k] : 0.0;
            const Point& at_vertex = arriving ? p.m_Arc.GetEnd() : p.m_Arc.GetStart();
            const Point near = p.m_Arc.GetPointAtRate(arriving ? 1 - rate : rate);
            Vector d = near - at_vertex;
            if (d.IsNull()) {
                d = arriving ? -p.m_Arc.GetEndTangent() : p.m_Arc.GetStartTangent();
            }
            return std::atan2(d.GetDy(), d.GetDx());
        };
        at[p.m_From].push_back(
            {angle_from(p.m_From, false), p.m_Arc.GetLeavingCurvature(), false, k});
        at[p.m_To].push_back(
            {angle_from(p.m_To, true), p.m_Arc.GetReversed().GetLeavingCurvature(), true, k});
    }
    std::vector<int> stack;
    std::vector<char> taken;
    for (std::vector<End>& ends : at) {
        if (ends.empty()) {
            continue;
        }
        std::sort(ends.begin(), ends.end(), [](const End& a, const End& b) {
            if (const int c = base::CompareTotal_G(a.m_Angle, b.m_Angle)) {
                return c < 0;
            }
            if (const int c = base::CompareTotal_G(a.m_Curvature, b.m_Curvature)) {
                return c < 0;
            }
            if (a.m_Arriving != b.m_Arriving) {
                return a.m_Arriving;
            }
            // Identical pieces act as parallel copies side by side: the copy that leaves
            // first (counter-clockwise) arrives last, so that the copies never cross.
            return a.m_Arriving ? a.m_Piece > b.m_Piece : a.m_Piece < b.m_Piece;
        });
        stack.clear();
        taken.assign(ends.size(), 0);
        for (int lap = 0; lap < 2; ++lap) {
            for (size_t k = 0; k < ends.size(); ++k) {
                const End& e = ends[k];
                if (e.m_Arriving) {
                    if (lap == 0) {
                        stack.push_back(e.m_Piece);
                    }
                } else if (!taken[k] && !stack.empty()) {
                    taken[k] = 1;
                    m_Pieces[stack.back()].m_Next = e.m_Piece;
                    stack.pop_back();
                }
            }
        }
    }
}

std::vector<std::vector<Arc>> SelfIntersectionRemover::ExtractLoops() {
    const int n = int(m_Pieces.size());
    std::vector<int> next(n);
    std::vector<int> from(n);
    std::vector<int> to(n);
    std::vector<char> used(n);
    for (int k = 0; k < n; ++k) {
        next[k] = m_Pieces[k].m_Next;
        from[k] = m_Pieces[k].m_From;
        to[k] = m_Pieces[k].m_To;
        used[k] = !m_Pieces[k].m_Alive;
    }
    const LoopWalk walk = WalkLoops_G(next, from, to, m_VertexCount, used);
    VCORE_ASSERT(k_Source, walk.m_OpenWalks.empty());
    std::vector<std::vector<Arc>> ret;
    ret.reserve(walk.m_Loops.size());
    for (const std::vector<int>& pieces : walk.m_Loops) {
        std::vector<Arc> loop;
        loop.reserve(pieces.size());
        for (const int k : pieces) {
            loop.push_back(m_Pieces[k].m_Arc);
        }
        VCORE_ASSERT(k_Source, IsPolyArcSequence_G(loop, k_Closed));
        ret.push_back(std::move(loop));
    }
    return ret;
}

struct Loop {
    Polygon m_Polygon;  ///< As walked (either orientation).
    double m_Area = 0;
    int m_Parent = -1;  ///< The smallest loop enclosing this one.
    int m_WindingInside = 0;
    enum Kind { k_None, k_Outer, k_Hole } m_Kind = k_None;
};

/// Whether loop `inner` lies inside loop `outer` (they do not cross; they may touch).
bool IsInside(const Loop& inner, const Loop& outer, double accuracy) {
    if (!outer.m_Polygon.GetBBox().GetExpanded(accuracy).Contains(inner.m_Polygon.GetBBox())) {
        return false;
    }
    for (const Arc& a : inner.m_Polygon.GetEdgeTree()) {
        const Point m = a.GetMiddlePoint();
        if (!outer.m_Polygon.IsOnBoundary(m, accuracy)) {
            return outer.m_Polygon.Contains(m, accuracy);
        }
    }
    return true;  // Coincides with it.
}

PolygonWithHolesCollection BuildResult(std::vector<std::vector<Arc>> arcs, double accuracy,
                                       FillRule rule, bool keep_holes, bool attach_by_nesting) {
    std::vector<Loop> loops;
    for (std::vector<Arc>& a : arcs) {
        Loop loop;
        loop.m_Polygon = Polygon(PolyArc(k_Closed, a));
        loop.m_Area = loop.m_Polygon.PolyArc::GetArea();
        if (std::fabs(loop.m_Area) <= accuracy * accuracy || !(loop.m_Area == loop.m_Area)) {
            continue;
        }
        loops.push_back(std::move(loop));
    }
    std::stable_sort(loops.begin(), loops.end(), [](const Loop& a, const Loop& b) {
        return std::fabs(a.m_Area) > std::fabs(b.m_Area);
    });
    // Enclosing loops are larger, so they come first; the nearest one is the smallest.
    struct LoopBox {
        geom::Box operator()(const std::pair<int, Box>& x) const { return x.second; }
    };
    containers::RangeAvlTree_T<std::pair<int, Box>, LoopBox> boxes;
    const auto covered = [rule](int w) { return rule == FillRule::k_NonZero ? w != 0 : w > 0; };
    for (int k = 0; k < int(loops.size()); ++k) {
        Loop& loop = loops[k];
        const Box box = loop.m_Polygon.GetBBox();
        std::vector<int> candidates;
        boxes.VisitMeeting(box, [&](const std::pair<int, Box>& x, const Box&) {
            candidates.push_back(x.first);
            return true;
        });
        std::sort(candidates.rbegin(), candidates.rend());
        for (const int c : candidates) {
            if (IsInside(loop, loops[c], accuracy)) {
                loop.m_Parent = c;
                break;
            }
        }
        const int outside = loop.m_Parent >= 0 ? loops[loop.m_Parent].m_WindingInside : 0;
        loop.m_WindingInside = outside + (loop.m_Area > 0 ? 1 : -1);
        if (covered(loop.m_WindingInside) && !covered(outside)) {
            loop.m_Kind = Loop::k_Outer;
        } else if (!covered(loop.m_WindingInside) && covered(outside)) {
            loop.m_Kind = Loop::k_Hole;
        }
        boxes.PushBack({k, box});
    }

    const auto counter_clockwise = [](const Loop& loop) {
        return loop.m_Area > 0 ? loop.m_Polygon : Polygon(loop.m_Polygon.GetReversed());
    };
    std::vector<int> outers;
    std::vector<int> owner(loops.size(), -1);  // Result index of each outer loop.
    for (int k = 0; k < int(loops.size()); ++k) {
        if (loops[k].m_Kind == Loop::k_Outer) {
            owner[k] = int(outers.size());
            outers.push_back(k);
        }
    }
    std::vector<PolygonWithHoles> result;
    for (const int k : outers) {
        result.emplace_back(counter_clockwise(loops[k]));
    }
    if (keep_holes) {
        // The result list in the collection's order, for attaching holes by search.
        std::vector<int> by_order(result.size());
        std::iota(by_order.begin(), by_order.end(), 0);
        std::stable_sort(by_order.begin(), by_order.end(), [&](int a, int b) {
            return ShapeCollection_T<PolygonWithHoles>::IsOrderedBefore(result[a], result[b]);
        });
        for (int k = 0; k < int(loops.size()); ++k) {
            if (loops[k].m_Kind != Loop::k_Hole) {
                continue;
            }
            const Polygon hole = counter_clockwise(loops[k]);
            int target = -1;
            if (attach_by_nesting) {
                for (int p = loops[k].m_Parent; p >= 0 && target < 0; p = loops[p].m_Parent) {
                    if (loops[p].m_Kind == Loop::k_Outer) {
                        target = owner[p];
                    }
                }
            } else {
                const Box hole_box = hole.GetBBox();
                const Point probe = hole.GetEdge(0).GetMiddlePoint();
                for (const int r : by_order) {
                    const Polygon& outer = result[r].GetPolygon();
                    if (outer.GetBBox().GetExpanded(100 * accuracy).Contains(hole_box)
                        && outer.Contains(probe, accuracy)) {
                        target = r;
                        break;
                    }
                }
            }
            if (target >= 0) {
                result[target].AddHole(hole);
            }
        }
    }
    return PolygonWithHolesCollection(result);
}

PolygonWithHolesCollection Remove(const PolyArc& closed, Unit accuracy, FillRule rule,
                                  bool keep_holes, bool attach_by_nesting) {
    if (closed.IsEmpty()) {
        return PolygonWithHolesCollection();
    }
    const double a = accuracy > 0 ? double(accuracy) : 0.0;
    SelfIntersectionRemover remover(closed, a);
    return BuildResult(remover.ExtractLoops(), a, rule, keep_holes, attach_by_nesting);
}

}  // namespace

PolygonWithHolesCollection RemoveSelfIntersections_G(const Polygon& polygon, Unit accuracy) {
    return Remove(polygon, accuracy, FillRule::k_NonZero, true, true);
}

PolygonWithHolesCollection RemoveSelfIntersections_G(const PolyArc& closed, Unit accuracy,
                                                     bool keep_holes, bool attach_by_nesting) {
    return Remove(closed, accuracy, FillRule::k_Positive, keep_holes, attach_by_nesting);
}

}  // namespace geom
