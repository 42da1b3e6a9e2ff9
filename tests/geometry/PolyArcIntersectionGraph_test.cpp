#include "math/geometry/PolyArcIntersectionGraph.h"

#include <cmath>
#include <vector>

#include "KernelTest.h"

using namespace geom;

namespace {

class GraphClassification : public KernelTest {};
class GraphCodes : public KernelTest {};
class GraphLoops : public KernelTest {};

/// Areas here are sums of a few dozen products of values of order 1..16.
constexpr double k_Rounding = 1e-12;
/// Far above the rounding of coordinates of order 1..10, far below every feature.
constexpr double k_Accuracy = 1e-9;
const double k_Pi = std::acos(-1.0);

Polygon Rectangle(double x0, double y0, double x1, double y1) {
    return Polygon({Point(x0, y0), Point(x1, y0), Point(x1, y1), Point(x0, y1)}, true);
}

PolyArcIntersectionGraph Graph(const PolygonWithHoles& a, const PolygonWithHoles& b) {
    const PolygonWithHoles first[] = {a};
    const PolygonWithHoles second[] = {b};
    return PolyArcIntersectionGraph(first, second, k_Accuracy);
}

double AreaOf(const std::vector<PolyArcIntersectionGraph::Loop>& loops) {
    double sum = 0;
    for (const auto& loop : loops) {
        sum += PolyArc(k_Closed, loop.m_Arcs).GetArea();
    }
    return sum;
}

int HoleCount(const PolygonWithHolesCollection& c) {
    int n = 0;
    for (const PolygonWithHoles& p : c.GetTree()) {
        n += p.GetHoleCount();
    }
    return n;
}

TEST_F(GraphClassification, EdgesOfOverlappingSquaresAreInsideOrOutsideTheOther) {
    // [0, 2]^2 and [1, 3]^2 cross at (2, 1) and (1, 2). Each square keeps two whole sides
    // and two halves outside the other; its two halves inside are inside.
    PolyArcIntersectionGraph g =
        Graph(PolygonWithHoles(Rectangle(0, 0, 2, 2)), PolygonWithHoles(Rectangle(1, 1, 3, 3)));
    int inside[2] = {0, 0};
    int outside[2] = {0, 0};
    for (const auto& e : g.GetEdges()) {
        EXPECT_NE(e.m_InsideOther, k_CommonEdge);
        ++(e.m_InsideOther == k_InsideOther ? inside : outside)[e.m_Owner];
        // Start and end are the vertices' locations, exactly.
        EXPECT_EQ(e.m_Arc.GetStart(), g.GetVertices()[e.m_StartVertex].m_Location);
        EXPECT_EQ(e.m_Arc.GetEnd(), g.GetVertices()[e.m_EndVertex].m_Location);
    }
    EXPECT_EQ(inside[0], 2);
    EXPECT_EQ(inside[1], 2);
    EXPECT_EQ(outside[0], 4);  // two whole sides and two halves
    EXPECT_EQ(outside[1], 4);
    // The crossings are vertices with two edges leaving and two arriving.
    int crossings = 0;
    for (int v = 0; v < int(g.GetVertices().size()); ++v) {
        if (g.GetOutgoing(v).size() == 2) {
            ++crossings;
            EXPECT_EQ(g.GetIncoming(v).size(), 2u);
        }
    }
    EXPECT_EQ(crossings, 2);
}

TEST_F(GraphClassification, SharedSideIsCommonForBothAndRunsBothWays) {
    // [0, 1]^2 and [1, 2] x [0, 1]: the side x = 1 runs up for the first, down for the
    // second; both copies are common, and one arc (exactly reversed) after merging.
    PolyArcIntersectionGraph g =
        Graph(PolygonWithHoles(Rectangle(0, 0, 1, 1)), PolygonWithHoles(Rectangle(1, 0, 2, 1)));
    std::vector<PolyArcIntersectionGraph::Edge> common;
    for (const auto& e : g.GetEdges()) {
        if (e.m_InsideOther == k_CommonEdge) {
            common.push_back(e);
        }
    }
    ASSERT_EQ(common.size(), 2u);
    EXPECT_NE(common[0].m_Owner, common[1].m_Owner);
    EXPECT_EQ(common[0].m_Arc, common[1].m_Arc.GetReversed());
    // Under the union both sides of the common side are covered: it is left out, and the
    // loop is the rectangle's six sides (bottom and top in two pieces each).
    const auto loops = g.ReadLoops(k_Union);
    ASSERT_EQ(loops.size(), 1u);
    EXPECT_EQ(loops[0].m_Arcs.size(), 6u);
    EXPECT_NEAR(AreaOf(loops), 2.0, k_Rounding);
    for (const auto& e : g.GetEdges()) {
        EXPECT_TRUE(e.m_Visited);  // followed, or out of the result
    }
}

TEST_F(GraphClassification, CoincidingArcsOfDifferentOwnersBecomeOneArc) {
    // Two circles of radius 1 around (0, 0) built from different start points: the first
    // at azimuth 0, the second at 90 degrees. Each is cut at the other's start, and the
    // coinciding pieces are made identical and common.
    const Polygon a(Circle(Point(0, 0), 1));
    const Polygon b({Arc(Circumference(Point(0, 0), 1), k_Degree_90, k_CCW)}, false);
    PolyArcIntersectionGraph g = Graph(PolygonWithHoles(a), PolygonWithHoles(b));
    ASSERT_EQ(g.GetEdges().size(), 4u);
    for (const auto& e : g.GetEdges()) {
        EXPECT_EQ(e.m_InsideOther, k_CommonEdge);
        int same = 0;
        for (const auto& f : g.GetEdges()) {
            same += f.m_Owner != e.m_Owner && f.m_Arc == e.m_Arc;
        }
        EXPECT_EQ(same, 1) << "one identical arc of the other owner";
    }
    // Same way round: kept once under union and intersection, cancelled under difference.
    EXPECT_NEAR(AreaOf(g.ReadLoops(k_Union)), k_Pi, k_Rounding);
    EXPECT_NEAR(AreaOf(g.ReadLoops(k_Intersection)), k_Pi, k_Rounding);
    EXPECT_TRUE(g.ReadLoops(k_Difference).empty());
    EXPECT_TRUE(g.ReadLoops(k_ExclusiveOr).empty());
}

TEST_F(GraphCodes, IntersectionAndExclusiveOrOfOverlappingSquares) {
    // [0, 2]^2 and [1, 3]^2 overlap in [1, 2]^2.
    PolyArcIntersectionGraph g =
        Graph(PolygonWithHoles(Rectangle(0, 0, 2, 2)), PolygonWithHoles(Rectangle(1, 1, 3, 3)));
    const PolygonWithHolesCollection both = g.GetResult(k_Intersection);
    ASSERT_EQ(both.size(), 1);
    EXPECT_EQ(both.GetBBox(), Box::FromBounds(1, 1, 2, 2));
    EXPECT_NEAR(both.GetArea(), 1.0, k_Rounding);
    // The two L shapes touch at (2, 1) and (1, 2) and enclose the overlap between them.
    // Each is one connected region, so they are two members and the overlap no hole.
    const PolygonWithHolesCollection either = g.GetResult(k_ExclusiveOr);
    EXPECT_EQ(either.size(), 2);
    EXPECT_EQ(HoleCount(either), 0);
    EXPECT_NEAR(either.GetArea(), 4 + 4 - 2 * 1.0, k_Rounding);
    const PolygonWithHolesCollection first = g.GetResult(k_Difference);
    ASSERT_EQ(first.size(), 1);
    EXPECT_NEAR(first.GetArea(), 4 - 1.0, k_Rounding);
    EXPECT_NEAR(g.GetResult(k_Union).GetArea(), 4 + 4 - 1.0, k_Rounding);
}

TEST_F(GraphCodes, DifferenceFollowsTheSecondOperandBackwards) {
    // A hole cut into the middle of a square: the inner square's edges are inside the
    // first operand and are followed backwards, giving a clockwise loop.
    PolyArcIntersectionGraph g =
        Graph(PolygonWithHoles(Rectangle(0, 0, 4, 4)), PolygonWithHoles(Rectangle(1, 1, 3, 3)));
    // Neither boundary meets the other: both loops are taken or left whole.
    EXPECT_TRUE(g.GetEdges().empty());
    ASSERT_EQ(g.GetWholeLoops().size(), 2u);
    const auto loops = g.ReadLoops(k_Difference);
    ASSERT_EQ(loops.size(), 2u);
    double areas[2] = {PolyArc(k_Closed, loops[0].m_Arcs).GetArea(),
                       PolyArc(k_Closed, loops[1].m_Arcs).GetArea()};
    std::sort(std::begin(areas), std::end(areas));
    EXPECT_NEAR(areas[0], -4.0, k_Rounding);  // the hole, clockwise
    EXPECT_NEAR(areas[1], 16.0, k_Rounding);
    // Under union only the outer square bounds the result.
    const PolygonWithHolesCollection u = g.GetResult(k_Union);
    ASSERT_EQ(u.size(), 1);
    EXPECT_EQ(HoleCount(u), 0);
    EXPECT_NEAR(u.GetArea(), 16.0, k_Rounding);
}

TEST_F(GraphLoops, ShapesTouchingAtOnePointStaySeparate) {
    // Squares meeting at the corner (1, 1): at that vertex two loops pass, each keeping to
    // its own square.
    const PolygonWithHoles first[] = {PolygonWithHoles(Rectangle(0, 0, 1, 1))};
    const PolygonWithHoles second[] = {PolygonWithHoles(Rectangle(1, 1, 2, 2))};
    PolyArcIntersectionGraph g(first, second, k_Accuracy);
    const PolygonWithHolesCollection u = g.GetResult(k_Union);
    ASSERT_EQ(u.size(), 2);
    for (const PolygonWithHoles& p : u.GetTree()) {
        EXPECT_NEAR(p.GetArea(), 1.0, k_Rounding);
        EXPECT_EQ(p.GetPolygon().GetEdgeCount(), 4);
    }
}

TEST_F(GraphLoops, HoleTouchingItsOutlineAtAPointStaysAHole) {
    // A 4 x 4 square minus the diamond (2, 0), (3, 1), (2, 2), (1, 1) touching its bottom
    // side: the boundary of the one remaining region touches itself at (2, 0) and is read
    // as the outer square and the diamond as a hole. The two pieces of the bottom side
    // are joined again, so the square has its four sides and the diamond touches one of
    // them inside it.
    const Polygon diamond({Point(2, 0), Point(3, 1), Point(2, 2), Point(1, 1)}, true);
    PolyArcIntersectionGraph g =
        Graph(PolygonWithHoles(Rectangle(0, 0, 4, 4)), PolygonWithHoles(diamond));
    const PolygonWithHolesCollection d = g.GetResult(k_Difference);
    ASSERT_EQ(d.size(), 1);
    const PolygonWithHoles& p = d.GetTree().front();
    EXPECT_EQ(p.GetPolygon().GetEdgeCount(), 4);
    ASSERT_EQ(p.GetHoleCount(), 1);
    EXPECT_NEAR(p.GetHoles().GetTree().front().GetArea(), 2.0, k_Rounding);
    EXPECT_NEAR(p.GetArea(), 14.0, k_Rounding);
}

TEST_F(GraphLoops, PiecesOfOneEdgeAreJoinedAgain) {
    // A circle touching a square's side from outside at (1, 0.5) cuts that side there;
    // in the union the two pieces meet only each other at the cut and become one edge.
    const PolygonWithHoles first[] = {PolygonWithHoles(Rectangle(0, 0, 1, 1))};
    const PolygonWithHoles second[] = {PolygonWithHoles(Polygon(Circle(Point(1.5, 0.5), 0.5)))};
    PolyArcIntersectionGraph g(first, second, k_Accuracy);
    int cut = 0;
    for (const auto& e : g.GetEdges()) {
        cut += e.m_Owner == 0 && e.m_Arc.GetStart().GetX() == 1 && e.m_Arc.GetEnd().GetX() == 1;
    }
    EXPECT_EQ(cut, 2) << "the side x = 1 in two pieces";
    const PolygonWithHolesCollection u = g.GetResult(k_Union);
    ASSERT_EQ(u.size(), 2);
    for (const PolygonWithHoles& p : u.GetTree()) {
        // The square has four edges again; the circle is one whole circle again.
        EXPECT_EQ(p.GetPolygon().GetEdgeCount(), p.GetBBox().GetXMin() == 0 ? 4 : 1);
    }
}

TEST_F(GraphLoops, CircleCutJustAfterItsStartKeepsItsCircle) {
    // A circle of radius 0.125 around the origin starts at (0.125, 0). Triangles touch it
    // from outside with a corner 2e-7 (and 4e-7) along the circle from that start and
    // 5e-11 (within the accuracy) off it, so the circle is cut there. An arc through two
    // such points sweeping nearly the whole turn would tilt with their chord, moving the
    // circle by about r 5e-11 / 2e-7 = 3e-5; every piece must stay on the circle.
    constexpr double r = 0.125;
    const auto corner_at = [&](double along) {
        const double angle = along / r;
        return Point((r + 5e-11) * std::cos(angle), (r + 5e-11) * std::sin(angle));
    };
    // Triangles of area 0.25 below and above the horizontal through their corner.
    const auto below = [](const Point& c) {
        return PolygonWithHoles(Polygon({c, c + Vector(1, -0.5), c + Vector(1, 0)}, true));
    };
    const auto above = [](const Point& c) {
        return PolygonWithHoles(Polygon({c, c + Vector(1, 0), c + Vector(1, 0.5)}, true));
    };
    const PolygonWithHoles circle[] = {PolygonWithHoles(Polygon(Circle(Point(0, 0), r)))};
    const auto check = [&](const std::vector<PolygonWithHoles>& triangles, int pieces) {
        PolyArcIntersectionGraph g(circle, triangles, k_Accuracy);
        int arcs = 0;
        for (const auto& e : g.GetEdges()) {
            if (e.m_Owner == 0) {
                ++arcs;
                // Moving a piece's ends onto a vertex moves its circle by about as much.
                EXPECT_NEAR(e.m_Arc.GetCircumference().GetRadius(), r, 1e-10);
                EXPECT_TRUE(e.m_Arc.GetCircumference().GetCentre().IsEqualTo(Point(0, 0), 1e-10));
            }
        }
        EXPECT_EQ(arcs, pieces);
        // They touch at corners only: the disc and each triangle stay apart.
        const PolygonWithHolesCollection u = g.GetResult(k_Union);
        EXPECT_EQ(u.size(), 1 + int(triangles.size()));
        EXPECT_NEAR(u.GetArea(), k_Pi * r * r + 0.25 * triangles.size(), 1e-12);
    };
    // One cut: the whole circle again, starting there.
    check({below(corner_at(2e-7))}, 1);
    // Two cuts: the short piece between them, and the rest in two halves.
    check({below(corner_at(2e-7)), above(corner_at(4e-7))}, 3);
}

TEST_F(GraphLoops, UnknownCodeIsReportedAndReadsNothing) {
    PolyArcIntersectionGraph g =
        Graph(PolygonWithHoles(Rectangle(0, 0, 2, 2)), PolygonWithHoles(Rectangle(1, 1, 3, 3)));
    EXPECT_TRUE(g.ReadLoops(7).empty());
    ExpectReports({{"PolyArcIntersectionGraph", "code >= 0 && code <= 3"}});
}

}  // namespace
