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

class Discretisation : public KernelTest {};

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
    return t < 0 ? t + 2 * k_Pi : t;
}

TEST_F(Discretisation, CircleCountIsTheLeastThatKeepsEveryStepWithinTheMaximum) {
    // 20 degrees: 18 points 20 degrees apart, and the first again; clockwise from 90
    // degrees without the close flag, the top first. 360 / 120 is 3 exactly: no fourth
    // point. 360 / 100 is 3.6: four points on the exact quarter turns. 180 and more: two; a
    // whole turn or more: one.
    const Point c(3, -1);
    const std::vector<Point> ring =
        DiscretizeCircle_G(Circle(c, 2), k_CCW, k_Degree_0, true, k_Step20);
    ASSERT_EQ(ring.size(), 19u);
    EXPECT_EQ(ring.front(), Point(5, -1));
    EXPECT_EQ(ring.back(), ring.front());
    for (size_t i = 0; i + 1 < ring.size(); ++i) {
        EXPECT_NEAR(ring[i].GetDistanceTo(c), 2, k_Rounding);
        EXPECT_NEAR(TurnAbout(c, ring[i], ring[i + 1]), k_Pi / 9, k_Rounding) << i;
    }
    const std::vector<Point> cw =
        DiscretizeCircle_G(Circle(c, 2), k_CW, k_Degree_90, false, k_Step20);
    ASSERT_EQ(cw.size(), 18u);
    EXPECT_EQ(cw[0], Point(3, 1));
    EXPECT_NEAR(TurnAbout(c, cw[1], cw[0]), k_Pi / 9, k_Rounding);
    const auto ring_of = [](double degrees, bool close) {
        return DiscretizeCircle_G(Circle(Point(0, 0), 1), k_CCW, k_Degree_0, close,
                                  Angle(Angle::k_Degrees, degrees));
    };
    EXPECT_EQ(ring_of(120, false).size(), 3u);
    EXPECT_EQ(ring_of(100, false),
              (std::vector<Point>{Point(1, 0), Point(0, 1), Point(-1, 0), Point(0, -1)}));
    EXPECT_EQ(ring_of(200, false), (std::vector<Point>{Point(1, 0), Point(-1, 0)}));
    EXPECT_EQ(ring_of(400, true), (std::vector<Point>{Point(1, 0), Point(1, 0)}));
    // Radius 0 gives the centre alone.
    EXPECT_EQ(DiscretizeCircle_G(Circle(Point(2, 3), 0), k_CCW, k_Degree_0, true, k_Step20),
              (std::vector<Point>{Point(2, 3)}));
}

TEST_F(Discretisation, BadCircleStepsAreReportedOrRefused) {
    // A step that is not positive is taken as a whole turn; one so small that the ring
    // would not fit in memory is refused before allocating.
    for (const Angle bad : {k_Degree_0, -k_Degree_90, Angle::FromRadians(std::nan(""))}) {
        EXPECT_EQ(DiscretizeCircle_G(Circle(Point(0, 0), 1), k_CCW, k_Degree_0, false, bad),
                  (std::vector<Point>{Point(1, 0)}));
        ExpectReports({{"Discretize", "max_step > k_Degree_0"}});
    }
    for (const double radians : {1e-300, 1e-7}) {
        EXPECT_EQ(GetThrownCode([&] {
                      DiscretizeCircle_G(Circle(Point(0, 0), 1), k_CCW, k_Degree_0, true,
                                         Angle::FromRadians(radians));
                  }),
                  2);
    }
}

TEST_F(Discretisation, EdgesGiveTheirStartsAndArcsTheirChords) {
    // Straight edges need no budget. An open chain ends with the end of its last edge,
    // closed or not. The circle polygon of radius 1 gives 18 chords of 20 degrees. A
    // stadium's half-circle caps each give their start and 8 interior points, each side its
    // start (2 x 9 + 2), then the first point again.
    const std::vector<Point> corners{Point(0, 0), Point(1, 0), Point(1, 1), Point(0, 1)};
    const Polygon square(corners, false);
    EXPECT_EQ(Discretize_G(square, k_Step20, false, 80), corners);
    std::vector<Point> ring = corners;
    ring.push_back(Point(0, 0));
    EXPECT_EQ(Discretize_G(square, k_Step20, true, 0), ring);
    const std::vector<Point> chain{Point(0, 0), Point(1, 0), Point(1, 1)};
    EXPECT_EQ(Discretize_G(PolyArc(k_Open, chain), k_Step20, false, 80), chain);
    const std::vector<Point> circle =
        Discretize_G(Polygon(Circle(Point(0, 0), 1)), k_Step20, true, 20);
    ASSERT_EQ(circle.size(), 19u);
    EXPECT_EQ(circle.back(), Point(1, 0));
    const std::vector<Point> stadium =
        Discretize_G(Polygon(Segment(Point(0, 0), Point(2, 0)), 2), k_Step20, true, 80);
    ASSERT_EQ(stadium.size(), 21u);
    EXPECT_EQ(stadium[0], Point(0, 1));
    EXPECT_EQ(stadium[9], Point(0, -1));
    for (size_t i = 1; i < 9; ++i) {
        EXPECT_NEAR(stadium[i].GetDistanceTo(Point(0, 0)), 1, k_Rounding);
        EXPECT_NEAR(TurnAbout(Point(0, 0), stadium[i - 1], stadium[i]), k_Pi / 9, k_Rounding);
    }
}

TEST_F(Discretisation, BudgetsAreCheckedBeforeAnyPointIsMade) {
    // The circle needs 18 points: a budget of 18 fits, 17 does not. Points already listed
    // count: a rounded rectangle has four quarter circles of 5 points (4.5 chords, rounded
    // up) and four sides of one; the last arc comes after 18 points, so 23 still lets it
    // through (the side after it is never refused), 22 does not. A huge budget with a tiny
    // step is refused too: no list that size is ever allocated.
    const Polygon circle(Circle(Point(0, 0), 1));
    const Polygon rounded(Box::FromBounds(0, 0, 2, 1), 0.5);
    EXPECT_EQ(GetThrownCode([&] { Discretize_G(circle, k_Step20, true, -1); }), 2);
    EXPECT_EQ(Discretize_G(circle, k_Step20, false, 18).size(), 18u);
    EXPECT_EQ(GetThrownCode([&] { Discretize_G(circle, k_Step20, false, 17); }), 2);
    EXPECT_EQ(Discretize_G(rounded, k_Step20, false, 23).size(), 24u);
    EXPECT_EQ(GetThrownCode([&] { Discretize_G(rounded, k_Step20, false, 22); }), 2);
    EXPECT_EQ(GetThrownCode([&] { Discretize_G(circle, Angle::FromRadians(1e-9), true, INT_MAX); }),
              2);
}

TEST_F(Discretisation, BadArgumentsAreReportedOrGiveTheBudgetCode) {
    EXPECT_TRUE(Discretize_G(Polygon(), k_Step20, true, 10).empty());
    ExpectReports({{"Discretize", "!poly_arc.empty()"}});
    // A bad step is taken as a whole turn: a half-circle cap needs one chord.
    const Polygon stadium(Segment(Point(0, 0), Point(2, 0)), 2);
    for (const Angle bad : {k_Degree_0, k_Degree_360 * 2}) {
        EXPECT_EQ(Discretize_G(stadium, bad, false, 10).size(), 4u);
        ExpectReports({{"Discretize", "angle_step > k_Degree_0 && angle_step <= k_Degree_360"}});
    }
    for (const double bad : {std::nan(""), std::numeric_limits<double>::infinity(), 1e300}) {
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
    m_Recorder.assertions.clear();  // whatever bad coordinates made the kernel report
}

TEST_F(Discretisation, RandomArcsKeepEveryChordWithinTheStep) {
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
        const double h =
            (sweep > 0 ? -1 : 1) * s.GetDistanceTo(e) / 2 * std::tan(std::fabs(sweep) / 4);
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
