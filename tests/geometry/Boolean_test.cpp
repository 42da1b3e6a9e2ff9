#include "math/geometry/Boolean.h"

#include <cmath>
#include <limits>
#include <random>
#include <thread>
#include <vector>

#include "KernelTest.h"
#include "math/geometry/PolyArcIntersectionGraph.h"

using namespace geom;

namespace {

class BooleanPolygons : public KernelTest {};
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

int HoleCount(const PolygonWithHolesCollection& c) {
    int n = 0;
    for (const PolygonWithHoles& p : c.GetTree()) {
        n += p.GetHoleCount();
    }
    return n;
}

TEST_F(BooleanPolygons, HandWorkedUnionsAndDifferences) {
    // Each case runs through the polygon form (with its shortcuts for disjoint and nested
    // operands) and through the collection form (one graph unless a member meets nothing).
    const Polygon square = Rectangle(0, 0, 2, 2);
    const Polygon stroke(Segment(Point(0, 0), Point(4, 0)), 2.0);  // 4 x 2 plus pi
    const double lens = 2 * (k_Pi / 3 - std::sqrt(3.0) / 4);       // of unit discs 1 apart
    // The square minus a shape covering all of it but a triangle below its top side: base
    // 0.012 from (0.5, 1) to (0.512, 1), apex (0.506, 0.988), area 7.2e-5. Every vertex
    // and edge of it is more than 0.01 from the others, so only its area decides whether
    // it is below the accuracy squared.
    const Polygon cover({Point(-1, -1), Point(2, -1), Point(2, 2), Point(0.512, 2), Point(0.512, 1),
                         Point(0.506, 0.988), Point(0.5, 1), Point(0.5, 2), Point(-1, 2)},
                        true);
    struct Case {
        const char* name;
        bool unite;
        Polygon a, b;
        double accuracy, area;
        int members, holes;
    };
    const Case cases[] = {
        {"square minus an inner square", false, Rectangle(0, 0, 4, 4), Rectangle(1, 1, 3, 3),
         k_Accuracy, 16 - 4, 1, 1},
        {"disjoint difference", false, Rectangle(0, 0, 1, 1), Rectangle(2, 0, 3, 1), k_Accuracy, 1,
         1, 0},
        {"square minus a containing one", false, Rectangle(1, 1, 2, 2), Rectangle(0, 0, 3, 3),
         k_Accuracy, 0, 0, 0},
        {"equal squares: every side common", false, square, square, k_Accuracy, 0, 0, 0},
        {"squares sharing a side", true, Rectangle(0, 0, 1, 1), Rectangle(1, 0, 2, 1), k_Accuracy,
         2, 1, 0},
        {"overlapping unit discs", true, Disc(0, 0, 1), Disc(1, 0, 1), k_Accuracy, 2 * k_Pi - lens,
         1, 0},
        {"sliver above the accuracy squared", false, Rectangle(0, 0, 1, 1), cover, 0.001, 7.2e-5, 1,
         0},
        {"sliver below it", false, Rectangle(0, 0, 1, 1), cover, 0.01, 0, 0, 0},
        // A disc touching the side x = 2 from outside at (2, 1) stays apart.
        {"touching disc, united", true, square, Disc(2.5, 1, 0.5), k_Accuracy, 4 + k_Pi / 4, 2, 0},
        {"touching disc, subtracted", false, square, Disc(2.5, 1, 0.5), k_Accuracy, 4, 1, 0},
        // The inscribed disc touches all four sides: four corners meeting at points only.
        {"inscribed disc", false, square, Disc(1, 1, 1), k_Accuracy, 4 - k_Pi, 4, 0},
        // A disc inside touching the side y = 0: one region whose hole touches its outline.
        {"disc touching from inside", false, square, Disc(1, 0.5, 0.5), k_Accuracy, 4 - k_Pi / 4, 1,
         1},
        // The cut shares (1, 0)-(3, 0) with the bottom side: a notch, not a hole.
        {"notch", false, Rectangle(0, 0, 4, 4), Rectangle(1, 0, 3, 1), k_Accuracy, 14, 1, 0},
        // The stroke's long sides coincide with the rectangle's, its caps' chords are the
        // short sides: the union is the stroke, the difference the two caps.
        {"stroke and its body, united", true, stroke, Rectangle(0, -1, 4, 1), k_Accuracy, 8 + k_Pi,
         1, 0},
        {"stroke minus its body", false, stroke, Rectangle(0, -1, 4, 1), k_Accuracy, k_Pi, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PolygonWithHolesCollection direct =
            c.unite ? Unite_G(c.a, c.b, c.accuracy) : Subtract_G(c.a, c.b, c.accuracy);
        const PolygonWithHolesCollection graph =
            c.unite
                ? Unite_G(PolygonCollection({c.a, c.b}), c.accuracy)
                : Subtract_G(PolygonWithHolesCollection(c.a), PolygonCollection(c.b), c.accuracy);
        for (const PolygonWithHolesCollection* r : {&direct, &graph}) {
            EXPECT_NEAR(r->GetArea(), c.area, k_Rounding);
            EXPECT_EQ(r->size(), c.members);
            EXPECT_EQ(HoleCount(*r), c.holes);
        }
    }
    // The square with its hole is made of the operands themselves; a disjoint difference
    // (and a collection member that nothing comes near) is the first operand's very
    // implementation.
    const PolygonWithHoles holed = Subtract_G(cases[0].a, cases[0].b, k_Accuracy).GetTree().front();
    EXPECT_TRUE(holed.GetPolygon().IsEqualTo(cases[0].a, 0));
    EXPECT_TRUE(holed.GetHoles().GetTree().front().IsEqualTo(cases[0].b, 0));
    for (const PolygonWithHolesCollection& r :
         {Subtract_G(cases[1].a, cases[1].b, k_Accuracy),
          Subtract_G(PolygonWithHolesCollection(cases[1].a), PolygonCollection(cases[1].b),
                     k_Accuracy)}) {
        EXPECT_TRUE(r.GetTree().front().GetPolygon().IsSameImplementation(cases[1].a));
    }
    // The union of the discs is two counter-clockwise arcs.
    const std::vector<Arc> edges =
        Unite_G(cases[5].a, cases[5].b, k_Accuracy).GetTree().front().GetPolygon().GetEdges();
    ASSERT_EQ(edges.size(), 2u);
    EXPECT_TRUE(edges[0].GetHeight() < 0 && edges[1].GetHeight() < 0);
}

TEST_F(BooleanCollections, StackedIdenticalShapesCountOnce) {
    // Three copies of a stroke (5 x 1 plus pi 0.25) and three of a circle, united and
    // subtracted.
    const Polygon stroke(Segment(Point(0, 0), Point(3, 4)), 1.0);
    const Polygon disc = Disc(10, 0, 1);
    const PolygonWithHolesCollection u =
        Unite_G(PolygonCollection({stroke, stroke, stroke, disc, disc, disc}), k_Accuracy);
    ASSERT_EQ(u.size(), 2);
    EXPECT_NEAR(u.GetArea(), 5 + k_Pi * 0.25 + k_Pi, 1e-11);
    EXPECT_TRUE(Subtract_G(PolygonWithHolesCollection(std::vector<Polygon>{stroke, stroke}),
                           PolygonCollection(stroke), k_Accuracy)
                    .empty());
}

TEST_F(BooleanCollections, StackedStrokesDrawnInOppositeDirections) {
    // The same trace stroked from p to q and from q to p: the caps' ends come out of
    // different (rounded) normals. The union is the one stroke: 5 x 0.3 plus pi 0.15^2.
    const Point p(0.1, 0.2);
    const Point q(0.1 + 3, 0.2 + 4);
    const PolygonWithHolesCollection u = Unite_G(
        PolygonCollection({Polygon(Segment(p, q), 0.3), Polygon(Segment(q, p), 0.3)}), k_Accuracy);
    ASSERT_EQ(u.size(), 1);
    EXPECT_NEAR(u.GetArea(), 5 * 0.3 + k_Pi * 0.0225, 1e-11);
}

TEST_F(BooleanCollections, OverlappingMembersAndEmptyOperands) {
    // The first operand's two squares overlap in [1, 2]^2 (area 4 + 4 - 1); the second
    // cuts the strip x in [0, 3], y in [1.5, 1.75] out of both (area 0.75), leaving a part
    // below the strip and one above. A member with a hole touching its outline along the
    // bottom side covers neither side of the shared part.
    const PolygonWithHolesCollection a(
        std::vector<Polygon>{Rectangle(0, 0, 2, 2), Rectangle(1, 1, 3, 3)});
    const PolygonWithHolesCollection d =
        Subtract_G(a, PolygonCollection(Rectangle(0, 1.5, 3, 1.75)), k_Accuracy);
    EXPECT_NEAR(d.GetArea(), 7 - 0.75, k_Rounding);
    EXPECT_EQ(d.size(), 2);
    EXPECT_NEAR(Unite_G(a, PolygonWithHolesCollection(Rectangle(5, 5, 6, 6)), k_Accuracy).GetArea(),
                7 + 1.0, k_Rounding);
    PolygonWithHoles notched(Rectangle(0, 0, 4, 4));
    notched.AddHole(Rectangle(1, 0, 3, 1));
    EXPECT_NEAR(Unite_G(PolygonWithHolesCollection(notched),
                        PolygonWithHolesCollection(Disc(9, 9, 1)), k_Accuracy)
                    .GetArea(),
                14.0 + k_Pi, k_Rounding);
    // An empty operand returns the other as it is.
    const PolygonWithHolesCollection none;
    EXPECT_EQ(Unite_G(a, none, k_Accuracy).size(), 2);
    EXPECT_EQ(Unite_G(none, a, k_Accuracy).size(), 2);
    EXPECT_EQ(Subtract_G(a, none, k_Accuracy).size(), 2);
    EXPECT_EQ(Subtract_G(a, PolygonCollection(), k_Accuracy).size(), 2);
    EXPECT_TRUE(Subtract_G(none, a, k_Accuracy).empty());
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
    EXPECT_NEAR(cascade.GetArea(), graph.GetArea(), 1e-9 * graph.GetArea());
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

TEST_F(BooleanRandom, InclusionExclusionHoldsForEveryOperation) {
    // For shapes A and B: |A + B| + |A * B| = |A| + |B|, |A - B| + |A * B| = |A|, and
    // |A ^ B| = |A + B| - |A * B|. The areas of the operands come from the polygon area
    // formula alone, the others from the graph.
    std::mt19937_64 random(20261205);
    for (int i = 0; i < k_RandomCases; ++i) {
        const Polygon a = RandomShape(random);
        const Polygon b = RandomShape(random);
        PolyArcIntersectionGraph g(std::vector<PolygonWithHoles>{PolygonWithHoles(a)},
                                   std::vector<PolygonWithHoles>{PolygonWithHoles(b)}, k_Accuracy);
        const double u = g.GetResult(BooleanOperation::k_Union).GetArea();
        const double both = g.GetResult(BooleanOperation::k_Intersection).GetArea();
        const double either = g.GetResult(BooleanOperation::k_ExclusiveOr).GetArea();
        const double d = g.GetResult(BooleanOperation::k_Difference).GetArea();
        // Areas of order 1; each result sums a few dozen rounded terms.
        constexpr double k_Tolerance = 1e-11;
        EXPECT_NEAR(u + both, a.GetArea() + b.GetArea(), k_Tolerance) << "case " << i;
        EXPECT_NEAR(d + both, a.GetArea(), k_Tolerance) << "case " << i;
        EXPECT_NEAR(either, u - both, k_Tolerance) << "case " << i;
        // Swapped operands give the same union, and the other difference.
        EXPECT_NEAR(Unite_G(b, a, k_Accuracy).GetArea(), u, k_Tolerance) << "case " << i;
        EXPECT_NEAR(Subtract_G(b, a, k_Accuracy).GetArea() + both, b.GetArea(), k_Tolerance)
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
        std::vector<Polygon> moved;
        for (int k = 0; k < 6; ++k) {
            shapes.push_back(RandomShape(random));
            moved.push_back(shapes.back().GetTranslated(move));
        }
        const PolygonWithHolesCollection here = Unite_G(PolygonCollection(shapes), k_Accuracy);
        const PolygonWithHolesCollection there = Unite_G(PolygonCollection(moved), k_Accuracy);
        EXPECT_EQ(here.size(), there.size()) << "case " << i;
        EXPECT_EQ(HoleCount(here), HoleCount(there)) << "case " << i;
        // Coordinates near 64 carry about 1e-14 of rounding each.
        EXPECT_NEAR(here.GetArea(), there.GetArea(), 1e-10) << "case " << i;
    }
}

TEST_F(BooleanRandom, TwoThreadsUniteAsOneThreadDoes) {
    // Both threads unite the same shared shapes, in opposite orders, while the other does
    // the same; each result must equal the one computed here alone, bit for bit. Under
    // ThreadSanitizer (`make tsan`) this also finds any state the kernel shares unguarded.
    std::mt19937_64 random(4242);
    std::vector<std::vector<Polygon>> batches(12);
    std::vector<PolygonWithHolesCollection> expected;
    for (std::vector<Polygon>& batch : batches) {
        for (int k = 0; k < 10; ++k) {
            batch.push_back(RandomShape(random));
        }
        expected.push_back(Unite_G(PolygonCollection(batch), k_Accuracy));
    }
    std::vector<PolygonWithHolesCollection> results[2];
    const auto work = [&](int thread) {
        results[thread].resize(batches.size());
        for (size_t k = 0; k < batches.size(); ++k) {
            const size_t b = thread == 0 ? k : batches.size() - 1 - k;
            results[thread][b] = Unite_G(PolygonCollection(batches[b]), k_Accuracy);
        }
    };
    std::thread first(work, 0);
    std::thread second(work, 1);
    first.join();
    second.join();
    for (const std::vector<PolygonWithHolesCollection>& result : results) {
        for (size_t b = 0; b < batches.size(); ++b) {
            EXPECT_TRUE(result[b].IsEqualTo(expected[b], 0)) << "batch " << b;
        }
    }
}

TEST_F(BooleanBadInput, NotANumberEmptyAndZeroLengthEdges) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Polygon square = Rectangle(0, 0, 1, 1);
    const Polygon broken({Point(0, 0), Point(nan, 0), Point(1, 1)}, false);
    // A member with coordinates that are not numbers covers nothing.
    EXPECT_NEAR(Unite_G(PolygonCollection({square, broken}), k_Accuracy).GetArea(), 1.0,
                k_Rounding);
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
    EXPECT_NEAR(v.GetArea(), 3.0, k_Rounding);
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
    ExpectReports({{"Polygon", "accuracy >= base::GetMaxOf_T(a.GetEpsilon(), b.GetEpsilon())"},
                   {"PolyArcIntersectionGraph",
                    "m_CalcAccuracy >= base::GetMaxOf_T(b1.GetEpsilon(), b2.GetEpsilon())"}});
    EXPECT_NEAR(d.GetArea(), 16 - 2, k_Rounding);
    // Collections admit 0.999 of their tolerance; the box of [0, 4]^2 and [1, 3] x [-1, 1]
    // spans (-1 .. 4) and has the tolerance of 4.
    const double tolerance = Box::FromBounds(0, -1, 4, 4).GetEpsilon();
    Subtract_G(PolygonWithHolesCollection(outer), PolygonCollection(cut), tolerance * 0.999);
    ExpectReports({});
    Unite_G(PolygonCollection({outer, cut}), tolerance * 0.99);
    ExpectReports({{"PolygonCollection", "accuracy >= members.GetEpsilon() * 0.999"},
                   {"PolyArcIntersectionGraph", "m_CalcAccuracy >= box.GetEpsilon()"}});
}

}  // namespace
