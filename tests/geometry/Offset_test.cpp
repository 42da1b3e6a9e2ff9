#include "math/geometry/Offset.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "ArcModel.h"
#include "KernelTest.h"
#include "math/geometry/Circumference.h"
#include "math/geometry/PolygonWithHolesCollection.h"
#include "math/geometry/SelfIntersection.h"

using namespace geom;

namespace {

/// Rounding of a few dozen operations on values of order 1.
constexpr double k_Rounding = 1e-12;
/// Accuracy passed to the offsets: far below every feature of the test shapes.
constexpr double k_Accuracy = 1e-9;
const double k_Pi = std::acos(-1.0);

class OffsetEdges : public KernelTest {};
class Expansion : public KernelTest {};
class Shrinking : public KernelTest {};
class OffsetProperties : public KernelTest {};
class BadOffsetInput : public KernelTest {
protected:
    void TearDown() override { m_Recorder.assertions.clear(); }
};

Polygon Square(double x0, double y0, double side) {
    return Polygon(
        {Point(x0, y0), Point(x0 + side, y0), Point(x0 + side, y0 + side), Point(x0, y0 + side)},
        false);
}

Polygon Expanded(const Polygon& p, double by, int mode = k_RoundCorner) {
    return Expand_G(p, by, k_Accuracy, true, false, mode, 0.0).GetPolygon();
}

PolygonWithHolesCollection Shrunk(const Polygon& p, double by, int mode = k_RoundCorner) {
    return Shrink_G(p, by, k_Accuracy, true, mode, 0.0);
}

/// The only member's outer polygon (empty unless there is exactly one).
Polygon Only(const PolygonWithHolesCollection& c) {
    return c.GetCount() == 1 ? c.GetTree().front().GetPolygon() : Polygon();
}

std::vector<Point> SampleBoundary(const PolyArc& p) {
    return model::SampleRing(p, 8);
}

/// A simple polygon, star-shaped round the origin: n vertices at sorted random angles and
/// random radii (spikes, bays, narrow necks); with `bulge`, every other edge an arc bulging
/// out or in by up to a third of its chord.
std::vector<Arc> RandomStar(std::mt19937& random, int n, bool bulge) {
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Point> ring;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * k_Pi * (i + 0.8 * unit(random)) / n;
        const double r = 0.2 + 0.8 * unit(random);
        ring.emplace_back(r * std::cos(a), r * std::sin(a));
    }
    std::vector<Arc> ret;
    for (int i = 0; i < n; ++i) {
        const Point& a = ring[i];
        const Point& b = ring[(i + 1) % n];
        const double h = bulge && i % 2 ? (unit(random) - 0.5) * 0.66 * a.GetDistanceTo(b) : 0.0;
        ret.emplace_back(a, b, h);
    }
    return ret;
}

TEST_F(OffsetEdges, EdgesMoveToTheirRight) {
    // (0,0) -> (2,0) has its right at -y; axis-parallel offsets are exact, and a height
    // within the accuracy counts as straight. The lower half circle about (1,0) turns
    // counter-clockwise, so its right is away from the centre: the radius grows by d
    // between the same rays. The upper half turns clockwise: its radius shrinks, to
    // nothing at 1. A whole circle stays whole at its azimuth. Lengths and azimuths that are
    // binary fractions or quarter turns give exact results.
    const Arc circle(Circumference(Point(1, 1), 1), k_Degree_90, k_CCW);
    const struct {
        const char* name;
        Arc edge;
        double d;
        bool survives;
        Arc expected;
        double tolerance;
    } cases[] = {
        {"nearly straight", Arc(Point(0, 0), Point(2, 0), 1e-10), 0.5, true,
         Arc(Point(0, -0.5), Point(2, -0.5)), 0},
        {"straight, inwards", Arc(Point(0, 0), Point(2, 0)), -0.5, true,
         Arc(Point(0, 0.5), Point(2, 0.5)), 0},
        {"a point", Arc(Point(1, 1), Point(1 + 1e-10, 1)), 0.5, false, Arc(), 0},
        {"counter-clockwise half", Arc(Point(0, 0), Point(2, 0), -1), 0.5, true,
         Arc(Point(-0.5, 0), Point(2.5, 0), -1.5), k_Rounding},
        {"clockwise half", Arc(Point(0, 0), Point(2, 0), 1), 0.5, true,
         Arc(Point(0.5, 0), Point(1.5, 0), 0.5), k_Rounding},
        {"clockwise half, used up", Arc(Point(0, 0), Point(2, 0), 1), 1 - 1e-10, false, Arc(), 0},
        {"whole circle", circle.GetReversed(), 0.5, true,
         Arc(Circumference(Point(1, 1), 0.5), k_Degree_90, k_CW), 0},
    };
    for (const auto& c : cases) {
        Arc out;
        ASSERT_EQ(OffsetEdge_G(c.edge, c.d, k_Accuracy, &out), c.survives) << c.name;
        if (c.survives) {
            EXPECT_TRUE(out.IsEqualTo(c.expected, c.tolerance)) << c.name;
            EXPECT_EQ(out.GetDirection(), c.expected.GetDirection()) << c.name;
        }
    }
}

TEST_F(OffsetEdges, CrossingEdgesAreCutBackAndLinksSnap) {
    // The upper unit half circle, clockwise from (-1,0) to (1,0), is crossed by x = 0 at
    // (0,1): a quarter circle is left. The third edge starts within the accuracy of the
    // second's end and is linked there.
    std::vector<Arc> joined;
    const std::vector<Arc> edges{Arc(Point(-1, 0), Point(1, 0), 1), Arc(Point(0, 2), Point(0, -1)),
                                 Arc(Point(0, -1 + 1e-10), Point(-1, 0))};
    ASSERT_TRUE(JoinOffsetEdges_G(edges, k_Closed, k_RoundCorner, 0, k_Accuracy, &joined));
    ASSERT_EQ(joined.size(), 3u);
    EXPECT_TRUE(joined[0].GetEnd().IsEqualTo(Point(0, 1), k_Rounding));
    EXPECT_NEAR(joined[0].GetHeight(), 1 - 1 / std::sqrt(2.0), k_Rounding);
    EXPECT_EQ(joined[2].GetStart(), Point(0, -1));
}

TEST_F(OffsetEdges, CornerModesFillTheGap) {
    // The bottom and right sides of the unit square moved out by 1: the gap runs from
    // (1,-1) to (2,0) round the corner (1,0); the mitre point is (2,-1), 1 from both. A
    // round corner is a counter-clockwise quarter circle of radius 1: height
    // -(1 - 1/sqrt 2). Beyond a limit of 0.5 a mitre is cut square at 0.5 along both
    // tangents, or becomes the bevel. Any other mode leaves the gap, which is reported.
    const std::vector<Arc> edges{Arc(Point(0, -1), Point(1, -1)), Arc(Point(2, 0), Point(2, 1))};
    const Arc bevel(Point(1, -1), Point(2, 0));
    const std::vector<Arc> mitre{Arc(Point(1, -1), Point(2, -1)), Arc(Point(2, -1), Point(2, 0))};
    const struct {
        int mode;
        double parameter;
        std::vector<Arc> corner;
    } cases[] = {
        {k_RoundCorner, 0, {Arc(Point(1, -1), Point(2, 0), 1 / std::sqrt(2.0) - 1)}},
        {k_StraightCorner, 0, {bevel}},
        {k_ClippedMitreCorner, 1, mitre},
        {k_MitreOrBevelCorner, 1, mitre},
        {k_ClippedMitreCorner,
         0.5,
         {Arc(Point(1, -1), Point(1.5, -1)), Arc(Point(1.5, -1), Point(2, -0.5)),
          Arc(Point(2, -0.5), Point(2, 0))}},
        {k_MitreOrBevelCorner, 0.5, {bevel}},
        {7, 0, {}},
    };
    for (const auto& c : cases) {
        std::vector<Arc> joined;
        EXPECT_EQ(JoinOffsetEdges_G(edges, k_Open, c.mode, c.parameter, k_Accuracy, &joined),
                  c.mode != 7);
        const std::vector<Arc> corner(joined.begin() + 1, joined.end() - 1);
        ASSERT_EQ(corner.size(), c.corner.size()) << c.mode;
        // Only the round corner's height comes from a square root.
        const double tolerance = c.mode == k_RoundCorner ? k_Rounding : 0.0;
        for (size_t k = 0; k < corner.size(); ++k) {
            EXPECT_TRUE(corner[k].IsEqualTo(c.corner[k], tolerance)) << c.mode << " " << k;
        }
    }
    ExpectReports({{"Offset", "IsPolyArcSequence_G(ret, open_or_closed)"}});
}

TEST_F(Expansion, UnitSquareGetsRoundOrStraightCorners) {
    // Round: the square, four sides moved out (1 + 4 * 0.5) and four quarter discs, as
    // eight edges; without cleaning, the joined edges are the same outline here. Straight
    // corners cut each corner square of side 0.5 in half: 3 + 4 * 0.125.
    const Polygon grown = Expanded(Square(0, 0, 1), 0.5);
    EXPECT_NEAR(grown.GetArea(), 3 + k_Pi / 4, k_Rounding);
    EXPECT_EQ(grown.GetEdgeCount(), 8);
    EXPECT_TRUE(Expand_G(Square(0, 0, 1), 0.5, k_Accuracy, false, false, 0, 0)
                    .GetPolygon()
                    .IsEqualTo(grown, k_Rounding));
    EXPECT_NEAR(Expanded(Square(0, 0, 1), 0.5, k_StraightCorner).GetArea(), 3.5, k_Rounding);
}

TEST_F(Expansion, DegenerateInputsComeBackUnchangedAndCirclesStayCircles) {
    const Polygon square = Square(0, 0, 1);
    EXPECT_TRUE(Expanded(square, 0).IsSameImplementation(square));
    EXPECT_TRUE(
        Expanded(square, std::numeric_limits<double>::infinity()).IsSameImplementation(square));
    // One zero-length edge: no edge survives the offset.
    const Polygon point({Point(2, 3)}, false);
    EXPECT_TRUE(Expanded(point, 1).IsSameImplementation(point));
    // Radii and offsets that are binary fractions give bit-exact circles.
    EXPECT_EQ(Expanded(Polygon(Circle(Point(0.25, -2), 1)), 0.5).GetEdges(),
              Polygon(Circle(Point(0.25, -2), 1.5)).GetEdges());
    EXPECT_EQ(Only(Shrunk(Polygon(Circle(Point(0.25, -2), 1)), 0.5)).GetEdges(),
              Polygon(Circle(Point(0.25, -2), 0.5)).GetEdges());
}

TEST_F(Expansion, OneWholeCircleEdgeSurvivesSelfIntersectionRemoval) {
    // The input that broke it: the removal split the only edge, a whole circle, at its
    // start alone into one zero-length piece and so dropped it.
    const Polygon circle(Circle(Point(1, 2), 1.5));
    for (const bool keep_holes : {false, true}) {
        EXPECT_EQ(Only(RemoveSelfIntersections_G(circle, k_Accuracy, keep_holes, false)).GetEdges(),
                  circle.GetEdges());
    }
    EXPECT_EQ(RemoveSelfIntersections_G(circle, k_Accuracy).GetCount(), 1);
}

TEST_F(Expansion, StrokesGrowIntoWiderStrokes) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> coordinate(-5, 5);
    std::uniform_real_distribution<double> length(0.1, 2);
    for (int i = 0; i < k_RandomCases; ++i) {
        const Segment s(Point(coordinate(random), coordinate(random)),
                        Point(coordinate(random), coordinate(random)));
        const double width = length(random);
        const double by = length(random);
        // Rounding of coordinates of order 10.
        EXPECT_TRUE(Expanded(Polygon(s, width), by).IsEqualTo(Polygon(s, width + 2 * by), 1e-11));
    }
}

TEST_F(Shrinking, SquaresAndStrips) {
    // Corner mode 7 fills no gap and would be reported, had any offsetting taken place.
    EXPECT_TRUE(Shrunk(Square(0, 0, 1), 1.5, 7).IsEmpty());
    EXPECT_TRUE(Shrunk(Polygon(), 0.5).IsEmpty());
    EXPECT_TRUE(Only(Shrunk(Square(0, 0, 1), 0, 7)).IsEqualTo(Square(0, 0, 1), 0));
    // The offset sides cross and are cut back: binary fractions, so exactly the square
    // from 0.25 to 0.75, cleaned or not.
    EXPECT_TRUE(Only(Shrunk(Square(0, 0, 1), 0.25)).IsEqualTo(Square(0.25, 0.25, 0.5), 0));
    EXPECT_TRUE(Only(Shrink_G(Square(0, 0, 1), 0.25, k_Accuracy, false, 0, 0))
                    .IsEqualTo(Square(0.25, 0.25, 0.5), 0));
    // Past the middle every side's cuts pass each other (at 0.4 and 0.6 along it): cut
    // back, the leftovers would form a counter-clockwise square of side 0.2.
    for (const double by : {0.5 + 1e-6, 0.6, 0.99}) {
        EXPECT_TRUE(Shrunk(Square(0, 0, 1), by).IsEmpty()) << by;
        EXPECT_TRUE(Shrunk(Square(0, 0, 1), by, k_StraightCorner).IsEmpty()) << by;
    }
    // A 4 x 1 strip by 0.6: the long sides survive their cuts, the short ones do not.
    EXPECT_TRUE(Shrunk(Polygon({Point(0, 0), Point(4, 0), Point(4, 1), Point(0, 1)}, false), 0.6)
                    .IsEmpty());
}

TEST_F(Shrinking, AUFallsApart) {
    // Arms 3 wide and 5 high on a base 1 high, with a slot 1 wide between them. By 0.4 a
    // band 0.2 high is left of the base; by 1.1 the base is gone and each arm leaves
    // [1.1, 1.9] x [1.1, 3.9] (or its mirror): above y = 1.1 the slot's wall is nearer
    // than its corner.
    const Polygon u({Point(0, 0), Point(7, 0), Point(7, 5), Point(4, 5), Point(4, 1), Point(3, 1),
                     Point(3, 5), Point(0, 5)},
                    false);
    EXPECT_EQ(Shrunk(u, 0.4).GetCount(), 1);
    const PolygonWithHolesCollection arms = Shrunk(u, 1.1);
    ASSERT_EQ(arms.GetCount(), 2);
    for (const PolygonWithHoles& arm : arms.GetTree()) {
        EXPECT_NEAR(arm.GetArea(), 0.8 * 2.8, k_Rounding);
    }
}

TEST_F(BadOffsetInput, BadParametersAreReportedAndBadCoordinatesTolerated) {
    // A negative accuracy counts as 0.
    EXPECT_TRUE(Only(Shrink_G(Square(0, 0, 1), 0.25, -1, true, 0, 0))
                    .IsEqualTo(Square(0.25, 0.25, 0.5), 0));
    ExpectReports({{"Offset", "by >= 0 && accuracy >= 0"}});
    // A distance that is no number fails the offset, which leaves the polygon as it is.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(Only(Shrunk(Square(0, 0, 1), nan)).IsEqualTo(Square(0, 0, 1), 0));
    EXPECT_TRUE(Expanded(Square(0, 0, 1), nan).IsEqualTo(Square(0, 0, 1), 0));
    ExpectReports({{"Offset", "by >= 0 && accuracy >= 0"}, {"Offset", "by >= 0 && accuracy >= 0"}});
    // So does a gap that the corner mode leaves open (the square's corners, grown).
    EXPECT_TRUE(Expanded(Square(0, 0, 1), 0.25, 7).IsEqualTo(Square(0, 0, 1), 0));
    ExpectReports({{"Offset", "IsPolyArcSequence_G(ret, open_or_closed)"}});
    // Bad coordinates give some result, never a crash or a hang (sanitiser builds too).
    const double inf = std::numeric_limits<double>::infinity();
    for (const double bad : {nan, inf, -inf, 1e300}) {
        for (const Polygon& p :
             {Polygon({Point(0, 0), Point(1, 0), Point(bad, 1)}, false),
              Polygon({Arc(Point(0, 0), Point(1, 0), bad), Arc(Point(1, 0), Point(0, 0), 0.5)},
                      false),
              Polygon(Circle(Point(bad, 0), 1)), Polygon(Segment(Point(0, 0), Point(1, 0)), bad)}) {
            for (const int mode : {0, 1, 2, 3, 7}) {
                Expand_G(p, 0.5, k_Accuracy, mode % 2, mode < 2, mode, 0.25);
                Shrink_G(p, 0.25, k_Accuracy, mode % 2, mode, 0.25);
            }
        }
        Expand_G(Square(0, 0, 1), bad, bad, true, false, 0, bad);
        Shrink_G(Square(0, 0, 1), bad, bad, true, 2, bad);
    }
}

TEST_F(OffsetProperties, ConvexPolygonsFollowSteinerAndOpeningsStayInside) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> count(3, 30);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < k_RandomCases; ++i) {
        // Points at sorted random angles on the unit circle.
        std::vector<Point> ring;
        const int n = count(random);
        double perimeter = 0;
        for (int k = 0; k < n; ++k) {
            const double a = 2 * k_Pi * (k + 0.9 * unit(random)) / n;
            ring.emplace_back(std::cos(a), std::sin(a));
            perimeter += k > 0 ? double(ring[k].GetDistanceTo(ring[k - 1])) : 0.0;
        }
        perimeter += ring.back().GetDistanceTo(ring.front());
        const Polygon p(ring, true);
        const double d = 0.01 + 0.5 * unit(random);
        // Sums of some dozens of areas of order 1.
        EXPECT_NEAR(Expanded(p, d).GetArea(), p.GetArea() + perimeter * d + k_Pi * d * d, 1e-11);
        // Shrinking loses the corners, which expanding back rounds off: never more than
        // before, and a convex polygon stays one piece or none.
        const PolygonWithHolesCollection shrunk = Shrunk(p, d);
        ASSERT_LE(shrunk.GetCount(), 1);
        if (shrunk.GetCount() == 1) {
            const Polygon opened = Expanded(Only(shrunk), d);
            EXPECT_LE(opened.GetArea(), p.GetArea() + 1e-12);
            for (const Point& q : SampleBoundary(opened)) {
                EXPECT_TRUE(model::EvenOddInside(ring, q)
                            || model::DistanceToEdges(q, p.GetEdges()) < 1e-9);
            }
        }
    }
}

TEST_F(OffsetProperties, StarOutlinesOffsetToTheDistance) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> count(3, 25);
    std::uniform_real_distribution<double> unit(0, 1);
    // Samples of offset edges come from independent circle fits, which lose a few digits
    // on small arcs; points this close to an offset boundary may fall either way.
    constexpr double k_Sample = 1e-8;
    constexpr double k_Band = 1e-7;
    int checked = 0;
    for (int i = 0; i < k_RandomCases; ++i) {
        const std::vector<Arc> edges = RandomStar(random, count(random), i % 2);
        const Polygon p(edges, true);
        if (p.IsSelfIntersecting(k_Accuracy)) {
            continue;  // a bulge ran into a neighbour: not a simple outline
        }
        ++checked;
        // An arc whose radius the offset would take through zero vanishes, and the corner
        // that bridges its neighbours is no true offset: stay below every arc's radius.
        double smallest_radius = 1;
        for (const Arc& e : edges) {
            smallest_radius = e.GetHeight() != 0
                                  ? std::min(smallest_radius, model::FitArc(e).m_Radius)
                                  : smallest_radius;
        }
        const double d = (0.01 + 0.98 * unit(random)) * std::min(0.3, smallest_radius);
        const PolygonWithHoles grown = Expand_G(p, d, k_Accuracy, true, false, 0, 0);
        const PolygonWithHolesCollection shrunk = Shrunk(p, d);
        std::vector<Point> samples = SampleBoundary(grown.GetPolygon());
        for (const PolygonWithHoles& piece : shrunk.GetTree()) {
            EXPECT_EQ(piece.GetHoleCount(), 0);
            for (const Point& q : SampleBoundary(piece.GetPolygon())) {
                samples.push_back(q);
            }
        }
        for (const Point& q : samples) {
            EXPECT_NEAR(model::DistanceToEdges(q, edges), d, k_Sample) << i;
        }
        // Which side of the outline a point lies on, from a fine polygonal sampling: wrong
        // only within 1e-3 of the outline, where both checks below expect the same.
        const std::vector<Point> fine = model::SampleRing(p, 64);
        for (int k = 0; k < 50; ++k) {
            const Point q(3 * unit(random) - 1.5, 3 * unit(random) - 1.5);
            const double to_boundary = model::DistanceToEdges(q, edges);
            const double signed_distance =
                model::EvenOddInside(fine, q) ? -to_boundary : to_boundary;
            if (std::fabs(signed_distance - d) > k_Band) {
                EXPECT_EQ(grown.Contains(q, 0), signed_distance < d) << i << " " << k;
            }
            if (std::fabs(signed_distance + d) > k_Band) {
                EXPECT_EQ(shrunk.Contains(q, 0), signed_distance < -d) << i << " " << k;
            }
        }
    }
    // Most random outlines are simple.
    EXPECT_GT(checked, k_RandomCases / 2);
}

}  // namespace
