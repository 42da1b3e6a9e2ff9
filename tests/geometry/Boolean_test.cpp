#include "math/geometry/Boolean.h"

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "KernelTest.h"
#include "math/geometry/PolyArcIntersectionGraph.h"

using namespace geom;

namespace {

class BooleanPolygons : public KernelTest {};
class BooleanDegenerate : public KernelTest {};
class BooleanCollections : public KernelTest {};
class BooleanRandom : public KernelTest {};
class BooleanBadInput : public KernelTest {
protected:
    void TearDown() override { m_Recorder.assertions.clear(); }
};

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

TEST_F(BooleanDegenerate, OnePointTouchesKeepTheShapesApart) {
    const Polygon square = Rectangle(0, 0, 2, 2);
    {
        // A circle of radius 0.5 touching the side x = 2 from outside at (2, 1): two
        // members; subtracting it leaves the square as it was.
        const Polygon disc = Disc(2.5, 1, 0.5);
        const PolygonWithHolesCollection u = Unite_G(square, disc, k_Accuracy);
        EXPECT_EQ(u.size(), 2);
        EXPECT_NEAR(AreaOf(u), 4 + k_Pi * 0.25, k_Rounding);
        const PolygonWithHolesCollection d = Subtract_G(square, disc, k_Accuracy);
        ASSERT_EQ(d.size(), 1);
        EXPECT_EQ(HoleCount(d), 0);
        EXPECT_NEAR(AreaOf(d), 4.0, k_Rounding);
    }
    {
        // The circle inscribed in the square touches all four sides: what is left is four
        // corners meeting only at the touch points, four members of (4 - pi) / 4 each.
        const PolygonWithHolesCollection d = Subtract_G(square, Disc(1, 1, 1), k_Accuracy);
        ASSERT_EQ(d.size(), 4);
        for (const PolygonWithHoles& p : d.GetTree()) {
            EXPECT_NEAR(p.GetArea(), (4 - k_Pi) / 4, k_Rounding);
        }
    }
    {
        // A circle inside touching the side y = 0 at (1, 0): one region whose hole touches
        // its outline, area 4 - pi 0.25.
        const PolygonWithHolesCollection d = Subtract_G(square, Disc(1, 0.5, 0.5), k_Accuracy);
        ASSERT_EQ(d.size(), 1);
        EXPECT_EQ(HoleCount(d), 1);
        EXPECT_NEAR(AreaOf(d), 4 - k_Pi * 0.25, k_Rounding);
    }
}

TEST_F(BooleanDegenerate, HoleSharingPartOfASideBecomesANotch) {
    // [0, 4]^2 minus [1, 3] x [0, 1]: the cut shares (1, 0)-(3, 0) with the bottom side,
    // so the result is one notched outline of 8 sides and area 16 - 2.
    const PolygonWithHolesCollection d =
        Subtract_G(Rectangle(0, 0, 4, 4), Rectangle(1, 0, 3, 1), k_Accuracy);
    ASSERT_EQ(d.size(), 1);
    EXPECT_EQ(HoleCount(d), 0);
    EXPECT_EQ(d.GetTree().front().GetPolygon().GetEdgeCount(), 8);
    EXPECT_NEAR(AreaOf(d), 14.0, k_Rounding);
    // The same notch given as a member with a hole that touches its outline along the
    // bottom side: the member covers neither side of the shared part.
    PolygonWithHoles member(Rectangle(0, 0, 4, 4));
    member.AddHole(Rectangle(1, 0, 3, 1));
    const PolygonWithHolesCollection u = Unite_G(
        PolygonWithHolesCollection(member), PolygonWithHolesCollection(Disc(9, 9, 1)), k_Accuracy);
    EXPECT_NEAR(AreaOf(u), 14.0 + k_Pi, k_Rounding);
}

TEST_F(BooleanDegenerate, StackedIdenticalShapesCountOnce) {
    // Three copies of a stroke and three of a circle, united and subtracted.
    const Polygon stroke(Segment(Point(0, 0), Point(3, 4)), 1.0);  // 5 x 1 plus pi 0.25
    const Polygon disc = Disc(10, 0, 1);
    const PolygonWithHolesCollection u =
        Unite_G(PolygonCollection({stroke, stroke, stroke, disc, disc, disc}), k_Accuracy);
    ASSERT_EQ(u.size(), 2);
    EXPECT_NEAR(AreaOf(u), 5 + k_Pi * 0.25 + k_Pi, 1e-11);
    const PolygonWithHolesCollection d =
        Subtract_G(PolygonWithHolesCollection(std::vector<Polygon>{stroke, stroke}),
                   PolygonCollection(stroke), k_Accuracy);
    EXPECT_TRUE(d.empty());
}

TEST_F(BooleanDegenerate, StackedStrokesDrawnInOppositeDirections) {
    // The same trace stroked from p to q and from q to p: the caps' ends come out of
    // different (rounded) normals. The union is the one stroke: 5 x 0.3 plus pi 0.15^2.
    const Point p(0.1, 0.2);
    const Point q(0.1 + 3, 0.2 + 4);
    const PolygonWithHolesCollection u = Unite_G(
        PolygonCollection({Polygon(Segment(p, q), 0.3), Polygon(Segment(q, p), 0.3)}), k_Accuracy);
    ASSERT_EQ(u.size(), 1);
    EXPECT_NEAR(AreaOf(u), 5 * 0.3 + k_Pi * 0.0225, 1e-11);
}

TEST_F(BooleanDegenerate, ArcsTangentToSegmentsInsideAndOut) {
    // A stroke (0, 0)-(4, 0) of width 2 and the rectangle it is made of: the rectangle's
    // long sides coincide with the stroke's, its short sides are the caps' chords. The
    // union is the stroke; the stroke minus the rectangle is its two caps, which touch
    // nothing else.
    const Polygon stroke(Segment(Point(0, 0), Point(4, 0)), 2.0);
    const Polygon body = Rectangle(0, -1, 4, 1);
    const PolygonWithHolesCollection u = Unite_G(stroke, body, k_Accuracy);
    ASSERT_EQ(u.size(), 1);
    EXPECT_NEAR(AreaOf(u), 8 + k_Pi, k_Rounding);
    const PolygonWithHolesCollection caps = Subtract_G(stroke, body, k_Accuracy);
    ASSERT_EQ(caps.size(), 2);
    for (const PolygonWithHoles& c : caps.GetTree()) {
        EXPECT_NEAR(c.GetArea(), k_Pi / 2, k_Rounding);
        EXPECT_EQ(c.GetPolygon().GetEdgeCount(), 2);  // a half circle and its chord
    }
}

TEST_F(BooleanCollections, OverlappingMembersOfOneOperandCountOnce) {
    // The first operand's two squares overlap in [1, 2]^2 (area 4 + 4 - 1); the second
    // cuts the strip x in [0, 3], y in [1.5, 1.75] out of both (area 0.75).
    const PolygonWithHolesCollection a(
        std::vector<Polygon>{Rectangle(0, 0, 2, 2), Rectangle(1, 1, 3, 3)});
    const PolygonWithHolesCollection d =
        Subtract_G(a, PolygonCollection(Rectangle(0, 1.5, 3, 1.75)), k_Accuracy);
    EXPECT_NEAR(AreaOf(d), 7 - 0.75, k_Rounding);
    EXPECT_EQ(d.size(), 2);  // below and above the strip
    const PolygonWithHolesCollection u = Unite_G(a, PolygonWithHolesCollection(), k_Accuracy);
    EXPECT_EQ(u.size(), 2) << "an empty operand returns the other as it is";
    const PolygonWithHolesCollection v =
        Unite_G(a, PolygonWithHolesCollection(Rectangle(5, 5, 6, 6)), k_Accuracy);
    EXPECT_EQ(v.size(), 2);
    EXPECT_NEAR(AreaOf(v), 7 + 1.0, k_Rounding);
}

TEST_F(BooleanCollections, EmptyOperands) {
    const PolygonWithHolesCollection a(Rectangle(0, 0, 1, 1));
    const PolygonWithHolesCollection none;
    EXPECT_EQ(Subtract_G(a, PolygonCollection(), k_Accuracy).size(), 1);
    EXPECT_EQ(Subtract_G(a, none, k_Accuracy).size(), 1);
    EXPECT_TRUE(Subtract_G(none, a, k_Accuracy).empty());
    EXPECT_EQ(Unite_G(none, a, k_Accuracy).size(), 1);
    EXPECT_TRUE(Unite_G(PolygonCollection(), k_Accuracy).empty());
    EXPECT_TRUE(Subtract_G(Polygon(), Rectangle(0, 0, 1, 1), k_Accuracy).empty());
    EXPECT_EQ(Unite_G(Polygon(), Rectangle(0, 0, 1, 1), k_Accuracy).size(), 1);
}

TEST_F(BooleanCollections, CrowdedCollectionUnitesAsOneGraphWould) {
    // 400 traces and 100 vias in a 6 mm square overlap so much (each box meets dozens of
    // others) that the union runs as a cascade of partial unions; splitting the same
    // shapes into two operands unites them in one graph instead. Both must agree.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Polygon> shapes;
    for (int i = 0; i < 400; ++i) {
        const Point p(6 * unit(random), 6 * unit(random));
        const double a = 2 * k_Pi * unit(random);
        const double l = 0.3 + 1.7 * unit(random);
        shapes.emplace_back(
            Segment(p, Point(p.GetX() + l * std::cos(a), p.GetY() + l * std::sin(a))),
            0.1 + 0.2 * unit(random));
    }
    for (int i = 0; i < 100; ++i) {
        shapes.push_back(Disc(6 * unit(random), 6 * unit(random), 0.3 + 0.2 * unit(random)));
    }
    // The crowding, counted directly: every pair of shapes whose boxes meet.
    long meetings = 0;
    for (size_t i = 0; i < shapes.size(); ++i) {
        for (size_t j = 0; j < shapes.size(); ++j) {
            meetings += i != j && shapes[i].GetBBox().Meets(shapes[j].GetBBox());
        }
    }
    ASSERT_GT(double(meetings) / double(shapes.size()), 24.0);
    const PolygonWithHolesCollection cascade = Unite_G(PolygonCollection(shapes), k_Accuracy);
    const std::vector<Polygon> first(shapes.begin(), shapes.begin() + 250);
    const std::vector<Polygon> second(shapes.begin() + 250, shapes.end());
    const PolygonWithHolesCollection graph =
        Unite_G(PolygonWithHolesCollection(first), PolygonWithHolesCollection(second), k_Accuracy);
    EXPECT_EQ(cascade.size(), graph.size());
    EXPECT_EQ(HoleCount(cascade), HoleCount(graph));
    // Merged vertices move boundaries by at most the accuracy: the areas (about 30) agree
    // far better than 1e-9 of them.
    EXPECT_NEAR(AreaOf(cascade), AreaOf(graph), 1e-9 * AreaOf(graph));
}

/// A random shape of those the translator builds: a stroke, a circle, a rounded or a
/// rotated rectangle, within about 2 of the origin.
Polygon RandomShape(std::mt19937_64& random) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const Point p(2 * unit(random) - 1, 2 * unit(random) - 1);
    switch (random() % 4) {
    case 0: {
        const double a = 2 * k_Pi * unit(random);
        return Polygon(Segment(p, Point(p.GetX() + std::cos(a), p.GetY() + std::sin(a))),
                       0.1 + unit(random));
    }
    case 1:
        return Disc(p.GetX(), p.GetY(), 0.1 + unit(random));
    case 2:
        return Polygon(Box(p, Point(p.GetX() + unit(random), p.GetY() + unit(random))),
                       0.3 * unit(random));
    default:
        return Polygon(Rectangle(-0.5, -0.3, 0.5, 0.3)
                           .GetRotated(0, 0, Angle::FromRadians(unit(random)))
                           .GetTranslated(p - Point(0, 0)));
    }
}

TEST_F(BooleanRandom, InclusionExclusionHoldsForEveryCode) {
    // For shapes A and B: |A + B| + |A * B| = |A| + |B|, |A - B| + |A * B| = |A|, and
    // |A ^ B| = |A + B| - |A * B|. The areas of the operands come from the polygon area
    // formula alone, the others from the graph.
    std::mt19937_64 random(20261205);
    for (int i = 0; i < k_RandomCases; ++i) {
        const Polygon a = RandomShape(random);
        const Polygon b = RandomShape(random);
        PolyArcIntersectionGraph g(std::vector<PolygonWithHoles>{PolygonWithHoles(a)},
                                   std::vector<PolygonWithHoles>{PolygonWithHoles(b)}, k_Accuracy);
        const double u = g.GetResult(k_Union).GetArea();
        const double both = g.GetResult(k_Intersection).GetArea();
        const double either = g.GetResult(k_ExclusiveOr).GetArea();
        const double d = g.GetResult(k_Difference).GetArea();
        // Areas of order 1; each result sums a few dozen rounded terms.
        constexpr double k_Tolerance = 1e-11;
        EXPECT_NEAR(u + both, a.GetArea() + b.GetArea(), k_Tolerance) << "case " << i;
        EXPECT_NEAR(d + both, a.GetArea(), k_Tolerance) << "case " << i;
        EXPECT_NEAR(either, u - both, k_Tolerance) << "case " << i;
        // Swapped operands give the same union, and the other difference.
        EXPECT_NEAR(AreaOf(Unite_G(b, a, k_Accuracy)), u, k_Tolerance) << "case " << i;
        EXPECT_NEAR(AreaOf(Subtract_G(b, a, k_Accuracy)) + both, b.GetArea(), k_Tolerance)
            << "case " << i;
    }
}

TEST_F(BooleanRandom, TranslatedOperandsGiveTheTranslatedResult) {
    // Moving both operands by (64, -32) (exact for these magnitudes up to rounding of the
    // sums) moves the result: same member count, holes and area.
    std::mt19937_64 random(99);
    const Vector move(64, -32);
    for (int i = 0; i < k_RandomCases / 4; ++i) {
        std::vector<Polygon> shapes;
        for (int k = 0; k < 6; ++k) {
            shapes.push_back(RandomShape(random));
        }
        std::vector<Polygon> moved;
        for (const Polygon& p : shapes) {
            moved.push_back(p.GetTranslated(move));
        }
        const PolygonWithHolesCollection here = Unite_G(PolygonCollection(shapes), k_Accuracy);
        const PolygonWithHolesCollection there = Unite_G(PolygonCollection(moved), k_Accuracy);
        EXPECT_EQ(here.size(), there.size()) << "case " << i;
        EXPECT_EQ(HoleCount(here), HoleCount(there)) << "case " << i;
        // Coordinates near 64 carry about 1e-14 of rounding each.
        EXPECT_NEAR(AreaOf(here), AreaOf(there), 1e-10) << "case " << i;
    }
}

TEST_F(BooleanBadInput, NotANumberEmptyAndZeroLengthEdges) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Polygon square = Rectangle(0, 0, 1, 1);
    const Polygon broken({Point(0, 0), Point(nan, 0), Point(1, 1)}, false);
    // A member with coordinates that are not numbers covers nothing.
    const PolygonWithHolesCollection u = Unite_G(PolygonCollection({square, broken}), k_Accuracy);
    EXPECT_NEAR(AreaOf(u), 1.0, k_Rounding);
    Subtract_G(square, broken, k_Accuracy);
    Subtract_G(PolygonWithHolesCollection(broken), PolygonCollection(square), k_Accuracy);
    // Repeated vertices (zero-length edges) and a clockwise outline still give the union.
    const Polygon repeated(
        {Point(0.5, 0), Point(2, 0), Point(2, 0), Point(2, 1), Point(0.5, 1), Point(0.5, 1)},
        false);
    const Polygon clockwise({Point(0, 0), Point(0, 1), Point(-1, 1), Point(-1, 0)}, false);
    const PolygonWithHolesCollection v =
        Unite_G(PolygonCollection({square, repeated, clockwise}), k_Accuracy);
    ASSERT_EQ(v.size(), 1);
    EXPECT_NEAR(AreaOf(v), 3.0, k_Rounding);
    // A bow tie, a single point, a zero-width stroke.
    const Polygon bow({Point(0, 0), Point(1, 1), Point(1, 0), Point(0, 1)}, false);
    const Polygon point({Point(0.5, 0.5)}, false);
    const Polygon line(Segment(Point(0, 0), Point(1, 1)), 0);
    Unite_G(PolygonCollection({square, bow, point, line}), k_Accuracy);
    Subtract_G(PolygonWithHolesCollection(square), PolygonCollection({bow, point, line}),
               k_Accuracy);
}

TEST_F(BooleanPolygons, AccuracyBelowTheShapesToleranceIsReported) {
    // Coordinates up to 4 have the tolerance 1000 * 4 * DBL_EPSILON, about 8.9e-13. The
    // result is still the true difference: the graph works with that tolerance instead.
    const Polygon outer = Rectangle(0, 0, 4, 4);
    const Polygon cut = Rectangle(1, -1, 3, 1);
    const PolygonWithHolesCollection d = Subtract_G(outer, cut, 0.0);
    ExpectReports({{"Polygon", "accuracy >= base::GetMaxOf_T (GetEpsilon(), poly.GetEpsilon())"},
                   {"PolyArcIntersectionGraph",
                    "m_CalcAccuracy >= base::GetMaxOf_T (pp1.GetEpsilon(), pp2.GetEpsilon())"}});
    EXPECT_NEAR(AreaOf(d), 16 - 2, k_Rounding);
    // Collections admit 0.999 of their tolerance; the box of [0, 4]^2 and [1, 3] x [-1, 1]
    // spans (-1 .. 4) and has the tolerance of 4.
    const double tolerance = Box::FromBounds(0, -1, 4, 4).GetEpsilon();
    Subtract_G(PolygonWithHolesCollection(outer), PolygonCollection(cut), tolerance * 0.999);
    ExpectReports({});
    Unite_G(PolygonCollection({outer, cut}), tolerance * 0.99);
    ExpectReports({{"PolygonCollection", "accuracy >= pc.GetEpsilon() * 0.999"},
                   {"PolyArcIntersectionGraph",
                    "m_CalcAccuracy >= base::GetMaxOf_T (pp1.GetEpsilon(), pp2.GetEpsilon())"}});
}

}  // namespace
