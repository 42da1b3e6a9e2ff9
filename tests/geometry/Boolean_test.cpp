#include "math/geometry/Boolean.h"

#include <cmath>
#include <limits>
#include <vector>

#include "KernelTest.h"
#include "math/geometry/PolyArcIntersectionGraph.h"

using namespace geom;

namespace {

class BooleanPolygons : public KernelTest {};
class BooleanDegenerate : public KernelTest {};
class BooleanCollections : public KernelTest {};

/// Areas below are sums of a few dozen products of values of order 1..16.
constexpr double k_Rounding = 1e-12;
/// An accuracy far above the rounding of coordinates of order 1..100 (their tolerance is
/// about 2e-11) and far below every feature of the shapes.
constexpr double k_Accuracy = 1e-9;
const double k_Pi = std::acos(-1.0);

Polygon Rectangle(double x0, double y0, double x1, double y1) {
    return Polygon({Point(x0, y0), Point(x1, y0), Point(x1, y1), Point(x0, y1)}, true);
}
Polygon Disc(double x, double y, double r) {
    return Polygon(Circle(Point(x, y), r));
}

double AreaOf(const PolygonWithHolesCollection& c) {
    return c.GetArea();
}
int HoleCount(const PolygonWithHolesCollection& c) {
    int n = 0;
    for (const PolygonWithHoles& p : c.GetTree()) {
        n += p.GetHoleCount();
    }
    return n;
}

TEST_F(BooleanPolygons, SquareMinusInnerSquareIsOnePolygonWithOneHole) {
    const Polygon outer = Rectangle(0, 0, 4, 4);
    const Polygon inner = Rectangle(1, 1, 3, 3);
    // Through the relation shortcut, and through the graph (collections).
    const PolygonWithHolesCollection direct = Subtract_G(outer, inner, k_Accuracy);
    const PolygonWithHolesCollection graph =
        Subtract_G(PolygonWithHolesCollection(outer), PolygonCollection(inner), k_Accuracy);
    for (const PolygonWithHolesCollection* r : {&direct, &graph}) {
        ASSERT_EQ(r->size(), 1);
        EXPECT_EQ(HoleCount(*r), 1);
        EXPECT_NEAR(AreaOf(*r), 16 - 4, k_Rounding);
        const PolygonWithHoles& p = r->GetTree().front();
        EXPECT_TRUE(p.GetPolygon().IsEqualTo(outer, 0));
        EXPECT_TRUE(p.GetHoles().GetTree().front().IsEqualTo(inner, 0));
    }
}

TEST_F(BooleanPolygons, DisjointDifferenceIsTheFirstOperand) {
    const Polygon a = Rectangle(0, 0, 1, 1);
    const Polygon b = Rectangle(2, 0, 3, 1);
    const PolygonWithHolesCollection r = Subtract_G(a, b, k_Accuracy);
    ASSERT_EQ(r.size(), 1);
    EXPECT_TRUE(r.GetTree().front().GetPolygon().IsSameImplementation(a));
    // A collection member that no other member comes near is passed on unchanged too.
    const PolygonWithHolesCollection c =
        Subtract_G(PolygonWithHolesCollection(a), PolygonCollection(b), k_Accuracy);
    ASSERT_EQ(c.size(), 1);
    EXPECT_TRUE(c.GetTree().front().GetPolygon().IsSameImplementation(a));
}

TEST_F(BooleanPolygons, SquareMinusContainingSquareIsEmpty) {
    const Polygon a = Rectangle(1, 1, 2, 2);
    const Polygon b = Rectangle(0, 0, 3, 3);
    EXPECT_TRUE(Subtract_G(a, b, k_Accuracy).empty());
    EXPECT_TRUE(
        Subtract_G(PolygonWithHolesCollection(a), PolygonCollection(b), k_Accuracy).empty());
    // Equal squares too: every side is common and runs the same way.
    EXPECT_TRUE(Subtract_G(b, b, k_Accuracy).empty());
}

TEST_F(BooleanPolygons, SquaresSharingASideUniteIntoTheRectangle) {
    const Polygon a = Rectangle(0, 0, 1, 1);
    const Polygon b = Rectangle(1, 0, 2, 1);
    const PolygonWithHoles first[] = {PolygonWithHoles(a)};
    const PolygonWithHoles second[] = {PolygonWithHoles(b)};
    PolyArcIntersectionGraph graph(first, second, k_Accuracy);
    // The two copies of the side x = 1 are common and run opposite ways: up for the left
    // square, down for the right one. Every other side is outside the other square.
    std::vector<PolyArcIntersectionGraph::Edge> common;
    for (const auto& e : graph.GetEdges()) {
        if (e.m_InsideOther == k_CommonEdge) {
            common.push_back(e);
        } else {
            EXPECT_EQ(e.m_InsideOther, k_OutsideOther);
        }
    }
    ASSERT_EQ(common.size(), 2u);
    EXPECT_EQ(common[0].m_Arc, common[1].m_Arc.GetReversed());
    EXPECT_EQ(common[0].m_Arc.GetStart().GetX(), 1.0);
    EXPECT_EQ(common[0].m_Arc.GetEnd().GetX(), 1.0);
    const std::vector<PolyArcIntersectionGraph::Loop> loops = graph.ReadLoops(k_Union);
    ASSERT_EQ(loops.size(), 1u);
    // Six sides: the bottom and the top of each square; the common ones are gone.
    EXPECT_EQ(loops[0].m_Arcs.size(), 6u);
    for (const Arc& arc : loops[0].m_Arcs) {
        EXPECT_FALSE(arc.GetStart().GetX() == 1.0 && arc.GetEnd().GetX() == 1.0);
    }
    for (const auto& e : graph.GetEdges()) {
        if (e.m_InsideOther == k_CommonEdge) {
            EXPECT_TRUE(e.m_Visited) << "cancelled common edges are marked visited";
        }
    }
    const PolygonWithHolesCollection u = Unite_G(a, b, k_Accuracy);
    ASSERT_EQ(u.size(), 1);
    EXPECT_NEAR(AreaOf(u), 2.0, k_Rounding);
    EXPECT_EQ(u.GetBBox(), Box::FromBounds(0, 0, 2, 1));
}

TEST_F(BooleanPolygons, TwoOverlappingCirclesUniteWithArcEdgesOnly) {
    // Unit circles with centres 1 apart: 2 pi minus the lens 2 (pi/3 - sqrt(3)/4).
    const PolygonWithHolesCollection u =
        Unite_G(PolygonCollection({Disc(0, 0, 1), Disc(1, 0, 1)}), k_Accuracy);
    ASSERT_EQ(u.size(), 1);
    EXPECT_EQ(HoleCount(u), 0);
    const double lens = 2 * (k_Pi / 3 - std::sqrt(3.0) / 4);
    EXPECT_NEAR(AreaOf(u), 2 * k_Pi - lens, k_Rounding);
    const std::vector<Arc> edges = u.GetTree().front().GetPolygon().GetEdges();
    EXPECT_EQ(edges.size(), 2u);
    for (const Arc& a : edges) {
        EXPECT_LT(a.GetHeight(), 0) << "counter-clockwise arcs";
    }
}

TEST_F(BooleanPolygons, SliverBelowAccuracySquaredVanishes) {
    // The square minus a shape that covers all of it but a triangle below its top side:
    // base 0.012 from (0.5, 1) to (0.512, 1), apex (0.506, 0.988); area 0.5 * 0.012 *
    // 0.012 = 7.2e-5. Every vertex and edge of the triangle is more than 0.01 from the
    // others, so only its area decides.
    const Polygon a = Rectangle(0, 0, 1, 1);
    const Polygon b({Point(-1, -1), Point(2, -1), Point(2, 2), Point(0.512, 2), Point(0.512, 1),
                     Point(0.506, 0.988), Point(0.5, 1), Point(0.5, 2), Point(-1, 2)},
                    true);
    constexpr double k_Area = 7.2e-5;
    const PolygonWithHolesCollection kept = Subtract_G(a, b, 0.001);  // 1e-6 < area
    ASSERT_EQ(kept.size(), 1);
    EXPECT_NEAR(AreaOf(kept), k_Area, 1e-15);
    EXPECT_TRUE(Subtract_G(a, b, 0.01).empty());  // 1e-4 > area
}

}  // namespace
