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
#include "math/geometry/LoopWalk.h"
#include "math/geometry/PointMerger.h"
#include "math/geometry/PolygonCollection.h"

namespace geom {

namespace {

constexpr const char* k_Source = "PolyArcIntersectionGraph";
constexpr double k_Pi = k_Degree_180.GetValue();
constexpr double k_TwoPi = k_Degree_360.GetValue();
/// Tangents whose angle has a sine below this are parallel: coinciding edges agree far
/// better, edges that merely pass close to each other at an angle far worse.
constexpr double k_Parallel = 1e-3;

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
    /// Loops of one group (0 or more) belong to members whose interiors are disjoint: they
    /// are neither searched for crossings with each other nor located against each other.
    int m_Group = -1;
    double m_Area = 0;     ///< signed, in graph orientation
    bool m_Meets = false;  ///< its boundary meets another loop's or itself
};

struct SourceEdge {
    Arc m_Arc;
    int m_Loop = 0;
    bool m_FirstOfLoop = false;
    bool m_LastOfLoop = false;
};

/// The arc from a to b on a circle of radius r that turns the given way through about
/// `sweep` (below a whole turn). Pieces of an edge are made this way rather than from
/// their ends' positions alone, since their ends lie on the edge's circle only within the
/// accuracy. The height follows from the radius for arcs of up to a quarter turn or of at
/// least three, and from the sweep in between: near a half turn the radius leaves it
/// ill-conditioned (a change e in the chord moves it by about sqrt(r e)), near a whole
/// turn the sweep does (through the tangent of a quarter of it).
Arc GetArcOnCircle(const Point& a, const Point& b, double r, bool clockwise, double sweep) {
    const double half = a.GetDistanceTo(b) * 0.5;
    double h = 0;
    if (sweep <= k_Pi / 2 || sweep >= 3 * k_Pi / 2) {
        const double c = base::GetMinOf_T(half, r);
        const double d = std::sqrt(base::GetMaxOf_T(0.0, (r - c) * (r + c)));
        h = sweep > k_Pi ? r + d : (r + d > 0 ? c * c / (r + d) : 0.0);
    } else {
        h = half * std::tan(sweep * 0.25);
    }
    if (!(h > 0)) {
        h = 0;
    }
    return Arc(a, b, clockwise ? h : -h);
}

/// Whether an arc sweeps more than half a turn over a chord below a thousandth of its
/// radius: its circle then follows its ends' placing a thousandfold (a cut lying off the
/// circle within the accuracy tilts the chord, and the far side of the circle swings).
bool IsIllConditioned(const Arc& a, double radius) {
    return a.GetHeight() != 0 && !(a.GetStart() == a.GetEnd()) && a.IsBig()
           && a.GetStart().GetDistanceTo(a.GetEnd()) < 1e-3 * radius;
}

/// A position along an edge that grows monotonically from its start to its end and stays
/// well conditioned near both ends: the projection onto the chord for a segment or an arc
/// of at most a quarter turn, the angle turned about the centre (as a fraction of the
/// sweep) for longer arcs.
class EdgePosition {
public:
    explicit EdgePosition(const Arc& a) : m_Start(a.GetStart()) {
        const double h = a.GetHeight();
        m_Sweep = std::fabs(a.GetSweepAngle().GetValue());
        m_ByAngle = h != 0 && (a.GetStart() == a.GetEnd() || m_Sweep > k_Pi / 2);
        if (m_ByAngle) {
            m_Centre = a.GetCircumference().GetCentre();
            m_Radial = m_Start - m_Centre;
            m_Clockwise = h > 0;
        } else {
            m_Chord = a.GetEnd() - a.GetStart();
            m_LengthSquare = m_Chord.GetLengthSquare();
        }
    }
    double Of(const Point& p) const {
        if (!m_ByAngle) {
            return m_LengthSquare > 0 ? (p - m_Start).Dot(m_Chord) / m_LengthSquare : 0.0;
        }
        const Vector v = p - m_Centre;
        double angle = std::atan2(m_Radial.Cross(v), m_Radial.Dot(v));
        if (m_Clockwise) {
            angle = -angle;
        }
        if (angle < 0) {
            angle += k_TwoPi;
        }
        if (angle > m_Sweep && k_TwoPi - angle < angle - m_Sweep) {
            angle = 0;  // just before the start
        }
        return m_Sweep > 0 ? angle / m_Sweep : 0.0;
    }
    /// The sweep between two positions.
    double GetSweepBetween(double from, double to) const {
        return m_ByAngle ? (to - from) * m_Sweep : base::GetMinOf_T(m_Sweep, (to - from) * m_Sweep);
    }

private:
    Point m_Start;
    double m_Sweep = 0;
    bool m_ByAngle = false;
    Point m_Centre;
    Vector m_Radial;
    bool m_Clockwise = false;
    Vector m_Chord;
    double m_LengthSquare = 0;
};

/// The radius of an edge's circle; 0 for a segment.
double GetRadiusOf(const Arc& a) {
    return a.GetHeight() == 0 ? 0.0 : double(a.GetCircumference().GetRadius());
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

    /// Adds a member (an outer polygon and its holes) of an operand, in a group of members
    /// with disjoint interiors (or in none, -1).
    void AddMember(const Polygon& outer, const PolygonCollection* holes, int operand,
                   int group = -1);
    void Build(std::vector<PolyArcIntersectionGraph::Vertex>& vertices,
               std::vector<PolyArcIntersectionGraph::Edge>& edges,
               std::vector<PolyArcIntersectionGraph::WholeLoop>& whole,
               std::vector<int>& piece_count, std::vector<char>& closed);

private:
    /// The two edges whose crossing a computed point is.
    struct Meeting {
        int m_First;
        int m_Second;
    };
    /// Where a piece lies among the loops other than its own.
    struct Location {
        std::vector<int> m_Inside;                  ///< loops whose region contains it
        std::vector<std::pair<int, bool>> m_Along;  ///< loops running along it (the same way?)
        /// Whether m_Inside holds every loop containing the piece (no loop runs along it),
        /// so that it can be carried over to the next piece.
        bool m_Complete = false;
    };
    struct MemberSides {
        int m_Member;
        int m_Operand;
        int m_Left;
        int m_Right;
    };

    bool AddLoop(const PolyArc& stored, int member, int operand, int sign, int group);
    /// Whether two loops belong to different members of one group, whose interiors are
    /// disjoint.
    bool IsSameGroup(int loop, int other) const {
        const SourceLoop& a = m_Loops[loop];
        const SourceLoop& b = m_Loops[other];
        return a.m_Group >= 0 && a.m_Group == b.m_Group && a.m_Member != b.m_Member;
    }
    void FindMeetings();
    void AddMeeting(int i, int j, const Point& p);
    void MergePoints();
    void CollectSplits();
    void FindTouchingLoops();
    bool Touches(int loop, int other) const;
    void SplitAndClassify(std::vector<PolyArcIntersectionGraph::Edge>& out,
                          std::vector<PolyArcIntersectionGraph::WholeLoop>& whole,
                          std::vector<int>& piece_count, std::vector<char>& closed);
    /// The edge with its ends moved onto their vertices, and the vertices it is cut at.
    Arc MoveEdge(int e, std::vector<int>& ends) const;
    /// Locates a piece of edge e from vertex `start` to vertex `end` (-1 for none).
    void Locate(const Arc& piece, int e, int start, int end, Location& where);
    /// Whether a vertex lies on an edge of the loop: at an end or where it is cut.
    bool IsVertexOfLoop(int vertex, int loop) const;
    bool CarryOver(int e, int vertex, Location& where) const;
    /// Which operands cover the two sides of a piece: [own or other][left or right].
    void GetCoverage(int e, const Location& where, bool covered[2][2], bool* touched);
    void Emit(const Arc& piece, int e, int k, int start, int end, const bool covered[2][2],
              bool touched, std::vector<PolyArcIntersectionGraph::Edge>& out) const;
    bool IsInsideCached(int loop, int piece_loop, const Point& p);
    /// The direction of the loop's boundary at its point nearest to p (within the
    /// accuracy); false when no edge is that near.
    bool GetTangentNear(const SourceLoop& loop, const Point& p, Vector* tangent) const;

    double m_Accuracy;
    bool m_TwoOperands;
    int m_MemberCount = 0;
    std::vector<SourceLoop> m_Loops;
    std::vector<SourceEdge> m_Edges;
    PointMerger m_Points;
    int m_FirstComputed = 0;                       ///< points from here on are computed crossings
    std::vector<Meeting> m_Meetings;               ///< by computed point
    std::vector<std::pair<int, int>> m_Splits;     ///< (edge, point) where an edge is cut
    std::vector<std::pair<int, int>> m_Overlaps;   ///< edges that share a common piece
    std::vector<std::pair<int, int>> m_LoopPairs;  ///< loops whose boundaries meet
    BoxIndex m_EdgeIndex;
    BoxIndex m_LoopIndex;
    std::vector<int> m_VertexOfPoint;
    std::vector<Point> m_Locations;
    /// By vertex: the meeting when the vertex is a single computed crossing, else -1.
    std::vector<int> m_SimpleMeeting;
    /// By vertex: how many edges pass through it or end there (an edge closing on itself
    /// counts twice).
    std::vector<int> m_Incidence;
    std::vector<int> m_InteriorStart;  ///< by edge, into m_Interior
    std::vector<int> m_Interior;       ///< vertices inside each edge, in order along it
    std::vector<int> m_TouchStart;     ///< by loop, into m_Touch
    std::vector<int> m_Touch;          ///< loops whose boundary meets each loop's, sorted
    // Per loop being classified: the loops that do not touch it, and whether it lies in them.
    int m_CachedLoop = -1;
    std::vector<std::pair<int, bool>> m_Cache;
    std::vector<int> m_Candidates;
    std::vector<MemberSides> m_Sides;
};

bool GraphBuilder::AddLoop(const PolyArc& stored, int member, int operand, int sign, int group) {
    if (stored.IsEmpty()) {
        return false;
    }
    std::vector<Arc> arcs = stored.GetEdges();
    VCORE_ASSERT(k_Source, IsPolyArcSequence_G(arcs, k_Closed));
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
    loop.m_Group = group;
    loop.m_Area = (area > 0) == (sign > 0) ? area : -area;
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
    }
    if (m_Edges.size() > first) {
        m_Edges[first].m_FirstOfLoop = true;
        m_Edges.back().m_LastOfLoop = true;
    }
    m_Loops.push_back(std::move(loop));
    return true;
}

void GraphBuilder::AddMember(const Polygon& outer, const PolygonCollection* holes, int operand,
                             int group) {
    if (!AddLoop(outer, m_MemberCount, operand, 1, group)) {
        return;
    }
    if (holes) {
        for (const Polygon& hole : holes->GetTree()) {
            AddLoop(hole, m_MemberCount, operand, -1, group);
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
        m_Meetings.push_back({i, j});
    }
    m_Splits.emplace_back(i, id);
    m_Splits.emplace_back(j, id);
}

void GraphBuilder::FindMeetings() {
    // Every edge's ends are points 2 e and 2 e + 1; computed crossings follow.
    for (const SourceEdge& e : m_Edges) {
        m_Points.Add(e.m_Arc.GetStart());
        m_Points.Add(e.m_Arc.GetEnd());
    }
    m_FirstComputed = m_Points.GetCount();
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
            if (IsSameGroup(ei.m_Loop, ej.m_Loop)) {
                return true;
            }
            const EdgeIntersections meetings = Arc::Intersect_G(ei.m_Arc, ej.m_Arc, acc);
            if (meetings.empty()) {
                return true;
            }
            m_Loops[ei.m_Loop].m_Meets = true;
            m_Loops[ej.m_Loop].m_Meets = true;
            if (ei.m_Loop != ej.m_Loop) {
                m_LoopPairs.emplace_back(ei.m_Loop, ej.m_Loop);
            }
            for (const EdgeIntersection& m : meetings) {
                if (m.IsPoint()) {
                    AddMeeting(i, j, m.GetPoint());
                    continue;
                }
                AddMeeting(i, j, m.m_Value.GetStart());
                AddMeeting(i, j, m.m_Value.GetEnd());
                m_Overlaps.emplace_back(i, j);
                // The ends of either edge that lie on the common piece cut the other, so
                // that both are cut at the same places (whole circles at their starts).
                for (const int end : {2 * i, 2 * i + 1}) {
                    if (ej.m_Arc.GetDistanceTo(m_Points.GetPoint(end)) <= acc) {
                        m_Splits.emplace_back(j, end);
                    }
                }
                for (const int end : {2 * j, 2 * j + 1}) {
                    if (ei.m_Arc.GetDistanceTo(m_Points.GetPoint(end)) <= acc) {
                        m_Splits.emplace_back(i, end);
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
    std::vector<int> size;
    for (int p = 0; p < n; ++p) {
        const int root = m_Points.Find(p);
        if (m_VertexOfPoint[root] < 0) {
            m_VertexOfPoint[root] = int(m_Locations.size());
            m_Locations.push_back(m_Points.GetPoint(root));
            m_SimpleMeeting.push_back(-1);
            size.push_back(0);
        }
        const int v = m_VertexOfPoint[root];
        m_VertexOfPoint[p] = v;
        ++size[v];
        if (p >= m_FirstComputed) {
            m_SimpleMeeting[v] = p - m_FirstComputed;
        }
    }
    for (size_t v = 0; v < size.size(); ++v) {
        if (size[v] != 1) {
            m_SimpleMeeting[v] = -1;
        }
    }
}

void GraphBuilder::CollectSplits() {
    const int edge_count = int(m_Edges.size());
    const auto from = [&](int e) { return m_VertexOfPoint[2 * e]; };
    const auto to = [&](int e) { return m_VertexOfPoint[2 * e + 1]; };
    // The vertices inside each edge, grouped by edge.
    std::vector<std::pair<int, int>> cuts;  // (edge, vertex)
    cuts.reserve(m_Splits.size());
    for (const auto& [e, p] : m_Splits) {
        const int v = m_VertexOfPoint[p];
        if (v != from(e) && v != to(e)) {
            cuts.emplace_back(e, v);
        }
    }
    m_Splits.clear();
    m_Splits.shrink_to_fit();
    const auto group = [&]() {
        m_InteriorStart.assign(edge_count + 1, 0);
        for (const auto& c : cuts) {
            ++m_InteriorStart[c.first + 1];
        }
        std::partial_sum(m_InteriorStart.begin(), m_InteriorStart.end(), m_InteriorStart.begin());
        m_Interior.assign(cuts.size(), 0);
        std::vector<int> fill(m_InteriorStart.begin(), m_InteriorStart.end() - 1);
        for (const auto& c : cuts) {
            m_Interior[fill[c.first]++] = c.second;
        }
    };
    group();
    // Edges that overlap are cut alike: a crossing computed for one of them lies on the
    // other too, even where it was computed for the other a little apart.
    const size_t before = cuts.size();
    for (const auto& [i, j] : m_Overlaps) {
        for (const auto& [a, b] : {std::pair(i, j), std::pair(j, i)}) {
            for (int k = m_InteriorStart[a]; k < m_InteriorStart[a + 1]; ++k) {
                const int v = m_Interior[k];
                if (v != from(b) && v != to(b)
                    && m_Edges[b].m_Arc.GetDistanceTo(m_Locations[v]) <= m_Accuracy) {
                    cuts.emplace_back(b, v);
                }
            }
        }
    }
    m_Overlaps.clear();
    m_Overlaps.shrink_to_fit();
    if (cuts.size() > before) {
        group();
    }
    cuts.clear();
    cuts.shrink_to_fit();
    // In order along each edge, once each.
    std::vector<std::pair<double, int>> along;
    std::vector<int> ordered;
    ordered.reserve(m_Interior.size());
    std::vector<int> start(edge_count + 1, 0);
    for (int e = 0; e < edge_count; ++e) {
        start[e] = int(ordered.size());
        along.clear();
        if (m_InteriorStart[e + 1] > m_InteriorStart[e]) {
            const EdgePosition position(m_Edges[e].m_Arc);
            for (int k = m_InteriorStart[e]; k < m_InteriorStart[e + 1]; ++k) {
                const int v = m_Interior[k];
                along.emplace_back(position.Of(m_Locations[v]), v);
            }
        }
        std::sort(along.begin(), along.end(), [](const auto& a, const auto& b) {
            if (const int c = base::CompareTotal_G(a.first, b.first)) {
                return c < 0;
            }
            return a.second < b.second;
        });
        for (size_t k = 0; k < along.size(); ++k) {
            if (k == 0 || along[k].second != along[k - 1].second) {
                ordered.push_back(along[k].second);
            }
        }
    }
    start[edge_count] = int(ordered.size());
    m_InteriorStart = std::move(start);
    m_Interior = std::move(ordered);
    m_Incidence.assign(m_Locations.size(), 0);
    for (int e = 0; e < edge_count; ++e) {
        ++m_Incidence[from(e)];
        ++m_Incidence[to(e)];
    }
    for (const int v : m_Interior) {
        ++m_Incidence[v];
    }
}

void GraphBuilder::FindTouchingLoops() {
    // A piece is located afresh against the loops whose boundary meets its own loop's;
    // against any other loop, the whole of its loop lies inside or outside, and one
    // location serves all its pieces.
    const size_t n = m_LoopPairs.size();
    m_LoopPairs.reserve(2 * n);
    for (size_t k = 0; k < n; ++k) {
        m_LoopPairs.emplace_back(m_LoopPairs[k].second, m_LoopPairs[k].first);
    }
    std::sort(m_LoopPairs.begin(), m_LoopPairs.end());
    m_LoopPairs.erase(std::unique(m_LoopPairs.begin(), m_LoopPairs.end()), m_LoopPairs.end());
    m_TouchStart.assign(m_Loops.size() + 1, 0);
    m_Touch.resize(m_LoopPairs.size());
    size_t k = 0;
    for (int l = 0; l < int(m_Loops.size()); ++l) {
        m_TouchStart[l] = int(k);
        for (; k < m_LoopPairs.size() && m_LoopPairs[k].first == l; ++k) {
            m_Touch[k] = m_LoopPairs[k].second;
        }
    }
    m_TouchStart[m_Loops.size()] = int(k);
    m_LoopPairs.clear();
    m_LoopPairs.shrink_to_fit();
}

bool GraphBuilder::Touches(int loop, int other) const {
    const auto first = m_Touch.begin() + m_TouchStart[loop];
    const auto last = m_Touch.begin() + m_TouchStart[loop + 1];
    return std::binary_search(first, last, other);
}

Arc GraphBuilder::MoveEdge(int e, std::vector<int>& ends) const {
    const Arc& a = m_Edges[e].m_Arc;
    const int from = m_VertexOfPoint[2 * e];
    const int to = m_VertexOfPoint[2 * e + 1];
    const Point& p0 = m_Locations[from];
    ends.clear();
    ends.push_back(from);
    ends.insert(ends.end(), m_Interior.begin() + m_InteriorStart[e],
                m_Interior.begin() + m_InteriorStart[e + 1]);
    ends.push_back(to);
    // A whole circle whose start meets nothing else starts where it is first cut instead:
    // a cut just after an arbitrary start would leave a nearly whole piece over a tiny
    // chord, whose circle a cut lying off it within the accuracy tilts far.
    if (from == to && ends.size() > 2 && a.GetStart() == a.GetEnd() && a.GetHeight() != 0
        && m_Incidence[from] == 2) {
        const Point centre = a.GetCircumference().GetCentre();
        const Point& p1 = m_Locations[ends[1]];
        if (!(centre == p1)) {
            ends.erase(ends.begin());
            ends.back() = ends.front();
            return Arc(p1, p1, a.GetHeight(), Azimuth(centre - p1));
        }
    }
    // An arc whose ends became one vertex is the whole circle.
    if (from == to && !(a.GetStart() == a.GetEnd()) && a.GetHeight() != 0) {
        const Point centre = a.GetCircumference().GetCentre();
        if (!(centre == p0)) {
            return Arc(p0, p0, a.GetHeight(), Azimuth(centre - p0));
        }
    }
    // Moving the ends by at most the accuracy with the height kept moves the curve by
    // about as much.
    return Arc(p0, m_Locations[to], a.GetHeight(), a.GetDirection());
}

namespace {

/// Piece k of an edge cut at the vertices `ends`: the part of the (moved) edge between
/// two of its vertices, on the edge's circle.
Arc MakePiece(const Arc& moved, const EdgePosition& position, double radius,
              const std::vector<Point>& locations, const std::vector<int>& ends, int k) {
    const int last = int(ends.size()) - 2;
    if (last == 0) {
        return moved;
    }
    const Point& a = locations[ends[k]];
    const Point& b = locations[ends[k + 1]];
    if (moved.GetHeight() == 0 || a == b) {
        return Arc(a, b);
    }
    const double from = k == 0 ? 0.0 : position.Of(a);
    const double to = k == last ? 1.0 : position.Of(b);
    return GetArcOnCircle(a, b, radius, moved.GetHeight() > 0,
                          base::GetMaxOf_T(0.0, position.GetSweepBetween(from, to)));
}

}  // namespace

bool GraphBuilder::GetTangentNear(const SourceLoop& loop, const Point& p, Vector* tangent) const {
    double best = -1;
    loop.m_Boundary.GetEdgeTree().VisitMeeting(GetQueryBox_G(p, m_Accuracy),
                                               [&](const Arc& a, const Box&) {
                                                   const Point q = a.GetClosestPointTo(p);
                                                   const double d = q.GetDistanceTo(p);
                                                   if (best < 0 || d < best) {
                                                       best = d;
                                                       *tangent = GetTangentAt(a, q);
                                                   }
                                                   return true;
                                               });
    return best >= 0;
}

bool GraphBuilder::IsInsideCached(int loop, int piece_loop, const Point& p) {
    if (m_CachedLoop != piece_loop) {
        m_CachedLoop = piece_loop;
        m_Cache.clear();
    }
    const auto it = std::find_if(m_Cache.begin(), m_Cache.end(),
                                 [&](const std::pair<int, bool>& c) { return c.first == loop; });
    if (it != m_Cache.end()) {
        return it->second;
    }
    const bool inside = m_Loops[loop].m_Boundary.Contains(p, 0);
    m_Cache.emplace_back(loop, inside);
    return inside;
}

bool GraphBuilder::IsVertexOfLoop(int vertex, int loop) const {
    return !m_EdgeIndex.VisitMeeting(
        GetQueryBox_G(m_Locations[vertex], m_Accuracy), [&](const IndexedBox& x, const Box&) {
            const int e = x.m_Id;
            if (m_Edges[e].m_Loop != loop) {
                return true;
            }
            if (m_VertexOfPoint[2 * e] == vertex || m_VertexOfPoint[2 * e + 1] == vertex) {
                return false;
            }
            const auto first = m_Interior.begin() + m_InteriorStart[e];
            const auto last = m_Interior.begin() + m_InteriorStart[e + 1];
            return std::find(first, last, vertex) == last;
        });
}

void GraphBuilder::Locate(const Arc& piece, int e, int start, int end, Location& where) {
    const int own_loop = m_Edges[e].m_Loop;
    const Point middle = piece.GetMiddlePoint();
    // The tangent at the middle of an arc is parallel to its chord.
    const Vector tangent = piece.GetStart() == piece.GetEnd() ? -piece.GetStartTangent()
                                                              : piece.GetEnd() - piece.GetStart();
    where.m_Inside.clear();
    where.m_Along.clear();
    m_Candidates.clear();
    m_LoopIndex.VisitMeeting(GetQueryBox_G(middle, m_Accuracy),
                             [&](const IndexedBox& x, const Box&) {
                                 if (x.m_Id != own_loop && !IsSameGroup(own_loop, x.m_Id)) {
                                     m_Candidates.push_back(x.m_Id);
                                 }
                                 return true;
                             });
    for (const int loop : m_Candidates) {
        const Polygon& boundary = m_Loops[loop].m_Boundary;
        if (!Touches(own_loop, loop)) {
            if (IsInsideCached(loop, own_loop, middle)) {
                where.m_Inside.push_back(loop);
            }
            continue;
        }
        if (!boundary.IsOnBoundary(middle, m_Accuracy)) {
            if (boundary.Contains(middle, m_Accuracy)) {
                where.m_Inside.push_back(loop);
            }
            continue;
        }
        // The boundary runs along the piece only where the two share the piece's end
        // vertices and the boundary passes through its middle in the same or the opposite
        // direction: edges that coincide are cut alike. An arc and a segment tangent to it
        // stay within the accuracy of each other over a length of about sqrt(2 r
        // accuracy) without coinciding; there the exact side decides.
        Vector direction;
        if (start >= 0 && end >= 0 && IsVertexOfLoop(start, loop) && IsVertexOfLoop(end, loop)
            && GetTangentNear(m_Loops[loop], middle, &direction)
            && std::fabs(direction.Cross(tangent))
                   <= k_Parallel * direction.GetLength() * tangent.GetLength()) {
            where.m_Along.emplace_back(loop, direction.Dot(tangent) > 0);
        } else if (boundary.Contains(middle, 0)) {
            where.m_Inside.push_back(loop);
        }
    }
    where.m_Complete = where.m_Along.empty();
}

bool GraphBuilder::CarryOver(int e, int vertex, Location& where) const {
    // Past a vertex where exactly one other edge crosses this one, only that edge's loop
    // changes sides: the next piece is inside it when the last one was not, and the other
    // way round. Anything else there (several edges, an end, a touch, a common piece)
    // needs the next piece located afresh.
    if (!where.m_Complete) {
        return false;
    }
    const int meeting = m_SimpleMeeting[vertex];
    if (meeting < 0 || m_Incidence[vertex] != 2) {
        return false;
    }
    const Meeting& m = m_Meetings[meeting];
    const int other = m.m_First == e ? m.m_Second : (m.m_Second == e ? m.m_First : -1);
    if (other < 0 || m_Edges[other].m_Loop == m_Edges[e].m_Loop) {
        return false;
    }
    const Point& p = m_Locations[vertex];
    const Vector t1 = GetTangentAt(m_Edges[e].m_Arc, p);
    const Vector t2 = GetTangentAt(m_Edges[other].m_Arc, p);
    if (!(std::fabs(t1.Cross(t2)) > k_Parallel * t1.GetLength() * t2.GetLength())) {
        return false;
    }
    const int loop = m_Edges[other].m_Loop;
    const auto it = std::find(where.m_Inside.begin(), where.m_Inside.end(), loop);
    if (it != where.m_Inside.end()) {
        where.m_Inside.erase(it);
    } else {
        where.m_Inside.push_back(loop);
    }
    return true;
}

void GraphBuilder::GetCoverage(int e, const Location& where, bool covered[2][2], bool* touched) {
    const SourceLoop& own = m_Loops[m_Edges[e].m_Loop];
    // Winding of each member on the two sides of the piece, summed over its loops.
    m_Sides.clear();
    const auto add = [&](const SourceLoop& l, std::pair<int, int> w) {
        for (MemberSides& s : m_Sides) {
            if (s.m_Member == l.m_Member) {
                s.m_Left += w.first;
                s.m_Right += w.second;
                return;
            }
        }
        m_Sides.push_back({l.m_Member, l.m_Operand, w.first, w.second});
    };
    add(own, GetSideWinding(own.m_Sign, true));
    for (const int loop : where.m_Inside) {
        const SourceLoop& l = m_Loops[loop];
        add(l, std::pair(l.m_Sign, l.m_Sign));
    }
    *touched = false;
    for (const auto& [loop, same] : where.m_Along) {
        const SourceLoop& l = m_Loops[loop];
        add(l, GetSideWinding(l.m_Sign, same));
        *touched = *touched || l.m_Member != own.m_Member;
    }
    covered[0][0] = covered[0][1] = covered[1][0] = covered[1][1] = false;
    for (const MemberSides& s : m_Sides) {
        bool* sides = covered[s.m_Operand == own.m_Operand ? 0 : 1];
        sides[0] = sides[0] || s.m_Left > 0;
        sides[1] = sides[1] || s.m_Right > 0;
    }
}

void GraphBuilder::Emit(const Arc& piece, int e, int k, int start, int end,
                        const bool covered[2][2], bool touched,
                        std::vector<PolyArcIntersectionGraph::Edge>& out) const {
    PolyArcIntersectionGraph::Edge edge;
    const bool reversed = covered[0][1];
    edge.m_Arc = reversed ? piece.GetReversed() : piece;
    edge.m_StartVertex = reversed ? end : start;
    edge.m_EndVertex = reversed ? start : end;
    edge.m_Owner = m_Loops[m_Edges[e].m_Loop].m_Operand;
    edge.m_OtherOnLeft = reversed ? covered[1][1] : covered[1][0];
    edge.m_OtherOnRight = reversed ? covered[1][0] : covered[1][1];
    if (m_TwoOperands) {
        edge.m_InsideOther = edge.m_OtherOnLeft && edge.m_OtherOnRight     ? k_InsideOther
                             : !edge.m_OtherOnLeft && !edge.m_OtherOnRight ? k_OutsideOther
                                                                           : k_CommonEdge;
    } else {
        edge.m_InsideOther = touched ? k_CommonEdge : k_OutsideOther;
    }
    edge.m_SourceEdge = e;
    edge.m_Piece = k;
    edge.m_AlongSource = !reversed;
    VCORE_ASSERT(k_Source, !edge.m_Arc.IsPoint(0, nullptr));
    out.push_back(edge);
}

void GraphBuilder::SplitAndClassify(std::vector<PolyArcIntersectionGraph::Edge>& out,
                                    std::vector<PolyArcIntersectionGraph::WholeLoop>& whole,
                                    std::vector<int>& piece_count, std::vector<char>& closed) {
    std::vector<IndexedBox> boxes(m_Loops.size());
    for (int l = 0; l < int(m_Loops.size()); ++l) {
        boxes[l] = {l, m_Loops[l].m_Boundary.GetBBox()};
    }
    m_LoopIndex = MakeBoxIndex_G(std::move(boxes));
    piece_count.assign(m_Edges.size(), 0);
    closed.assign(m_Edges.size(), 0);
    std::vector<int> ends;
    Location where;
    bool covered[2][2];
    bool touched = false;
    for (int e = 0; e < int(m_Edges.size()); ++e) {
        const SourceLoop& loop = m_Loops[m_Edges[e].m_Loop];
        if (!loop.m_Meets) {
            // A loop that meets nothing lies wholly inside or outside each other loop: one
            // location decides whether it bounds its operand and what covers its sides.
            if (m_Edges[e].m_FirstOfLoop) {
                Locate(m_Edges[e].m_Arc, e, -1, -1, where);
                GetCoverage(e, where, covered, &touched);
                if (covered[0][0] != covered[0][1]) {
                    const bool reversed = covered[0][1];
                    whole.push_back(
                        {reversed ? loop.m_Boundary.GetReversed() : PolyArc(loop.m_Boundary),
                         reversed ? -loop.m_Area : loop.m_Area, loop.m_Operand,
                         reversed ? covered[1][1] : covered[1][0],
                         reversed ? covered[1][0] : covered[1][1]});
                }
            }
            continue;
        }
        const Arc moved = MoveEdge(e, ends);
        const EdgePosition position(moved);
        const double radius = GetRadiusOf(m_Edges[e].m_Arc);
        const int count = int(ends.size()) - 1;
        piece_count[e] = count;
        closed[e] = ends.front() == ends.back();
        if (m_Edges[e].m_FirstOfLoop) {
            where.m_Complete = false;
        }
        for (int k = 0; k < count; ++k) {
            // A piece from a vertex to itself is a point, unless it is the whole edge and
            // that is a whole circle.
            if (ends[k] == ends[k + 1] && (count > 1 || moved.IsPoint(m_Accuracy))) {
                where.m_Complete = false;
                continue;
            }
            // Where a loop's edge joins the next and nothing else passes, the next piece
            // lies where the last one did; past a simple crossing only the crossing loop
            // changes sides. Only other pieces are located afresh, and only pieces on
            // their operand's boundary are made into arcs.
            const bool joint = k == 0 && !m_Edges[e].m_FirstOfLoop && where.m_Complete
                               && m_Incidence[ends[0]] == 2;
            Arc piece;
            bool made = false;
            if (!joint && (k == 0 || !CarryOver(e, ends[k], where))) {
                piece = MakePiece(moved, position, radius, m_Locations, ends, k);
                made = true;
                Locate(piece, e, ends[k], ends[k + 1], where);
            }
            GetCoverage(e, where, covered, &touched);
            if (covered[0][0] == covered[0][1]) {
                continue;  // not on its own operand's boundary
            }
            if (!made) {
                piece = MakePiece(moved, position, radius, m_Locations, ends, k);
            }
            if (IsIllConditioned(piece, radius)) {
                // Two halves over a new vertex at the piece's middle on the edge's circle.
                const double sweep = piece.GetSweepAngle().GetValue();
                const Point centre = moved.GetCircumference().GetCentre();
                const Point middle =
                    centre
                    + (piece.GetStart() - centre).GetRotated(Angle::FromRadians(sweep * 0.5));
                const int v = int(m_Locations.size());
                m_Locations.push_back(middle);
                const bool cw = piece.GetHeight() > 0;
                const double half = std::fabs(sweep) * 0.5;
                Emit(GetArcOnCircle(piece.GetStart(), middle, radius, cw, half), e, k, ends[k], v,
                     covered, touched, out);
                Emit(GetArcOnCircle(middle, piece.GetEnd(), radius, cw, half), e, k, v, ends[k + 1],
                     covered, touched, out);
                continue;
            }
            Emit(piece, e, k, ends[k], ends[k + 1], covered, touched, out);
        }
    }
}

void GraphBuilder::Build(std::vector<PolyArcIntersectionGraph::Vertex>& vertices,
                         std::vector<PolyArcIntersectionGraph::Edge>& edges,
                         std::vector<PolyArcIntersectionGraph::WholeLoop>& whole,
                         std::vector<int>& piece_count, std::vector<char>& closed) {
    FindMeetings();
    MergePoints();
    CollectSplits();
    FindTouchingLoops();
    SplitAndClassify(edges, whole, piece_count, closed);
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
    VCORE_ASSERT(k_Source, m_CalcAccuracy >= base::GetMaxOf_T(b1.GetEpsilon(), b2.GetEpsilon()));
    m_CalcAccuracy = GetWorkingAccuracy(accuracy, b1 | b2);
    GraphBuilder builder(m_CalcAccuracy, true);
    for (const PolygonWithHoles& p : first) {
        builder.AddMember(p.GetPolygon(), &p.GetHoles(), 0);
    }
    for (const PolygonWithHoles& p : second) {
        builder.AddMember(p.GetPolygon(), &p.GetHoles(), 1);
    }
    builder.Build(m_Vertices, m_Edges, m_WholeLoops, m_SourcePieceCount, m_SourceIsClosed);
    MergeCoincidingPairs();
}

PolyArcIntersectionGraph::PolyArcIntersectionGraph(std::span<const Polygon> members,
                                                   Unit accuracy) {
    m_TwoOperands = false;
    Box box;
    for (const Polygon& p : members) {
        VCORE_ASSERT(k_Source, !p.GetEdgeTree().empty());
        box |= p.GetBBox();
    }
    m_CalcAccuracy = accuracy;
    VCORE_ASSERT(k_Source, m_CalcAccuracy >= box.GetEpsilon());
    m_CalcAccuracy = GetWorkingAccuracy(accuracy, box);
    GraphBuilder builder(m_CalcAccuracy, false);
    for (const Polygon& p : members) {
        builder.AddMember(p, nullptr, 0);
    }
    builder.Build(m_Vertices, m_Edges, m_WholeLoops, m_SourcePieceCount, m_SourceIsClosed);
    MergeCoincidingPairs();
}

PolyArcIntersectionGraph::PolyArcIntersectionGraph(
    std::span<const std::vector<PolygonWithHoles>> disjoint_parts, Unit accuracy) {
    m_TwoOperands = false;
    Box box;
    for (const std::vector<PolygonWithHoles>& part : disjoint_parts) {
        for (const PolygonWithHoles& p : part) {
            box |= p.GetBBox();
        }
    }
    m_CalcAccuracy = accuracy;
    VCORE_ASSERT(k_Source, m_CalcAccuracy >= box.GetEpsilon());
    m_CalcAccuracy = GetWorkingAccuracy(accuracy, box);
    GraphBuilder builder(m_CalcAccuracy, false);
    for (int g = 0; g < int(disjoint_parts.size()); ++g) {
        for (const PolygonWithHoles& p : disjoint_parts[g]) {
            builder.AddMember(p.GetPolygon(), &p.GetHoles(), 0, g);
        }
    }
    builder.Build(m_Vertices, m_Edges, m_WholeLoops, m_SourcePieceCount, m_SourceIsClosed);
    MergeCoincidingPairs();
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
                        VCORE_ASSERT(k_Source, e.m_InsideOther == k_CommonEdge
                                                   && r.m_InsideOther == k_CommonEdge);
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

int PolyArcIntersectionGraph::GetTravel(BooleanOperation operation, int owner, bool other_on_left,
                                        bool other_on_right) const {
    if (!m_TwoOperands) {
        return 1;
    }
    const auto op = [operation](bool p, bool q) {
        switch (operation) {
        case BooleanOperation::k_Union:
            return p || q;
        case BooleanOperation::k_Intersection:
            return p && q;
        case BooleanOperation::k_ExclusiveOr:
            return p != q;
        case BooleanOperation::k_Difference:
            return p && !q;
        default:
            return false;
        }
    };
    // The own operand covers the left side only.
    const bool own_first = owner == 0;
    const bool left = own_first ? op(true, other_on_left) : op(other_on_left, true);
    const bool right = own_first ? op(false, other_on_right) : op(other_on_right, false);
    return left == right ? 0 : (left ? 1 : -1);
}

std::vector<signed char> PolyArcIntersectionGraph::SelectEdges(BooleanOperation operation) const {
    std::vector<signed char> travel(m_Edges.size(), 0);
    for (size_t i = 0; i < m_Edges.size(); ++i) {
        const Edge& e = m_Edges[i];
        travel[i] = static_cast<signed char>(
            GetTravel(operation, e.m_Owner, e.m_OtherOnLeft, e.m_OtherOnRight));
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
        const double curvature = (arriving_end ? a.GetReversed() : a).GetLeavingCurvature();
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

std::vector<PolyArcIntersectionGraph::Loop> PolyArcIntersectionGraph::ReadLoops(
    BooleanOperation operation) {
    std::vector<Loop> ret;
    for (const auto& [boundary, area] : ReadBoundaries(operation)) {
        ret.push_back({boundary.GetEdges()});
    }
    return ret;
}

std::vector<std::pair<PolyArc, double>> PolyArcIntersectionGraph::ReadBoundaries(
    BooleanOperation operation) {
    VCORE_ASSERT(k_Source, operation >= BooleanOperation::k_Union
                               && operation <= BooleanOperation::k_Difference);
    for (Edge& e : m_Edges) {
        e.m_Visited = false;
    }
    std::vector<signed char> travel = SelectEdges(operation);
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

    // Follow the pairing from every edge not yet visited; each walk falls into simple loops.
    std::vector<char> used(n);
    for (int e = 0; e < n; ++e) {
        used[e] = m_Edges[e].m_Visited;
    }
    const LoopWalk walk = WalkLoops_G(next, from, to, int(m_Vertices.size()), used);
    for (int e = 0; e < n; ++e) {
        m_Edges[e].m_Visited = used[e] != 0;
    }
    // A walk that never comes back to its first edge is dropped; it is reported unless it
    // at least ends where it began.
    for (const std::vector<int>& open : walk.m_OpenWalks) {
        VCORE_ASSERT(k_Source, arcs[open.front()].GetStart() == arcs[open.back()].GetEnd());
    }

    // Consecutive pieces of one operand edge are joined again.
    const auto along_source = [&](int e) { return m_Edges[e].m_AlongSource == (travel[e] > 0); };
    const auto continues = [&](int a, int b) {
        const Edge& ea = m_Edges[a];
        const Edge& eb = m_Edges[b];
        if (ea.m_SourceEdge != eb.m_SourceEdge || along_source(a) != along_source(b)
            || ea.m_Piece == eb.m_Piece) {
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
    std::vector<std::pair<PolyArc, double>> ret;
    ret.reserve(walk.m_Loops.size());
    const double min_area = m_CalcAccuracy * m_CalcAccuracy;
    for (const std::vector<int>& es : walk.m_Loops) {
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
            VCORE_ASSERT(k_Source,
                         out.m_Arcs.empty() || out.m_Arcs.back().GetEnd() == arc.GetStart());
            if (k > 0 && continues(es[(k + shift - 1) % es.size()], e)) {
                out.m_Arcs.back() = Arc::Merge_G(out.m_Arcs.back(), arc);
            } else {
                out.m_Arcs.push_back(arc);
            }
        }
        VCORE_ASSERT(k_Source, IsPolyArcSequence_G(out.m_Arcs, k_Closed));
        PolyArc boundary(k_Closed, out.m_Arcs);
        const double area = boundary.GetArea();
        if (!(std::fabs(area) >= min_area) || area == 0) {
            continue;
        }
        ret.emplace_back(std::move(boundary), area);
    }
    for (const WholeLoop& w : m_WholeLoops) {
        const int t = GetTravel(operation, w.m_Owner, w.m_OtherOnLeft, w.m_OtherOnRight);
        if (t != 0 && std::fabs(w.m_Area) >= min_area) {
            ret.emplace_back(t > 0 ? w.m_Boundary : w.m_Boundary.GetReversed(),
                             t > 0 ? w.m_Area : -w.m_Area);
        }
    }
    return ret;
}

PolygonWithHolesCollection PolyArcIntersectionGraph::GetResult(BooleanOperation operation) {
    const std::vector<std::pair<PolyArc, double>> loops = ReadBoundaries(operation);
    struct Outer {
        Polygon m_Polygon;
        double m_Area;
        std::vector<Polygon> m_Holes;
    };
    std::vector<Outer> outers;
    std::vector<Polygon> holes;
    for (const auto& [boundary, area] : loops) {
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
