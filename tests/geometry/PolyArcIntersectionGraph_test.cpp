#include "math/geometry/PolyArcIntersectionGraph.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "KernelTest.h"

using namespace geom;

namespace {

class GraphClassification : public KernelTest {};
class GraphLoops : public KernelTest {};

/// Areas here are sums of a few dozen products of values of order 1..16.
constexpr double k_Rounding = 1e-12;
/// Far above the rounding of coordinates of order 1..10, far below every feature.
constexpr double k_Accuracy = 1e-9;
const double k_Pi = std::acos(-1.0);

Polygon Rectangle(double x0, double y0, double x1, double y1) {
    return Polygon({Point(x0, y0), Point(x1, y0), Point(x1, y1), Point(x0, y1)}, true);
}

PolyArcIntersectionGraph Graph(const Polygon& a, const Polygon& b) {
    const PolygonWithHoles first[] = {PolygonWithHoles(a)};
    const PolygonWithHoles second[] = {PolygonWithHoles(b)};
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

TEST_F(GraphClassification, OverlappingSquaresUnderEveryOperation) {
    // [0, 2]^2 and [1, 3]^2 cross at (2, 1) and (1, 2). Each square keeps two whole sides
    // and two halves outside the other; its two halves inside are inside. The crossings are
    // the vertices with two edges leaving and two arriving.
    PolyArcIntersectionGraph g = Graph(Rectangle(0, 0, 2, 2), Rectangle(1, 1, 3, 3));
    int inside[2] = {0, 0};
    int outside[2] = {0, 0};
    std::vector<int> leaving(g.GetVertices().size());
    std::vector<int> arriving(g.GetVertices().size());
    for (const auto& e : g.GetEdges()) {
        EXPECT_NE(e.m_InsideOther, k_CommonEdge);
        ++(e.m_InsideOther == k_InsideOther ? inside : outside)[e.m_Owner];
        // Start and end are the vertices' locations, exactly.
        EXPECT_EQ(e.m_Arc.GetStart(), g.GetVertices()[e.m_StartVertex].m_Location);
        EXPECT_EQ(e.m_Arc.GetEnd(), g.GetVertices()[e.m_EndVertex].m_Location);
        ++leaving[e.m_StartVertex];
        ++arriving[e.m_EndVertex];
    }
    EXPECT_EQ(inside[0], 2);
    EXPECT_EQ(inside[1], 2);
    EXPECT_EQ(outside[0], 4);
    EXPECT_EQ(outside[1], 4);
    for (int v = 0; v < int(leaving.size()); ++v) {
        EXPECT_EQ(leaving[v], arriving[v]);
    }
    EXPECT_EQ(std::count(leaving.begin(), leaving.end(), 2), 2);
    // Every operation: the squares overlap in [1, 2]^2. The two L shapes of the exclusive
    // or touch at (2, 1) and (1, 2) and enclose the overlap between them; each is one
    // connected region, so they are two members and the overlap no hole.
    const struct {
        BooleanOperation operation;
        double area;
        int members;
    } cases[] = {
        {BooleanOperation::k_Union, 4 + 4 - 1.0, 1},
        {BooleanOperation::k_Intersection, 1, 1},
        {BooleanOperation::k_ExclusiveOr, 4 + 4 - 2 * 1.0, 2},
        {BooleanOperation::k_Difference, 4 - 1.0, 1},
    };
    for (const auto& c : cases) {
        const PolygonWithHolesCollection r = g.GetResult(c.operation);
        EXPECT_NEAR(r.GetArea(), c.area, k_Rounding);
        EXPECT_EQ(r.size(), c.members);
        EXPECT_EQ(HoleCount(r), 0);
    }
    EXPECT_EQ(g.GetResult(BooleanOperation::k_Intersection).GetBBox(), Box::FromBounds(1, 1, 2, 2));
    // An operation out of range is reported and reads nothing.
    EXPECT_TRUE(g.ReadLoops(BooleanOperation(7)).empty());
    ExpectReports({{"PolyArcIntersectionGraph",
                    "operation >= BooleanOperation::k_Union && operation <= "
                    "BooleanOperation::k_Difference"}});
}

TEST_F(GraphClassification, SharedSideIsCommonForBothAndRunsBothWays) {
    // [0, 1]^2 and [1, 2] x [0, 1]: the side x = 1 runs up for the first, down for the
    // second; both copies are common, and one arc (exactly reversed) after merging. Under
    // the union both sides of it are covered: it is left out, and the loop is the
    // rectangle's six sides (bottom and top in two pieces each). Every edge is then
    // visited: followed, cancelled, or out of the result.
    PolyArcIntersectionGraph g = Graph(Rectangle(0, 0, 1, 1), Rectangle(1, 0, 2, 1));
    std::vector<PolyArcIntersectionGraph::Edge> common;
    for (const auto& e : g.GetEdges()) {
        if (e.m_InsideOther == k_CommonEdge) {
            common.push_back(e);
        } else {
            EXPECT_EQ(e.m_InsideOther, k_OutsideOther);
        }
    }
    ASSERT_EQ(common.size(), 2u);
    EXPECT_NE(common[0].m_Owner, common[1].m_Owner);
    EXPECT_EQ(common[0].m_Arc, common[1].m_Arc.GetReversed());
    EXPECT_EQ(common[0].m_Arc.GetStart().GetX(), 1.0);
    EXPECT_EQ(common[0].m_Arc.GetEnd().GetX(), 1.0);
    const auto loops = g.ReadLoops(BooleanOperation::k_Union);
    ASSERT_EQ(loops.size(), 1u);
    EXPECT_EQ(loops[0].m_Arcs.size(), 6u);
    EXPECT_NEAR(AreaOf(loops), 2.0, k_Rounding);
    for (const auto& e : g.GetEdges()) {
        EXPECT_TRUE(e.m_Visited);
    }
}

TEST_F(GraphClassification, CoincidingArcsOfDifferentOwnersBecomeOneArc) {
    // Two circles of radius 1 round (0, 0) built from different start points: the first
    // at azimuth 0, the second at 90 degrees. Each is cut at the other's start, and the
    // coinciding pieces are made identical and common. Running the same way round, they
    // are kept once under union and intersection and cancelled under the others.
    const Polygon a(Circle(Point(0, 0), 1));
    const Polygon b({Arc(Circumference(Point(0, 0), 1), k_Degree_90, k_CCW)}, false);
    PolyArcIntersectionGraph g = Graph(a, b);
    ASSERT_EQ(g.GetEdges().size(), 4u);
    for (const auto& e : g.GetEdges()) {
        EXPECT_EQ(e.m_InsideOther, k_CommonEdge);
        int same = 0;
        for (const auto& f : g.GetEdges()) {
            same += f.m_Owner != e.m_Owner && f.m_Arc == e.m_Arc;
        }
        EXPECT_EQ(same, 1) << "one identical arc of the other owner";
    }
    EXPECT_NEAR(AreaOf(g.ReadLoops(BooleanOperation::k_Union)), k_Pi, k_Rounding);
    EXPECT_NEAR(AreaOf(g.ReadLoops(BooleanOperation::k_Intersection)), k_Pi, k_Rounding);
    EXPECT_TRUE(g.ReadLoops(BooleanOperation::k_Difference).empty());
    EXPECT_TRUE(g.ReadLoops(BooleanOperation::k_ExclusiveOr).empty());
}

TEST_F(GraphLoops, DifferenceFollowsTheSecondOperandBackwards) {
    // A hole cut into the middle of a square: neither boundary meets the other, so both
    // loops are taken or left whole; the inner square is inside the first operand and is
    // followed backwards, giving a clockwise loop. Under union only the outer one bounds.
    PolyArcIntersectionGraph g = Graph(Rectangle(0, 0, 4, 4), Rectangle(1, 1, 3, 3));
    EXPECT_TRUE(g.GetEdges().empty());
    ASSERT_EQ(g.GetWholeLoops().size(), 2u);
    std::vector<double> areas;
    for (const auto& loop : g.ReadLoops(BooleanOperation::k_Difference)) {
        areas.push_back(PolyArc(k_Closed, loop.m_Arcs).GetArea());
    }
    std::sort(areas.begin(), areas.end());
    EXPECT_EQ(areas, (std::vector<double>{-4, 16}));
    const PolygonWithHolesCollection u = g.GetResult(BooleanOperation::k_Union);
    ASSERT_EQ(u.size(), 1);
    EXPECT_EQ(HoleCount(u), 0);
    EXPECT_NEAR(u.GetArea(), 16.0, k_Rounding);
}

TEST_F(GraphLoops, LoopsTouchingAtAPointStaySeparateAndSimple) {
    // Squares meeting at the corner (1, 1): at that vertex two loops pass, each keeping to
    // its own square. A 4 x 4 square minus the diamond (2, 0), (3, 1), (2, 2), (1, 1)
    // touching its bottom side: the boundary of the one remaining region touches itself at
    // (2, 0) and is read as the outer square (its bottom side joined again) and the
    // diamond as a hole.
    const PolygonWithHolesCollection u =
        Graph(Rectangle(0, 0, 1, 1), Rectangle(1, 1, 2, 2)).GetResult(BooleanOperation::k_Union);
    ASSERT_EQ(u.size(), 2);
    for (const PolygonWithHoles& p : u.GetTree()) {
        EXPECT_NEAR(p.GetArea(), 1.0, k_Rounding);
        EXPECT_EQ(p.GetPolygon().GetEdgeCount(), 4);
    }
    const Polygon diamond({Point(2, 0), Point(3, 1), Point(2, 2), Point(1, 1)}, true);
    const PolygonWithHolesCollection d =
        Graph(Rectangle(0, 0, 4, 4), diamond).GetResult(BooleanOperation::k_Difference);
    ASSERT_EQ(d.size(), 1);
    const PolygonWithHoles& p = d.GetTree().front();
    EXPECT_EQ(p.GetPolygon().GetEdgeCount(), 4);
    ASSERT_EQ(p.GetHoleCount(), 1);
    EXPECT_NEAR(p.GetHoles().GetTree().front().GetArea(), 2.0, k_Rounding);
    EXPECT_NEAR(p.GetArea(), 14.0, k_Rounding);
}

TEST_F(GraphLoops, PiecesOfOneEdgeAreJoinedAgain) {
    // A circle touching a square's side from outside at (1, 0.5) cuts that side there;
    // in the union the two pieces meet only each other at the cut and become one edge,
    // and the circle is one whole circle again.
    PolyArcIntersectionGraph g =
        Graph(Rectangle(0, 0, 1, 1), Polygon(Circle(Point(1.5, 0.5), 0.5)));
    int cut = 0;
    for (const auto& e : g.GetEdges()) {
        cut += e.m_Owner == 0 && e.m_Arc.GetStart().GetX() == 1 && e.m_Arc.GetEnd().GetX() == 1;
    }
    EXPECT_EQ(cut, 2) << "the side x = 1 in two pieces";
    const PolygonWithHolesCollection u = g.GetResult(BooleanOperation::k_Union);
    ASSERT_EQ(u.size(), 2);
    for (const PolygonWithHoles& p : u.GetTree()) {
        EXPECT_EQ(p.GetPolygon().GetEdgeCount(), p.GetBBox().GetXMin() == 0 ? 4 : 1);
    }
}

TEST_F(GraphLoops, CircleCutJustAfterItsStartKeepsItsCircle) {
    // A circle of radius 0.125 round the origin starts at (0.125, 0). Triangles touch it
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
        const PolygonWithHolesCollection u = g.GetResult(BooleanOperation::k_Union);
        EXPECT_EQ(u.size(), 1 + int(triangles.size()));
        EXPECT_NEAR(u.GetArea(), k_Pi * r * r + 0.25 * triangles.size(), 1e-12);
    };
    // One cut: the whole circle again, starting there.
    check({below(corner_at(2e-7))}, 1);
    // Two cuts: the short piece between them, and the rest in two halves.
    check({below(corner_at(2e-7)), above(corner_at(4e-7))}, 3);
}

}  // namespace
