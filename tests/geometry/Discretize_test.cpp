#include "math/geometry/Discretize.h"

#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "KernelTest.h"
#include "math/geometry/Circumference.h"
#include "math/geometry/Exception.h"
#include "math/geometry/Polygon.h"

using namespace geom;

namespace {

/// Rounding of a few operations on values of order 1.
constexpr double k_Rounding = 1e-13;
const double k_Pi = std::acos(-1.0);
const Angle k_Step20(Angle::k_Degrees, 20);

class CircleDiscretisation : public KernelTest {};
class PolyArcDiscretisation : public KernelTest {};

/// The code of the geom::Exception that `f` throws, or 0.
template <class F>
int GetThrownCode(F f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.GetCode();
    }
    return 0;
}

/// Counter-clockwise angle from a to b about c, in [0, 2 pi).
double TurnAbout(const Point& c, const Point& a, const Point& b) {
    double t = std::atan2(b.GetY() - c.GetY(), b.GetX() - c.GetX())
               - std::atan2(a.GetY() - c.GetY(), a.GetX() - c.GetX());
    while (t < 0) {
        t += 2 * k_Pi;
    }
    return t;
}

TEST_F(CircleDiscretisation, TwentyDegreesGiveEighteenPointsAndTheFirstAgain) {
    const Point c(3, -1);
    const std::vector<Point> ring =
        DiscretizeCircle_G(Circle(c, 2), k_CCW, k_Degree_0, true, k_Step20);
    ASSERT_EQ(ring.size(), 19u);
    EXPECT_EQ(ring.front(), ring.back());
    // Azimuth 0 uses the exact cosine and sine.
    EXPECT_EQ(ring[0], Point(5, -1));
    for (size_t i = 0; i + 1 < ring.size(); ++i) {
        EXPECT_NEAR(ring[i].GetDistanceTo(c), 2, k_Rounding);
        EXPECT_NEAR(TurnAbout(c, ring[i], ring[i + 1]), k_Pi / 9, k_Rounding) << i;
    }
    // Without the close flag, turning clockwise from 90 degrees: the top first, then the
    // point 20 degrees clockwise of it.
    const std::vector<Point> cw =
        DiscretizeCircle_G(Circle(c, 2), k_CW, k_Degree_90, false, k_Step20);
    ASSERT_EQ(cw.size(), 18u);
    EXPECT_EQ(cw[0], Point(3, 1));
    EXPECT_NEAR(TurnAbout(c, cw[1], cw[0]), k_Pi / 9, k_Rounding);
}

TEST_F(CircleDiscretisation, CountIsTheLeastThatKeepsEveryStepWithinTheMaximum) {
    const Circle unit(Point(0, 0), 1);
    // 360 / 120 is 3 exactly: no fourth point.
    EXPECT_EQ(
        DiscretizeCircle_G(unit, k_CCW, k_Degree_0, false, Angle(Angle::k_Degrees, 120)).size(),
        3u);
    // 360 / 100 is 3.6: four points, 90 degrees apart, on the exact quarter turns.
    const std::vector<Point> four =
        DiscretizeCircle_G(unit, k_CCW, k_Degree_0, false, Angle(Angle::k_Degrees, 100));
    EXPECT_EQ(four, (std::vector<Point>{Point(1, 0), Point(0, 1), Point(-1, 0), Point(0, -1)}));
    // 180 and more: two points; a whole turn or more: one.
    EXPECT_EQ(DiscretizeCircle_G(unit, k_CCW, k_Degree_0, false, Angle(Angle::k_Degrees, 200)),
              (std::vector<Point>{Point(1, 0), Point(-1, 0)}));
    EXPECT_EQ(DiscretizeCircle_G(unit, k_CCW, k_Degree_0, true, Angle(Angle::k_Degrees, 400)),
              (std::vector<Point>{Point(1, 0), Point(1, 0)}));
}

TEST_F(CircleDiscretisation, DegenerateCirclesAndSteps) {
    EXPECT_EQ(DiscretizeCircle_G(Circle(Point(2, 3), 0), k_CCW, k_Degree_0, true, k_Step20),
              (std::vector<Point>{Point(2, 3)}));
    // A step that is not positive is reported and taken as a whole turn.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Angle bad : {k_Degree_0, -k_Degree_90, Angle::FromRadians(nan)}) {
        EXPECT_EQ(DiscretizeCircle_G(Circle(Point(0, 0), 1), k_CCW, k_Degree_0, false, bad),
                  (std::vector<Point>{Point(1, 0)}));
        ExpectReports({{"Discretize", "max_step > k_Degree_0"}});
    }
    // A step so small that the ring would not fit in memory is refused before allocating.
    for (const double radians : {1e-300, 1e-7}) {
        EXPECT_EQ(GetThrownCode([&] {
                      DiscretizeCircle_G(Circle(Point(0, 0), 1), k_CCW, k_Degree_0, true,
                                         Angle::FromRadians(radians));
                  }),
                  2);
    }
}

TEST_F(PolyArcDiscretisation, StraightEdgesGiveTheirStarts) {
    const Polygon square({Point(0, 0), Point(1, 0), Point(1, 1), Point(0, 1)}, false);
    const std::vector<Point> corners{Point(0, 0), Point(1, 0), Point(1, 1), Point(0, 1)};
    EXPECT_EQ(Discretize_G(square, k_Step20, false, 80), corners);
    std::vector<Point> ring = corners;
    ring.push_back(Point(0, 0));
    EXPECT_EQ(Discretize_G(square, k_Step20, true, 80), ring);
    // Straight edges are never refused, whatever the budget.
    EXPECT_EQ(Discretize_G(square, k_Step20, true, 0), ring);
    // An open chain ends with the end of its last edge, closed or not.
    const PolyArc open(k_Open, std::vector<Point>{Point(0, 0), Point(1, 0), Point(1, 1)});
    const std::vector<Point> chain{Point(0, 0), Point(1, 0), Point(1, 1)};
    EXPECT_EQ(Discretize_G(open, k_Step20, true, 80), chain);
    EXPECT_EQ(Discretize_G(open, k_Step20, false, 80), chain);
}

TEST_F(PolyArcDiscretisation, ArcsGiveChordsOfAtMostTheStep) {
    // The circle polygon of radius 1 (one whole-circle edge): 18 chords of 20 degrees.
    const Polygon circle(Circle(Point(0, 0), 1));
    const std::vector<Point> ring = Discretize_G(circle, k_Step20, true, 20);
    ASSERT_EQ(ring.size(), 19u);
    EXPECT_EQ(ring.front(), Point(1, 0));
    EXPECT_EQ(ring.back(), Point(1, 0));
    // A stadium (segment (0,0)-(2,0), width 2): each half-circle cap of 180 degrees gives
    // its start and 8 interior points, each side its start: 2 x 9 + 2, then the first again.
    const Polygon stadium(Segment(Point(0, 0), Point(2, 0)), 2);
    const std::vector<Point> points = Discretize_G(stadium, k_Step20, true, 80);
    ASSERT_EQ(points.size(), 21u);
    EXPECT_EQ(points[0], Point(0, 1));
    EXPECT_EQ(points[9], Point(0, -1));
    for (size_t i = 1; i < 9; ++i) {
        // The cap about (0,0) from (0,1) counter-clockwise: 20 degrees per point.
        EXPECT_NEAR(points[i].GetDistanceTo(Point(0, 0)), 1, k_Rounding);
        EXPECT_NEAR(TurnAbout(Point(0, 0), points[i - 1], points[i]), k_Pi / 9, k_Rounding);
    }
    // A 50 degree arc needs three chords of 16 2/3 degrees.
    const double h = -(1 - std::cos(25 * k_Pi / 180));
    const Point end(std::cos(50 * k_Pi / 180), std::sin(50 * k_Pi / 180));
    const PolyArc arc(k_Open, std::vector<Arc>{Arc(Point(1, 0), end, h)});
    const std::vector<Point> three = Discretize_G(arc, k_Step20, false, 10);
    ASSERT_EQ(three.size(), 4u);
    EXPECT_NEAR(TurnAbout(Point(0, 0), three[0], three[1]), 50.0 / 3 * k_Pi / 180, 1e-12);
}

TEST_F(PolyArcDiscretisation, BudgetsAreCheckedBeforeAnyPointIsMade) {
    const Polygon circle(Circle(Point(0, 0), 1));
    EXPECT_EQ(GetThrownCode([&] { Discretize_G(circle, k_Step20, true, -1); }), 2);
    // The circle needs 18 points: a budget of 18 fits, 17 does not.
    EXPECT_EQ(Discretize_G(circle, k_Step20, false, 18).size(), 18u);
    EXPECT_EQ(GetThrownCode([&] { Discretize_G(circle, k_Step20, false, 17); }), 2);
    // Points already listed count against the budget. A rounded rectangle has four
    // quarter circles of 5 points each (4.5 chords, rounded up) and four sides of one
    // point each; the last quarter circle comes after 18 points.
    const Polygon rounded(Box::FromBounds(0, 0, 2, 1), 0.5);
    EXPECT_EQ(Discretize_G(rounded, k_Step20, false, 24).size(), 24u);
    // With 23 the last arc still fits, and the side after it is never refused.
    EXPECT_EQ(Discretize_G(rounded, k_Step20, false, 23).size(), 24u);
    EXPECT_EQ(GetThrownCode([&] { Discretize_G(rounded, k_Step20, false, 22); }), 2);
    // A huge budget with a tiny step is refused too: no list that size is ever allocated.
    EXPECT_EQ(GetThrownCode([&] { Discretize_G(circle, Angle::FromRadians(1e-9), true, INT_MAX); }),
              2);
}

TEST_F(PolyArcDiscretisation, BadArgumentsAreReported) {
    EXPECT_TRUE(Discretize_G(Polygon(), k_Step20, true, 10).empty());
    ExpectReports({{"Discretize", "!empty()"}});
    const Polygon square({Point(0, 0), Point(1, 0), Point(1, 1)}, false);
    // Taken as a whole turn: the half circle of the stadium's cap needs one chord.
    const Polygon stadium(Segment(Point(0, 0), Point(2, 0)), 2);
    for (const Angle bad : {k_Degree_0, k_Degree_360 * 2, -k_Degree_90}) {
        EXPECT_EQ(Discretize_G(square, bad, false, 10).size(), 3u);
        ExpectReports({{"Discretize", "angle_step > k_Degree_0 && angle_step <= k_Degree_360"}});
        EXPECT_EQ(Discretize_G(stadium, bad, false, 10).size(), 4u);
        ExpectReports({{"Discretize", "angle_step > k_Degree_0 && angle_step <= k_Degree_360"}});
    }
}

TEST_F(PolyArcDiscretisation, BadCoordinatesThrowTheBudgetCodeOrGivePoints) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const double bad : {nan, inf, 1e300}) {
        for (const Polygon& p :
             {Polygon({Arc(Point(0, 0), Point(1, 0), bad), Arc(Point(1, 0), Point(0, 0), 0.5)},
                      false),
              Polygon({Point(0, 0), Point(bad, 0), Point(1, 1)}, false),
              Polygon(Circle(Point(0, bad), 1))}) {
            const int code = GetThrownCode([&] { Discretize_G(p, k_Step20, true, 100); });
            EXPECT_TRUE(code == 0 || code == 2);
        }
        DiscretizeCircle_G(Circle(Point(bad, 0), bad), k_CW, Angle::FromRadians(bad), true,
                           k_Step20);
    }
    // Whatever was reported is not the point here.
    m_Recorder.assertions.clear();
}

TEST_F(PolyArcDiscretisation, RandomArcsKeepEveryChordWithinTheStep) {
    std::mt19937 random(3);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < k_RandomCases; ++i) {
        // An arc about a random centre, from a random azimuth through a random sweep.
        const Point c(4 * unit(random) - 2, 4 * unit(random) - 2);
        const double r = 0.1 + 3 * unit(random);
        const double from = 2 * k_Pi * unit(random);
        const double sweep = (unit(random) < 0.5 ? -1 : 1) * (0.05 + 6 * unit(random));
        const Circumference circle(c, r);
        const Point s = circle.GetPointAt(Angle::FromRadians(from));
        const Point e = circle.GetPointAt(Angle::FromRadians(from + sweep));
        const double chord = s.GetDistanceTo(e);
        const double h = (sweep > 0 ? -1 : 1) * chord / 2 * std::tan(std::fabs(sweep) / 4);
        const Angle step = Angle::FromRadians(0.05 + unit(random));
        const std::vector<Point> points =
            Discretize_G(PolyArc(k_Open, std::vector<Arc>{Arc(s, e, h)}), step, false, 1000);
        // The least count of equal chords within the step, plus the end.
        const size_t chords = size_t(std::ceil(std::fabs(sweep) / step.GetValue() - 1e-9));
        EXPECT_EQ(points.size(), chords + 1) << i;
        double total = 0;
        for (size_t k = 0; k + 1 < points.size(); ++k) {
            // Points of a circle of radius up to 3 placed by repeated rotation.
            EXPECT_NEAR(points[k].GetDistanceTo(c), r, 1e-11) << i;
            const double turn = TurnAbout(c, points[k], points[k + 1]);
            total += sweep > 0 ? turn : 2 * k_Pi - turn;
            EXPECT_LE(sweep > 0 ? turn : 2 * k_Pi - turn, step.GetValue() + 1e-11) << i;
        }
        EXPECT_NEAR(total, std::fabs(sweep), 1e-10) << i;
    }
}

}  // namespace
