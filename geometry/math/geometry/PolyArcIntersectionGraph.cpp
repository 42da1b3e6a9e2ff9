// Booleans on exact arcs: the operands' boundaries are cut where they meet, every piece is
// classified by what covers its two sides, and the result's loops are read off the pieces
// that separate covered from uncovered.

#include "math/geometry/PolyArcIntersectionGraph.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <utility>

#include "corelib/Assert.h"
#include "math/geometry/Azimuth.h"
#include "math/geometry/BoxIndex.h"
#include "math/geometry/GeomStl.h"
#include "math/geometry/Intersections.h"
#include "math/geometry/PolygonCollection.h"

namespace geom {

namespace {

constexpr const char* k_Source = "PolyArcIntersectionGraph";

bool IsFinite(const Arc& a) {
    return std::isfinite(a.GetStart().GetX()) && std::isfinite(a.GetStart().GetY())
           && std::isfinite(a.GetEnd().GetX()) && std::isfinite(a.GetEnd().GetY())
           && std::isfinite(a.GetHeight()) && std::isfinite(a.GetDirection().GetValue());
}

/// One boundary loop of a member, in graph orientation: outer loops counter-clockwise and
/// holes clockwise, so that the member lies on the left of every edge.
struct SourceLoop {
    Polygon m_Boundary;
    int m_Member = 0;
    int m_Operand = 0;
    int m_Sign = 1;  ///< +1 for an outer loop, -1 for a hole
};

struct SourceEdge {
    Arc m_Arc;
    int m_Loop = 0;
    bool m_FirstOfLoop = false;
    bool m_LastOfLoop = false;
};

/// Groups points that lie within the accuracy of each other (transitively, in the square
/// norm of Point::IsEqualTo); each group takes the location of its first point.
class PointMerger {
public:
    int Add(const Point& p) {
        m_Points.push_back(p);
        return int(m_Points.size()) - 1;
    }
    const Point& GetPoint(int i) const { return m_Points[i]; }
    int GetCount() const { return int(m_Points.size()); }
    void Merge(double accuracy);
    int Find(int i) {
        while (m_Parent[i] != i) {
            m_Parent[i] = m_Parent[m_Parent[i]];
            i = m_Parent[i];
        }
        return i;
    }

private:
    void Unite(int a, int b) {
        a = Find(a);
        b = Find(b);
        if (a != b) {
            m_Parent[std::max(a, b)] = std::min(a, b);
        }
    }

    std::vector<Point> m_Points;
    std::vector<int> m_Parent;
};

void PointMerger::Merge(double accuracy) {
    const int n = GetCount();
    m_Parent.resize(n);
    std::iota(m_Parent.begin(), m_Parent.end(), 0);
    if (!(accuracy > 0)) {
        std::vector<int> order(n);
        std::iota(order.begin(), order.end(), 0);
        const auto less = [&](int a, int b) {
            const int c = base::CompareTotal_G(m_Points[a].GetX(), m_Points[b].GetX());
            return c != 0 ? c < 0
                          : base::CompareTotal_G(m_Points[a].GetY(), m_Points[b].GetY()) < 0;
        };
        std::sort(order.begin(), order.end(), less);
        for (int i = 1; i < n; ++i) {
            if (m_Points[order[i]] == m_Points[order[i - 1]]) {
                Unite(order[i], order[i - 1]);
            }
        }
        return;
    }
    // Points on a grid of cells twice the accuracy wide: points within the accuracy of
    // each other lie in the same or in neighbouring cells. Sorting by cell compares each
    // point with few others, even where many share one x coordinate.
    const double size = 2 * accuracy;
    constexpr std::int64_t k_Limit = std::int64_t(1) << 62;
    constexpr std::int64_t k_NotANumber = k_Limit + 16;
    const auto key = [&](double v) {
        if (v != v) {
            return k_NotANumber;
        }
        const double k = std::floor(v / size);
        return k >= double(k_Limit) ? k_Limit
                                    : (k <= -double(k_Limit) ? -k_Limit : std::int64_t(k));
    };
    struct Cell {
        std::int64_t m_X;
        std::int64_t m_Y;
        int m_Point;
    };
    std::vector<Cell> cells(n);
    for (int i = 0; i < n; ++i) {
        cells[i] = {key(m_Points[i].GetX()), key(m_Points[i].GetY()), i};
    }
    const auto before = [](const Cell& a, std::int64_t x, std::int64_t y) {
        return a.m_X < x || (a.m_X == x && a.m_Y < y);
    };
    std::sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
        return a.m_X != b.m_X ? a.m_X < b.m_X
                              : (a.m_Y != b.m_Y ? a.m_Y < b.m_Y : a.m_Point < b.m_Point);
    });
    const auto compare = [&](size_t b0, size_t e0, size_t b1, size_t e1) {
        for (size_t i = b0; i < e0; ++i) {
            for (size_t j = b1; j < e1; ++j) {
                if (i != j
                    && m_Points[cells[i].m_Point].IsEqualTo(m_Points[cells[j].m_Point], accuracy)) {
                    Unite(cells[i].m_Point, cells[j].m_Point);
                }
            }
        }
    };
    size_t cursor = 0;
    for (size_t b = 0; b < size_t(n);) {
        const std::int64_t x = cells[b].m_X;
        const std::int64_t y = cells[b].m_Y;
        size_t e = b + 1;
        while (e < size_t(n) && cells[e].m_X == x && cells[e].m_Y == y) {
            ++e;
        }
        if (x == k_NotANumber || y == k_NotANumber) {
            b = e;
            continue;
        }
        compare(b, e, b, e);
        // The cell above, then the three cells of the next column; the cursor only moves
        // forward since the cells are visited in order.
        size_t above = e;
        while (above < size_t(n) && cells[above].m_X == x && cells[above].m_Y == y + 1) {
            ++above;
        }
        compare(b, e, e, above);
        while (cursor < size_t(n) && before(cells[cursor], x + 1, y - 1)) {
            ++cursor;
        }
        size_t last = cursor;
        while (last < size_t(n) && cells[last].m_X == x + 1 && cells[last].m_Y <= y + 1) {
            ++last;
        }
        compare(b, e, cursor, last);
        b = e;
    }
}

/// Curvature of an arc as it leaves its start: positive when it bends counter-clockwise.
double GetLeavingCurvature(const Arc& leaving) {
    const double h = leaving.GetHeight();
    if (h == 0) {
        return 0;
    }
    const double r = leaving.GetStart() == leaving.GetEnd()
                         ? std::fabs(h) * 0.5
                         : double(leaving.GetCircumference().GetRadius());
    return (h < 0 ? 1 : -1) / r;
}

/// The direction of travel along an edge at a point on (or next to) it.
Vector GetTangentAt(const Arc& a, const Point& p) {
    if (a.GetHeight() == 0) {
        return a.GetEnd() - a.GetStart();
    }
    const Vector radial = p - a.GetCircumference().GetCentre();
    return a.GetHeight() < 0 ? radial.GetLeftNormal() : radial.GetRightNormal();
}

/// The winding contributions (left side, right side) of a loop with orientation `sign`
/// whose boundary passes through a piece, running along it or against it. Crossing a
/// counter-clockwise boundary from its right to its left enters it.
std::pair<int, int> GetSideWinding(int sign, bool along) {
    if (along) {
        return sign > 0 ? std::pair(1, 0) : std::pair(0, -1);
    }
    return sign > 0 ? std::pair(0, 1) : std::pair(-1, 0);
}

/// Builds the vertices and classified edges of a graph.
class GraphBuilder {
public:
    GraphBuilder(double accuracy, bool two_operands)
        : m_Accuracy(accuracy), m_TwoOperands(two_operands) {}

    /// Adds a member (an outer polygon and its holes) of an operand.
    void AddMember(const Polygon& outer, const PolygonCollection* holes, int operand);
    void Build(std::vector<PolyArcIntersectionGraph::Vertex>& vertices,
               std::vector<PolyArcIntersectionGraph::Edge>& edges, std::vector<int>& piece_count,
               std::vector<char>& closed);

private:
    struct Split {
        int m_Edge;
        int m_Point;
    };
    /// A loop that may cover the middle point of a piece.
    struct Candidate {
        int m_Operand;
        int m_Member;
        int m_Loop;
    };

    bool AddLoop(const PolyArc& stored, int member, int operand, int sign);
    void FindMeetings();
    void AddMeeting(int i, int j, const Point& p);
    void MergePoints();
    void SnapVerticesToEdges();
    void SortSplits();
    void FindTouchingLoops();
    bool Touches(int loop, int other) const;
    void SplitAndClassify(std::vector<PolyArcIntersectionGraph::Edge>& out,
                          std::vector<int>& piece_count, std::vector<char>& closed);
    void CutEdge(int e, std::vector<Arc>& pieces, std::vector<int>& ends) const;
    void Classify(const Arc& piece, int e, int k, int start, int end,
                  std::vector<PolyArcIntersectionGraph::Edge>& out);
    /// Winding of a loop (other than the piece's own) on the left and right of a piece.
    std::pair<int, int> Locate(int loop, int piece_loop, const Point& middle, const Vector& tangent,
                               bool* touching);
    bool RunsAlong(const SourceLoop& loop, const Point& p, const Vector& tangent) const;

    double m_Accuracy;
    bool m_TwoOperands;
    int m_MemberCount = 0;
    std::vector<SourceLoop> m_Loops;
    std::vector<SourceEdge> m_Edges;
    PointMerger m_Points;
    std::vector<char> m_Computed;  ///< by point: a crossing, not an edge's end
    std::vector<Split> m_Splits;
    BoxIndex m_EdgeIndex;
    BoxIndex m_LoopIndex;
    std::vector<int> m_VertexOfPoint;
    std::vector<int> m_PointOfVertex;
    std::vector<Point> m_Locations;
    std::vector<char> m_VertexComputed;
    std::vector<int> m_InteriorStart;  ///< by edge, into m_Interior
    std::vector<int> m_Interior;       ///< vertices inside each edge, in order along it
    std::vector<int> m_TouchStart;     ///< by loop, into m_Touch
    std::vector<int> m_Touch;          ///< loops sharing a vertex with each loop, sorted
    // Per loop being classified: the loops that do not touch it, and whether it lies in them.
    int m_CachedLoop = -1;
    std::vector<std::pair<int, bool>> m_Cache;
    std::vector<Candidate> m_Candidates;
};

bool GraphBuilder::AddLoop(const PolyArc& stored, int member, int operand, int sign) {
    if (stored.IsEmpty()) {
        return false;
    }
    std::vector<Arc> arcs = stored.GetEdges();
    VCORE_ASSERT_TEXT(
        k_Source, IsPolyArcSequence_G(arcs, k_Closed),
        operand == 0 ? "IsPolyArcSequence_G (a1, k_Closed)" : "IsPolyArcSequence_G (a2, k_Closed)");
    for (const Arc& a : arcs) {
        if (!IsFinite(a)) {
            return false;
        }
    }
    const double area = stored.GetOpenClosed() == k_Closed ? double(stored.GetArea()) : 0.0;
    if (!(area != 0) || !std::isfinite(area)) {
        return false;  // a loop that encloses nothing covers nothing
    }
    SourceLoop loop;
    loop.m_Member = member;
    loop.m_Operand = operand;
    loop.m_Sign = sign;
    if ((area > 0) == (sign > 0)) {
        loop.m_Boundary = Polygon(stored);
    } else {
        loop.m_Boundary = Polygon(stored.GetReversed());
        arcs = loop.m_Boundary.GetEdges();
    }
    const int index = int(m_Loops.size());
    const size_t first = m_Edges.size();
    for (const Arc& a : arcs) {
        if (a.IsPoint(m_Accuracy)) {
            continue;
        }
        m_Edges.push_back({a, index});
        m_Points.Add(a.GetStart());
        m_Points.Add(a.GetEnd());
        m_Computed.push_back(0);
        m_Computed.push_back(0);
    }
    if (m_Edges.size() > first) {
        m_Edges[first].m_FirstOfLoop = true;
        m_Edges.back().m_LastOfLoop = true;
    }
    m_Loops.push_back(std::move(loop));
    return true;
}

void GraphBuilder::AddMember(const Polygon& outer, const PolygonCollection* holes, int operand) {
    if (!AddLoop(outer, m_MemberCount, operand, 1)) {
        return;
    }
    if (holes) {
        for (const Polygon& hole : holes->GetTree()) {
            AddLoop(hole, m_MemberCount, operand, -1);
        }
    }
    ++m_MemberCount;
}

void GraphBuilder::AddMeeting(int i, int j, const Point& p) {
    const Arc& ai = m_Edges[i].m_Arc;
    const Arc& aj = m_Edges[j].m_Arc;
    int id = -1;
    if (p == ai.GetStart()) {
        id = 2 * i;
    } else if (p == ai.GetEnd()) {
        id = 2 * i + 1;
    } else if (p == aj.GetStart()) {
        id = 2 * j;
    } else if (p == aj.GetEnd()) {
        id = 2 * j + 1;
    } else {
        id = m_Points.Add(p);
        m_Computed.push_back(1);
    }
    m_Splits.push_back({i, id});
    m_Splits.push_back({j, id});
}

void GraphBuilder::FindMeetings() {
    std::vector<IndexedBox> boxes(m_Edges.size());
    for (int i = 0; i < int(m_Edges.size()); ++i) {
        boxes[i] = {i, m_Edges[i].m_Arc.GetBBox()};
    }
    m_EdgeIndex = MakeBoxIndex_G(std::move(boxes));
    const double acc = m_Accuracy;
    for (int i = 0; i < int(m_Edges.size()); ++i) {
        const SourceEdge& ei = m_Edges[i];
        const Box query = ei.m_Arc.GetBBox().GetExpanded(acc);
        m_EdgeIndex.VisitMeeting(query, [&](const IndexedBox& x, const Box&) {
            const int j = x.m_Id;
            if (j <= i) {
                return true;
            }
            const SourceEdge& ej = m_Edges[j];
            // Neighbours in a loop meet where they join; a valid boundary meets itself
            // nowhere else between them.
            if (ei.m_Loop == ej.m_Loop && (j == i + 1 || (ei.m_FirstOfLoop && ej.m_LastOfLoop))) {
                return true;
            }
            const EdgeIntersections meetings = Arc::Intersect_G(ei.m_Arc, ej.m_Arc, acc);
            for (const EdgeIntersection& m : meetings) {
                if (m.IsPoint()) {
                    AddMeeting(i, j, m.GetPoint());
                    continue;
                }
                AddMeeting(i, j, m.m_Value.GetStart());
                AddMeeting(i, j, m.m_Value.GetEnd());
                // The ends of either edge that lie on the common piece cut the other, so
                // that both are cut at the same places (whole circles at their starts).
                for (const int end : {2 * i, 2 * i + 1}) {
                    if (ej.m_Arc.GetDistanceTo(m_Points.GetPoint(end)) <= acc) {
                        m_Splits.push_back({j, end});
                    }
                }
                for (const int end : {2 * j, 2 * j + 1}) {
                    if (ei.m_Arc.GetDistanceTo(m_Points.GetPoint(end)) <= acc) {
                        m_Splits.push_back({i, end});
                    }
                }
            }
            return true;
        });
    }
}

void GraphBuilder::MergePoints() {
    m_Points.Merge(m_Accuracy);
    const int n = m_Points.GetCount();
    m_VertexOfPoint.assign(n, -1);
    for (int p = 0; p < n; ++p) {
        const int root = m_Points.Find(p);
        if (m_VertexOfPoint[root] < 0) {
            m_VertexOfPoint[root] = int(m_Locations.size());
            m_Locations.push_back(m_Points.GetPoint(root));
            m_PointOfVertex.push_back(root);
            m_VertexComputed.push_back(0);
        }
        const int v = m_VertexOfPoint[root];
        m_VertexOfPoint[p] = v;
        if (m_Computed[p]) {
            m_VertexComputed[v] = 1;
        }
    }
}

void GraphBuilder::SnapVerticesToEdges() {
    // A crossing computed for one edge can lie within the accuracy of another that passes
    // through it (an edge that coincides with the first, say) without having been found
    // for that one: every such edge is cut there too, so that coinciding edges are cut
    // alike.
    const double acc = m_Accuracy;
    for (int v = 0; v < int(m_Locations.size()); ++v) {
        if (!m_VertexComputed[v]) {
            continue;
        }
        const Point& p = m_Locations[v];
        m_EdgeIndex.VisitMeeting(GetQueryBox_G(p, acc), [&](const IndexedBox& x, const Box&) {
            const int e = x.m_Id;
            if (m_VertexOfPoint[2 * e] != v && m_VertexOfPoint[2 * e + 1] != v
                && m_Edges[e].m_Arc.GetDistanceTo(p) <= acc) {
                m_Splits.push_back({e, m_PointOfVertex[v]});
            }
            return true;
        });
    }
}

void GraphBuilder::SortSplits() {
    struct Along {
        int m_Edge;
        double m_Rate;
        int m_Vertex;
    };
    std::vector<Along> along;
    along.reserve(m_Splits.size());
    for (const Split& s : m_Splits) {
        const int v = m_VertexOfPoint[s.m_Point];
        if (v == m_VertexOfPoint[2 * s.m_Edge] || v == m_VertexOfPoint[2 * s.m_Edge + 1]) {
            continue;
        }
        along.push_back({s.m_Edge, m_Edges[s.m_Edge].m_Arc.GetRateOf(m_Locations[v]), v});
    }
    m_Splits.clear();
    m_Splits.shrink_to_fit();
    std::sort(along.begin(), along.end(), [](const Along& a, const Along& b) {
        if (a.m_Edge != b.m_Edge) {
            return a.m_Edge < b.m_Edge;
        }
        if (const int c = base::CompareTotal_G(a.m_Rate, b.m_Rate)) {
            return c < 0;
        }
        return a.m_Vertex < b.m_Vertex;
    });
    m_InteriorStart.assign(m_Edges.size() + 1, 0);
    m_Interior.clear();
    m_Interior.reserve(along.size());
    size_t k = 0;
    for (int e = 0; e < int(m_Edges.size()); ++e) {
        m_InteriorStart[e] = int(m_Interior.size());
        for (; k < along.size() && along[k].m_Edge == e; ++k) {
            if (int(m_Interior.size()) == m_InteriorStart[e]
                || m_Interior.back() != along[k].m_Vertex) {
                m_Interior.push_back(along[k].m_Vertex);
            }
        }
    }
    m_InteriorStart[m_Edges.size()] = int(m_Interior.size());
}

void GraphBuilder::FindTouchingLoops() {
    // Two loops touch when they share a vertex. A piece is located afresh against the
    // loops its own loop touches; against any other loop, the whole of its loop lies
    // inside or outside, and one location serves all its pieces.
    std::vector<std::pair<int, int>> at;  // (vertex, loop)
    at.reserve(2 * m_Edges.size() + m_Interior.size());
    for (int e = 0; e < int(m_Edges.size()); ++e) {
        const int loop = m_Edges[e].m_Loop;
        at.emplace_back(m_VertexOfPoint[2 * e], loop);
        at.emplace_back(m_VertexOfPoint[2 * e + 1], loop);
        for (int k = m_InteriorStart[e]; k < m_InteriorStart[e + 1]; ++k) {
            at.emplace_back(m_Interior[k], loop);
        }
    }
    std::sort(at.begin(), at.end());
    at.erase(std::unique(at.begin(), at.end()), at.end());
    std::vector<std::pair<int, int>> pairs;
    for (size_t b = 0; b < at.size();) {
        size_t e = b + 1;
        while (e < at.size() && at[e].first == at[b].first) {
            ++e;
        }
        for (size_t i = b; i < e; ++i) {
            for (size_t j = i + 1; j < e; ++j) {
                pairs.emplace_back(at[i].second, at[j].second);
                pairs.emplace_back(at[j].second, at[i].second);
            }
        }
        b = e;
    }
    at.clear();
    at.shrink_to_fit();
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    m_TouchStart.assign(m_Loops.size() + 1, 0);
    m_Touch.resize(pairs.size());
    size_t k = 0;
    for (int l = 0; l < int(m_Loops.size()); ++l) {
        m_TouchStart[l] = int(k);
        for (; k < pairs.size() && pairs[k].first == l; ++k) {
            m_Touch[k] = pairs[k].second;
        }
    }
    m_TouchStart[m_Loops.size()] = int(k);
}

bool GraphBuilder::Touches(int loop, int other) const {
    const auto first = m_Touch.begin() + m_TouchStart[loop];
    const auto last = m_Touch.begin() + m_TouchStart[loop + 1];
    return std::binary_search(first, last, other);
}

void GraphBuilder::CutEdge(int e, std::vector<Arc>& pieces, std::vector<int>& ends) const {
    pieces.clear();
    ends.clear();
    const Arc& a = m_Edges[e].m_Arc;
    const int from = m_VertexOfPoint[2 * e];
    const int to = m_VertexOfPoint[2 * e + 1];
    const Point& p0 = m_Locations[from];
    const Point& p1 = m_Locations[to];
    // The edge with its ends moved onto their vertices. An arc whose ends became one
    // vertex is the whole circle.
    Arc moved(p0, p1, a.GetHeight(), a.GetDirection());
    if (from == to && !(a.GetStart() == a.GetEnd()) && a.GetHeight() != 0) {
        const Point centre = a.GetCircumference().GetCentre();
        if (!(centre == p0)) {
            moved = Arc(p0, p0, a.GetHeight(), Azimuth(centre - p0));
        }
    }
    const int first = m_InteriorStart[e];
    const int last = m_InteriorStart[e + 1];
    ends.push_back(from);
    if (first == last) {
        ends.push_back(to);
        if (!moved.IsPoint(m_Accuracy)) {
            pieces.push_back(moved);
        }
        return;
    }
    std::vector<Point> points{p0};
    for (int k = first; k < last; ++k) {
        ends.push_back(m_Interior[k]);
        points.push_back(m_Locations[m_Interior[k]]);
    }
    ends.push_back(to);
    points.push_back(p1);
    pieces = moved.Split(points);
}

bool GraphBuilder::RunsAlong(const SourceLoop& loop, const Point& p, const Vector& tangent) const {
    double best = -1;
    Vector direction;
    loop.m_Boundary.GetEdgeTree().VisitMeeting(GetQueryBox_G(p, m_Accuracy),
                                               [&](const Arc& a, const Box&) {
                                                   double d = 0;
                                                   const Point q = a.GetClosestPointTo(p);
                                                   d = q.GetDistanceTo(p);
                                                   if (best < 0 || d < best) {
                                                       best = d;
                                                       direction = GetTangentAt(a, q);
                                                   }
                                                   return true;
                                               });
    return direction.Dot(tangent) >= 0;
}

std::pair<int, int> GraphBuilder::Locate(int loop, int piece_loop, const Point& middle,
                                         const Vector& tangent, bool* touching) {
    const SourceLoop& l = m_Loops[loop];
    bool inside = false;
    if (Touches(piece_loop, loop)) {
        if (l.m_Boundary.IsOnBoundary(middle, m_Accuracy)) {
            *touching = true;
            return GetSideWinding(l.m_Sign, RunsAlong(l, middle, tangent));
        }
        inside = l.m_Boundary.Contains(middle, m_Accuracy);
    } else {
        if (m_CachedLoop != piece_loop) {
            m_CachedLoop = piece_loop;
            m_Cache.clear();
        }
        const auto it =
            std::find_if(m_Cache.begin(), m_Cache.end(),
                         [&](const std::pair<int, bool>& c) { return c.first == loop; });
        if (it != m_Cache.end()) {
            inside = it->second;
        } else {
            inside = l.m_Boundary.Contains(middle, m_Accuracy);
            m_Cache.emplace_back(loop, inside);
        }
    }
    return inside ? std::pair(l.m_Sign, l.m_Sign) : std::pair(0, 0);
}

void GraphBuilder::Classify(const Arc& piece, int e, int k, int start, int end,
                            std::vector<PolyArcIntersectionGraph::Edge>& out) {
    const int own_loop = m_Edges[e].m_Loop;
    const SourceLoop& own = m_Loops[own_loop];
    const Point middle = piece.GetMiddlePoint();
    // The tangent at the middle of an arc is parallel to its chord.
    const Vector tangent = piece.GetStart() == piece.GetEnd() ? -piece.GetStartTangent()
                                                              : piece.GetEnd() - piece.GetStart();
    m_Candidates.clear();
    m_Candidates.push_back({own.m_Operand == 0 ? 0 : 1, own.m_Member, own_loop});
    m_LoopIndex.VisitMeeting(GetQueryBox_G(middle, m_Accuracy),
                             [&](const IndexedBox& x, const Box&) {
                                 if (x.m_Id != own_loop) {
                                     const SourceLoop& l = m_Loops[x.m_Id];
                                     m_Candidates.push_back({l.m_Operand, l.m_Member, x.m_Id});
                                 }
                                 return true;
                             });
    // The piece's own operand first, member by member, so that a piece inside another
    // member of its operand is given up early.
    const int own_operand = own.m_Operand;
    std::sort(m_Candidates.begin(), m_Candidates.end(),
              [&](const Candidate& a, const Candidate& b) {
                  const bool oa = a.m_Operand != own_operand;
                  const bool ob = b.m_Operand != own_operand;
                  if (oa != ob) {
                      return ob;
                  }
                  return a.m_Member != b.m_Member ? a.m_Member < b.m_Member : a.m_Loop < b.m_Loop;
              });
    bool covered[2][2] = {{false, false}, {false, false}};  // [own or other][left or right]
    bool touched_by_other_member = false;
    for (size_t b = 0; b < m_Candidates.size();) {
        const Candidate& c = m_Candidates[b];
        const bool other = c.m_Operand != own_operand;
        if (other && covered[0][0] == covered[0][1]) {
            return;  // not on its own operand's boundary
        }
        int left = 0;
        int right = 0;
        bool touching = false;
        size_t e2 = b;
        for (; e2 < m_Candidates.size() && m_Candidates[e2].m_Member == c.m_Member
               && m_Candidates[e2].m_Operand == c.m_Operand;
             ++e2) {
            std::pair<int, int> w;
            if (m_Candidates[e2].m_Loop == own_loop) {
                w = GetSideWinding(own.m_Sign, true);
            } else {
                w = Locate(m_Candidates[e2].m_Loop, own_loop, middle, tangent, &touching);
            }
            left += w.first;
            right += w.second;
        }
        bool* sides = covered[other ? 1 : 0];
        sides[0] = sides[0] || left > 0;
        sides[1] = sides[1] || right > 0;
        if (touching && (other || c.m_Member != own.m_Member)) {
            touched_by_other_member = true;
        }
        if (!other && sides[0] && sides[1]) {
            return;  // inside its own operand
        }
        b = e2;
    }
    if (covered[0][0] == covered[0][1]) {
        return;
    }
    PolyArcIntersectionGraph::Edge edge;
    const bool reversed = covered[0][1];
    edge.m_Arc = reversed ? piece.GetReversed() : piece;
    edge.m_StartVertex = reversed ? end : start;
    edge.m_EndVertex = reversed ? start : end;
    edge.m_Owner = own_operand;
    edge.m_OtherOnLeft = reversed ? covered[1][1] : covered[1][0];
    edge.m_OtherOnRight = reversed ? covered[1][0] : covered[1][1];
    if (m_TwoOperands) {
        edge.m_InsideOther = edge.m_OtherOnLeft && edge.m_OtherOnRight     ? k_InsideOther
                             : !edge.m_OtherOnLeft && !edge.m_OtherOnRight ? k_OutsideOther
                                                                           : k_CommonEdge;
    } else {
        edge.m_InsideOther = touched_by_other_member ? k_CommonEdge : k_OutsideOther;
    }
    edge.m_SourceEdge = e;
    edge.m_Piece = k;
    edge.m_AlongSource = !reversed;
    VCORE_ASSERT_TEXT(k_Source, !edge.m_Arc.IsPoint(0, nullptr), "!m_Arc.IsPoint(0, NULL)");
    out.push_back(edge);
}

void GraphBuilder::SplitAndClassify(std::vector<PolyArcIntersectionGraph::Edge>& out,
                                    std::vector<int>& piece_count, std::vector<char>& closed) {
    std::vector<IndexedBox> boxes(m_Loops.size());
    for (int l = 0; l < int(m_Loops.size()); ++l) {
        boxes[l] = {l, m_Loops[l].m_Boundary.GetBBox()};
    }
    m_LoopIndex = MakeBoxIndex_G(std::move(boxes));
    piece_count.assign(m_Edges.size(), 0);
    closed.assign(m_Edges.size(), 0);
    std::vector<Arc> pieces;
    std::vector<int> ends;
    for (int e = 0; e < int(m_Edges.size()); ++e) {
        CutEdge(e, pieces, ends);
        piece_count[e] = int(pieces.size());
        closed[e] = ends.front() == ends.back();
        for (int k = 0; k < int(pieces.size()); ++k) {
            if (pieces[k].IsPoint(m_Accuracy)) {
                continue;
            }
            Classify(pieces[k], e, k, ends[k], ends[k + 1], out);
        }
    }
}

void GraphBuilder::Build(std::vector<PolyArcIntersectionGraph::Vertex>& vertices,
                         std::vector<PolyArcIntersectionGraph::Edge>& edges,
                         std::vector<int>& piece_count, std::vector<char>& closed) {
    FindMeetings();
    MergePoints();
    SnapVerticesToEdges();
    SortSplits();
    FindTouchingLoops();
    SplitAndClassify(edges, piece_count, closed);
    vertices.resize(m_Locations.size());
    for (size_t v = 0; v < m_Locations.size(); ++v) {
        vertices[v].m_Location = m_Locations[v];
    }
}

/// The accuracy a graph works with: the caller's, or the operands' own tolerance when the
/// caller's is below it (reported by the caller's assertion), so that crossings computed
/// in floating point are always recognised as such.
double GetWorkingAccuracy(double accuracy, const Box& box) {
    const double own = box.GetEpsilon();
    return accuracy > own ? accuracy : own;
}

}  // namespace

PolyArcIntersectionGraph::PolyArcIntersectionGraph(std::span<const PolygonWithHoles> first,
                                                   std::span<const PolygonWithHoles> second,
                                                   Unit accuracy) {
    Box b1;
    Box b2;
    for (const PolygonWithHoles& p : first) {
        b1 |= p.GetBBox();
    }
    for (const PolygonWithHoles& p : second) {
        b2 |= p.GetBBox();
    }
    m_CalcAccuracy = accuracy;
    VCORE_ASSERT_TEXT(k_Source,
                      m_CalcAccuracy >= base::GetMaxOf_T(b1.GetEpsilon(), b2.GetEpsilon()),
                      "m_CalcAccuracy >= base::GetMaxOf_T (pp1.GetEpsilon(), pp2.GetEpsilon())");
    m_CalcAccuracy = GetWorkingAccuracy(accuracy, b1 | b2);
    GraphBuilder builder(m_CalcAccuracy, true);
    for (const PolygonWithHoles& p : first) {
        builder.AddMember(p.GetPolygon(), &p.GetHoles(), 0);
    }
    for (const PolygonWithHoles& p : second) {
        builder.AddMember(p.GetPolygon(), &p.GetHoles(), 1);
    }
    builder.Build(m_Vertices, m_Edges, m_SourcePieceCount, m_SourceIsClosed);
    MergeCoincidingPairs();
}

PolyArcIntersectionGraph::PolyArcIntersectionGraph(std::span<const Polygon> members,
                                                   Unit accuracy) {
    m_TwoOperands = false;
    Box box;
    for (const Polygon& p : members) {
        VCORE_ASSERT_TEXT(k_Source, !p.GetEdgeTree().empty(), "!edges.empty()");
        box |= p.GetBBox();
    }
    m_CalcAccuracy = accuracy;
    VCORE_ASSERT_TEXT(k_Source, m_CalcAccuracy >= box.GetEpsilon(),
                      "m_CalcAccuracy >= base::GetMaxOf_T (pp1.GetEpsilon(), pp2.GetEpsilon())");
    m_CalcAccuracy = GetWorkingAccuracy(accuracy, box);
    GraphBuilder builder(m_CalcAccuracy, false);
    for (const Polygon& p : members) {
        builder.AddMember(p, nullptr, 0);
    }
    builder.Build(m_Vertices, m_Edges, m_SourcePieceCount, m_SourceIsClosed);
    MergeCoincidingPairs();
}

std::vector<int> PolyArcIntersectionGraph::GetOutgoing(int vertex) const {
    std::vector<int> ret;
    for (int e = 0; e < int(m_Edges.size()); ++e) {
        if (m_Edges[e].m_StartVertex == vertex) {
            ret.push_back(e);
        }
    }
    return ret;
}

std::vector<int> PolyArcIntersectionGraph::GetIncoming(int vertex) const {
    std::vector<int> ret;
    for (int e = 0; e < int(m_Edges.size()); ++e) {
        if (m_Edges[e].m_EndVertex == vertex) {
            ret.push_back(e);
        }
    }
    return ret;
}

namespace {

/// Edge numbers grouped by the pair of vertices they join (either way round).
std::vector<int> GroupByVertexPair(const std::vector<PolyArcIntersectionGraph::Edge>& edges) {
    std::vector<int> order(edges.size());
    std::iota(order.begin(), order.end(), 0);
    const auto key = [&](int e) {
        const int a = edges[e].m_StartVertex;
        const int b = edges[e].m_EndVertex;
        return std::pair(std::min(a, b), std::max(a, b));
    };
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const auto ka = key(a);
        const auto kb = key(b);
        return ka != kb ? ka < kb : a < b;
    });
    return order;
}

template <class Visit>
void ForEachGroup(const std::vector<PolyArcIntersectionGraph::Edge>& edges,
                  const std::vector<int>& order, Visit visit) {
    const auto same = [&](int a, int b) {
        const auto& ea = edges[a];
        const auto& eb = edges[b];
        return std::min(ea.m_StartVertex, ea.m_EndVertex)
                   == std::min(eb.m_StartVertex, eb.m_EndVertex)
               && std::max(ea.m_StartVertex, ea.m_EndVertex)
                      == std::max(eb.m_StartVertex, eb.m_EndVertex);
    };
    for (size_t b = 0; b < order.size();) {
        size_t e = b + 1;
        while (e < order.size() && same(order[b], order[e])) {
            ++e;
        }
        if (e - b > 1) {
            visit(order.begin() + b, order.begin() + e);
        }
        b = e;
    }
}

}  // namespace

void PolyArcIntersectionGraph::MergeCoincidingPairs() {
    // Edges that join the same two vertices and coincide within the accuracy are given
    // one identical arc (the one halfway between the first two), so that reading the
    // loops can compare them exactly.
    const double acc = m_CalcAccuracy;
    const std::vector<int> order = GroupByVertexPair(m_Edges);
    ForEachGroup(m_Edges, order, [&](auto first, auto last) {
        struct Class {
            int m_First;
            int m_Second = -1;
            std::vector<std::pair<int, bool>> m_Members;  // (edge, runs the way of the first)
        };
        std::vector<Class> classes;
        for (auto it = first; it != last; ++it) {
            const Edge& e = m_Edges[*it];
            bool placed = false;
            for (Class& c : classes) {
                const Edge& r = m_Edges[c.m_First];
                const bool same = e.m_StartVertex == r.m_StartVertex
                                  && e.m_EndVertex == r.m_EndVertex
                                  && e.m_Arc.IsEqualTo(r.m_Arc, acc);
                const bool opposite = !same && e.m_StartVertex == r.m_EndVertex
                                      && e.m_EndVertex == r.m_StartVertex
                                      && e.m_Arc.IsEqualTo(r.m_Arc.GetReversed(), acc);
                if (same || opposite) {
                    if (e.m_Owner != r.m_Owner) {
                        VCORE_ASSERT_TEXT(
                            k_Source,
                            e.m_InsideOther == k_CommonEdge && r.m_InsideOther == k_CommonEdge,
                            "e1.m_InsideOther == k_CommonEdge && e2.m_InsideOther "
                            "== k_CommonEdge");
                    }
                    if (c.m_Second < 0) {
                        c.m_Second = *it;
                    }
                    c.m_Members.emplace_back(*it, same);
                    placed = true;
                    break;
                }
            }
            if (!placed) {
                classes.push_back({*it, -1, {}});
            }
        }
        for (const Class& c : classes) {
            if (c.m_Second < 0) {
                continue;
            }
            const Arc& r = m_Edges[c.m_First].m_Arc;
            const bool second_same = c.m_Members.front().second;
            const Arc& s = m_Edges[c.m_Second].m_Arc;
            const Arc halfway = Arc::Interpolate_G(r, second_same ? s : s.GetReversed(), 0.5);
            m_Edges[c.m_First].m_Arc = halfway;
            for (const auto& [edge, same] : c.m_Members) {
                m_Edges[edge].m_Arc = same ? halfway : halfway.GetReversed();
            }
        }
    });
}

std::vector<signed char> PolyArcIntersectionGraph::SelectEdges(int code) const {
    VCORE_ASSERT_TEXT(k_Source, code >= 0 && code <= 3, "code >= 0 && code <= 3");
    const auto op = [code](bool p, bool q) {
        switch (code) {
        case k_Union:
            return p || q;
        case k_Intersection:
            return p && q;
        case k_ExclusiveOr:
            return p != q;
        case k_Difference:
            return p && !q;
        default:
            return false;
        }
    };
    std::vector<signed char> travel(m_Edges.size(), 0);
    for (size_t i = 0; i < m_Edges.size(); ++i) {
        const Edge& e = m_Edges[i];
        if (!m_TwoOperands) {
            travel[i] = 1;
            continue;
        }
        // Every edge has its own operand on its left only.
        const bool own_first = e.m_Owner == 0;
        const bool left = own_first ? op(true, e.m_OtherOnLeft) : op(e.m_OtherOnLeft, true);
        const bool right = own_first ? op(false, e.m_OtherOnRight) : op(e.m_OtherOnRight, false);
        travel[i] = left == right ? 0 : (left ? 1 : -1);
    }
    return travel;
}

void PolyArcIntersectionGraph::CancelCoincidingEdges(std::vector<signed char>& travel) {
    // Of equal edges travelled the same way one is kept; equal edges travelled opposite
    // ways bound nothing and both go.
    const auto travelled = [&](int e) {
        return travel[e] > 0 ? m_Edges[e].m_Arc : m_Edges[e].m_Arc.GetReversed();
    };
    const std::vector<int> order = GroupByVertexPair(m_Edges);
    ForEachGroup(m_Edges, order, [&](auto first, auto last) {
        for (auto a = first; a != last; ++a) {
            for (auto b = a + 1; b != last && travel[*a] != 0; ++b) {
                if (travel[*b] == 0) {
                    continue;
                }
                const Arc ta = travelled(*a);
                const Arc tb = travelled(*b);
                if (ta == tb) {
                    travel[*b] = 0;
                    m_Edges[*b].m_Visited = true;
                } else if (ta == tb.GetReversed()) {
                    travel[*a] = 0;
                    travel[*b] = 0;
                    m_Edges[*a].m_Visited = true;
                    m_Edges[*b].m_Visited = true;
                }
            }
        }
    });
}

namespace {

/// A result loop as the graph edges it follows.
struct EdgeLoop {
    std::vector<int> m_Edges;
};

/// Pairs the edges arriving at a vertex with those leaving it so that each loop keeps to
/// one side: going round the vertex counter-clockwise, the region a loop bounds lies
/// clockwise of the edge it arrives by, up to the edge it leaves by. So each arriving
/// edge takes the nearest free leaving edge clockwise of it.
void PairAtVertex(const std::vector<int>& leaving, const std::vector<int>& arriving,
                  const std::vector<Arc>& arcs, std::vector<int>& next) {
    struct End {
        double m_Angle;
        double m_Curvature;
        bool m_Arriving;
        int m_Edge;
    };
    std::vector<End> ends;
    double shortest = -1;
    for (const std::vector<int>* list : {&leaving, &arriving}) {
        for (const int e : *list) {
            const double l = arcs[e].GetLength();
            if (shortest < 0 || l < shortest) {
                shortest = l;
            }
        }
    }
    // Each edge is seen from the vertex through its point a short way along it, so that
    // edges leaving along one tangent are ordered by how they curve.
    const auto add = [&](int e, bool arriving_end) {
        const Arc& a = arcs[e];
        const double length = a.GetLength();
        const double rate = length > 0 ? std::min(0.5, 1e-3 * shortest / length) : 0.0;
        const Point& at = arriving_end ? a.GetEnd() : a.GetStart();
        Vector d = a.GetPointAtRate(arriving_end ? 1 - rate : rate) - at;
        if (d.IsNull()) {
            d = arriving_end ? -a.GetEndTangent() : a.GetStartTangent();
        }
        const double curvature = GetLeavingCurvature(arriving_end ? a.GetReversed() : a);
        ends.push_back({std::atan2(d.GetDy(), d.GetDx()), curvature, arriving_end, e});
    };
    for (const int e : leaving) {
        add(e, false);
    }
    for (const int e : arriving) {
        add(e, true);
    }
    std::sort(ends.begin(), ends.end(), [](const End& a, const End& b) {
        if (const int c = base::CompareTotal_G(a.m_Angle, b.m_Angle)) {
            return c < 0;
        }
        if (const int c = base::CompareTotal_G(a.m_Curvature, b.m_Curvature)) {
            return c < 0;
        }
        if (a.m_Arriving != b.m_Arriving) {
            return !a.m_Arriving;
        }
        return a.m_Edge < b.m_Edge;
    });
    std::vector<int> stack;
    std::vector<char> paired(ends.size(), 0);
    for (int lap = 0; lap < 2; ++lap) {
        for (size_t k = 0; k < ends.size(); ++k) {
            const End& e = ends[k];
            if (!e.m_Arriving) {
                if (lap == 0) {
                    stack.push_back(e.m_Edge);
                }
            } else if (!paired[k] && !stack.empty()) {
                paired[k] = 1;
                next[e.m_Edge] = stack.back();
                stack.pop_back();
            }
        }
    }
}

}  // namespace

std::vector<PolyArcIntersectionGraph::Loop> PolyArcIntersectionGraph::ReadLoops(int code) {
    for (Edge& e : m_Edges) {
        e.m_Visited = false;
    }
    std::vector<signed char> travel = SelectEdges(code);
    for (size_t e = 0; e < m_Edges.size(); ++e) {
        m_Edges[e].m_Visited = travel[e] == 0;  // out of the result
    }
    CancelCoincidingEdges(travel);
    const int n = int(m_Edges.size());
    std::vector<Arc> arcs(n);
    std::vector<int> out_start(m_Vertices.size() + 1, 0);
    std::vector<int> in_start(m_Vertices.size() + 1, 0);
    std::vector<int> from(n, -1);
    std::vector<int> to(n, -1);
    for (int e = 0; e < n; ++e) {
        if (travel[e] == 0) {
            continue;
        }
        const Edge& edge = m_Edges[e];
        arcs[e] = travel[e] > 0 ? edge.m_Arc : edge.m_Arc.GetReversed();
        from[e] = travel[e] > 0 ? edge.m_StartVertex : edge.m_EndVertex;
        to[e] = travel[e] > 0 ? edge.m_EndVertex : edge.m_StartVertex;
        ++out_start[from[e] + 1];
        ++in_start[to[e] + 1];
    }
    std::partial_sum(out_start.begin(), out_start.end(), out_start.begin());
    std::partial_sum(in_start.begin(), in_start.end(), in_start.begin());
    std::vector<int> outs(out_start.back());
    std::vector<int> ins(in_start.back());
    {
        std::vector<int> fill_out(out_start.begin(), out_start.end() - 1);
        std::vector<int> fill_in(in_start.begin(), in_start.end() - 1);
        for (int e = 0; e < n; ++e) {
            if (travel[e] != 0) {
                outs[fill_out[from[e]]++] = e;
                ins[fill_in[to[e]]++] = e;
            }
        }
    }
    std::vector<int> next(n, -1);
    std::vector<int> leaving;
    std::vector<int> arriving;
    for (int v = 0; v < int(m_Vertices.size()); ++v) {
        const int no = out_start[v + 1] - out_start[v];
        const int ni = in_start[v + 1] - in_start[v];
        if (no == 1 && ni == 1) {
            next[ins[in_start[v]]] = outs[out_start[v]];
        } else if (no > 0 && ni > 0) {
            leaving.assign(outs.begin() + out_start[v], outs.begin() + out_start[v + 1]);
            arriving.assign(ins.begin() + in_start[v], ins.begin() + in_start[v + 1]);
            PairAtVertex(leaving, arriving, arcs, next);
        }
    }

    // Follow the pairing from every unvisited edge. Whenever a walk comes back to a vertex
    // it has passed, the part since then is a loop of its own, so loops that touch at a
    // vertex are kept apart and every loop is simple.
    std::vector<EdgeLoop> loops;
    std::vector<int> position(m_Vertices.size(), -1);
    std::vector<int> cycle;
    std::vector<int> path;
    for (int start = 0; start < n; ++start) {
        if (travel[start] == 0 || m_Edges[start].m_Visited) {
            continue;
        }
        cycle.clear();
        bool closed = false;
        for (int e = start; e >= 0 && !m_Edges[e].m_Visited; e = next[e]) {
            m_Edges[e].m_Visited = true;
            cycle.push_back(e);
            if (next[e] == start) {
                closed = true;
            }
        }
        if (!closed) {
            VCORE_ASSERT_TEXT(k_Source,
                              arcs[cycle.front()].GetStart() == arcs[cycle.back()].GetEnd(),
                              "ret.m_Arcs.front().GetStart() == ret.m_Arcs.back().GetEnd()");
            continue;
        }
        path.clear();
        const int first = from[cycle.front()];
        position[first] = 0;
        for (const int e : cycle) {
            path.push_back(e);
            const int v = to[e];
            if (position[v] < 0) {
                position[v] = int(path.size());
                continue;
            }
            const size_t begin = size_t(position[v]);
            EdgeLoop loop;
            loop.m_Edges.assign(path.begin() + std::ptrdiff_t(begin), path.end());
            for (size_t j = begin + 1; j < path.size(); ++j) {
                position[from[path[j]]] = -1;
            }
            path.resize(begin);
            loops.push_back(std::move(loop));
        }
        for (const int e : path) {
            position[from[e]] = -1;
            position[to[e]] = -1;
        }
        position[first] = -1;
    }

    // Consecutive pieces of one operand edge are joined again.
    const auto along_source = [&](int e) { return m_Edges[e].m_AlongSource == (travel[e] > 0); };
    const auto continues = [&](int a, int b) {
        const Edge& ea = m_Edges[a];
        const Edge& eb = m_Edges[b];
        if (ea.m_SourceEdge != eb.m_SourceEdge || along_source(a) != along_source(b)) {
            return false;
        }
        const int count = m_SourcePieceCount[ea.m_SourceEdge];
        const bool wraps = m_SourceIsClosed[ea.m_SourceEdge] != 0;
        if (along_source(a)) {
            return eb.m_Piece == ea.m_Piece + 1
                   || (wraps && ea.m_Piece == count - 1 && eb.m_Piece == 0);
        }
        return eb.m_Piece == ea.m_Piece - 1
               || (wraps && ea.m_Piece == 0 && eb.m_Piece == count - 1);
    };
    std::vector<Loop> ret;
    ret.reserve(loops.size());
    for (const EdgeLoop& loop : loops) {
        const std::vector<int>& es = loop.m_Edges;
        // Start at a piece that does not continue the one before it, if there is one.
        size_t shift = 0;
        while (shift < es.size() && continues(es[(shift + es.size() - 1) % es.size()], es[shift])) {
            ++shift;
        }
        if (shift == es.size()) {
            shift = 0;
        }
        Loop out;
        for (size_t k = 0; k < es.size(); ++k) {
            const int e = es[(k + shift) % es.size()];
            const Arc& arc = arcs[e];
            VCORE_ASSERT_TEXT(k_Source,
                              out.m_Arcs.empty() || out.m_Arcs.back().GetEnd() == arc.GetStart(),
                              "ret.m_Arcs.empty() || ret.m_Arcs.back().GetEnd() == arc.GetStart()");
            if (k > 0 && continues(es[(k + shift - 1) % es.size()], e)) {
                out.m_Arcs.back() = Arc::Merge_G(out.m_Arcs.back(), arc);
            } else {
                out.m_Arcs.push_back(arc);
            }
        }
        VCORE_ASSERT_TEXT(k_Source, IsPolyArcSequence_G(out.m_Arcs, k_Closed),
                          "IsPolyArcSequence_G (ret.m_Arcs, k_Closed)");
        const double area = PolyArc(k_Closed, out.m_Arcs).GetArea();
        const double min_area = m_CalcAccuracy * m_CalcAccuracy;
        if (!(std::fabs(area) >= min_area) || area == 0) {
            continue;
        }
        ret.push_back(std::move(out));
    }
    return ret;
}

PolygonWithHolesCollection PolyArcIntersectionGraph::GetResult(int code) {
    const std::vector<Loop> loops = ReadLoops(code);
    struct Outer {
        Polygon m_Polygon;
        double m_Area;
        std::vector<Polygon> m_Holes;
    };
    std::vector<Outer> outers;
    std::vector<Polygon> holes;
    for (const Loop& loop : loops) {
        const PolyArc boundary(k_Closed, loop.m_Arcs);
        const double area = boundary.GetArea();
        if (area > 0) {
            outers.push_back({Polygon(boundary), area, {}});
        } else {
            holes.push_back(Polygon(boundary.GetReversed()));
        }
    }
    std::vector<IndexedBox> boxes(outers.size());
    for (int i = 0; i < int(outers.size()); ++i) {
        boxes[i] = {i, outers[i].m_Polygon.GetBBox()};
    }
    const BoxIndex index = MakeBoxIndex_G(std::move(boxes));
    const double acc = m_CalcAccuracy;
    // Whether a hole lies inside an outer polygon: the loops do not cross, so the first
    // middle point of a hole edge that is not on the outer boundary decides.
    const auto inside = [&](const Polygon& hole, const Polygon& outer) {
        for (const Arc& a : hole.GetEdgeTree()) {
            const Point m = a.GetMiddlePoint();
            if (!outer.IsOnBoundary(m, acc)) {
                return outer.Contains(m, acc);
            }
        }
        return true;
    };
    std::vector<int> candidates;
    for (const Polygon& hole : holes) {
        const Box hole_box = hole.GetBBox();
        candidates.clear();
        index.VisitMeeting(hole_box, [&](const IndexedBox& x, const Box& box) {
            if (box.GetExpanded(acc).Contains(hole_box)) {
                candidates.push_back(x.m_Id);
            }
            return true;
        });
        std::sort(candidates.begin(), candidates.end(), [&](int a, int b) {
            return outers[a].m_Area != outers[b].m_Area ? outers[a].m_Area < outers[b].m_Area
                                                        : a < b;
        });
        for (const int c : candidates) {
            if (inside(hole, outers[c].m_Polygon)) {
                outers[c].m_Holes.push_back(hole);
                break;
            }
        }
    }
    std::vector<PolygonWithHoles> result;
    result.reserve(outers.size());
    for (const Outer& o : outers) {
        result.emplace_back(o.m_Polygon, PolygonCollection(o.m_Holes));
    }
    return PolygonWithHolesCollection(result);
}

}  // namespace geom
