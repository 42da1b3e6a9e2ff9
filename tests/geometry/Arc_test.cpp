#include "math/geometry/Arc.h"

#include <cmath>
#include <tuple>
#include <vector>

#include "ArcModel.h"
#include "KernelTest.h"
#include "math/geometry/Circumference.h"
#include "math/geometry/Exception.h"
#include "math/geometry/Intersections.h"

using namespace geom;

namespace {

/// Rounding of a few operations on values of order 1.
constexpr double k_Rounding = 1e-14;
const double k_Pi = std::acos(-1.0);

class ArcShape : public KernelTest {};
class ArcPoints : public KernelTest {};
class EdgeIntersection : public KernelTest {};

void ExpectNear(const Point& actual, const Point& expected, double tolerance) {
    EXPECT_NEAR(actual.GetX(), expected.GetX(), tolerance);
    EXPECT_NEAR(actual.GetY(), expected.GetY(), tolerance);
}

TEST_F(ArcShape, CircleSweepMiddleBoxAndLengthFollowFromChordAndHeight) {
    // Chord (0,0)-(4,0): r = (L^2 / (4|h|) + |h|) / 2 = 2.5 for |h| = 1 and for |h| = 4; the
    // small arc's centre lies r - |h| = 1.5 below the chord, the big one's 1.5 above. The
    // chord subtends 2 asin(2 / 2.5) at the centre, the big arc the rest of the turn, which
    // reaches 1.5 + 2.5 = 4 up and the circle's sides at 2 -+ 2.5. The whole circle built
    // at azimuth 0 round (3,4) starts at (4,4), pointing back to the centre.
    const double minor = 2 * std::asin(0.8);
    const Arc circle(Circumference(Point(3, 4), 1), k_Angle_0, k_CCW);
    EXPECT_EQ(circle, Arc(Point(4, 4), Point(4, 4), -2, k_Degree_180));
    const struct {
        const char* name;
        Arc arc;
        Point centre;
        double radius, sweep;
        Point middle;
        Box box;
        double length;
        bool big;
    } cases[] = {
        {"upper half (clockwise)", Arc(Point(0, 0), Point(2, 0), 1), Point(1, 0), 1, -k_Pi,
         Point(1, 1), Box::FromBounds(0, 0, 2, 1), k_Pi, false},
        {"lower half", Arc(Point(0, 0), Point(2, 0), -1), Point(1, 0), 1, k_Pi, Point(1, -1),
         Box::FromBounds(0, -1, 2, 0), k_Pi, false},
        {"small", Arc(Point(0, 0), Point(4, 0), 1), Point(2, -1.5), 2.5, -minor, Point(2, 1),
         Box::FromBounds(0, 0, 4, 1), 2.5 * minor, false},
        {"big", Arc(Point(0, 0), Point(4, 0), 4), Point(2, 1.5), 2.5, -(2 * k_Pi - minor),
         Point(2, 4), Box::FromBounds(-0.5, 0, 4.5, 4), 2.5 * (2 * k_Pi - minor), true},
        {"whole circle", circle, Point(3, 4), 1, 2 * k_Pi, Point(2, 4), Box::FromBounds(2, 3, 4, 5),
         2 * k_Pi, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectNear(c.arc.GetCircumference().GetCentre(), c.centre, k_Rounding);
        EXPECT_NEAR(c.arc.GetCircumference().GetRadius(), c.radius, k_Rounding);
        EXPECT_NEAR(c.arc.GetSweepAngle().GetValue(), c.sweep, k_Rounding);
        ExpectNear(c.arc.GetMiddlePoint(), c.middle, k_Rounding);
        EXPECT_EQ(c.arc.GetReversed().GetMiddlePoint(), c.arc.GetMiddlePoint());  // bit for bit
        const Box box = c.arc.GetBBox();
        ExpectNear(box.GetMin(), c.box.GetMin(), k_Rounding);
        ExpectNear(box.GetMax(), c.box.GetMax(), k_Rounding);
        EXPECT_NEAR(c.arc.GetLength(), c.length, 1e-13);
        EXPECT_EQ(c.arc.IsBig(), c.big);
    }
    // Exact by promise: half and whole turns, and a whole circle's centre.
    EXPECT_EQ(cases[0].arc.GetSweepAngle(), -k_Degree_180);
    EXPECT_EQ(circle.GetSweepAngle(), k_Degree_360);
    EXPECT_EQ(circle.GetReversed().GetSweepAngle(), -k_Degree_360);
    EXPECT_EQ(circle.GetCircumference().GetCentre(), Point(3, 4));
    // A nearly flat arc's box is its chord's, deepened by its height (its centre is too far
    // away to give extreme points precisely). A straight arc has no circle.
    EXPECT_EQ(Arc(Point(0, 0), Point(1, 0), -1e-9).GetBBox(), Box::FromBounds(0, -1e-9, 1, 0));
    EXPECT_EQ(Arc(Point(0, 0), Point(1, 0)).GetCircumference().GetRadius(), k_InfiniteUnit);
    ExpectReports({{"Arc", "m_Height != k_NullUnit"}});
}

TEST_F(ArcShape, HeightFromACircleAndTwoAzimuthsOrAChordAndACentre) {
    // Quarter circles of radius r: sagitta r (1 - cos 45); the other three quarters between
    // the same ends r (1 + cos 45). A clockwise whole circle from 180 degrees points to
    // 180 + 180, reduced below a whole turn; radius 0 gives the point at the centre.
    const Circumference c(Point(0, 0), 2);
    const double s = std::sqrt(0.5);
    EXPECT_NEAR(Arc(c, k_Degree_0, k_Degree_90, k_CW).GetHeight(), 2 * (1 + s), k_Rounding);
    EXPECT_NEAR(Arc(Point(1, 0), Point(0, 1), Point(0, 0), k_CCW).GetHeight(), s - 1, k_Rounding);
    EXPECT_EQ(Arc(c, k_Degree_180, k_CW), Arc(Point(-2, 0), Point(-2, 0), 4, k_Degree_0));
    EXPECT_EQ(Arc(Circumference(Point(5, 5), 0), k_Degree_0, k_Degree_90, k_CW),
              Arc(Point(5, 5), Point(5, 5)));
}

TEST_F(ArcShape, BadConstructionArgumentsAreReported) {
    const Circumference c(Point(0, 0), 2);
    Arc(c, k_Degree_90, k_Degree_90, k_CW);
    ExpectReports({{"Arc", "start != end"}, {"Arc", "m_Start != m_End"}});
    Arc(c, k_Degree_0, k_Degree_90, Orientation(5));
    ExpectReports({{"Arc", "cw_ccw == k_CW || cw_ccw == k_CCW"}});
    // Centre distances 1 and 2 on a chord of sqrt 5: their difference is 0.447 of it.
    Arc(Point(1, 0), Point(0, 2), Point(0, 0), k_CCW);
    ExpectReports({{"Arc", "ratio < 0.333"}});
    // Equal ends round a centre: reported, and made the whole circle.
    EXPECT_EQ(Arc(Point(1, 0), Point(1, 0), Point(0, 0), k_CW),
              Arc(Point(1, 0), Point(1, 0), 2, k_Degree_180));
    ExpectReports({{"Arc", "start != end"}});
    Circumference(Point(0, 0), -1);
    Circle(Point(0, 0), -1);
    ExpectReports({{"math/geometry/Circumference", "radius >= k_NullUnit"},
                   {"math/geometry/Circle", "m_Radius >= k_Unit_0"}});
}

TEST_F(ArcShape, ClosestPointOfSegmentsAndArcs) {
    // Off a segment's ends its ends are nearest, on it the point itself. Above the centre
    // of the upper half circle round (1,0) its top is nearest; towards (3,-1) the circle's
    // nearest point is on the missing lower half, so the end is. 1e-6 above the top of a
    // nearly flat arc (radius 1.25e8) the top is nearest.
    const Segment s(Point(0, 0), Point(2, 0));
    EXPECT_EQ(s.GetClosestPointTo(Point(-1, 1)), Point(0, 0));
    EXPECT_EQ(s.GetClosestPointTo(Point(0.3, 0)), Point(0.3, 0));
    const Arc upper(Point(0, 0), Point(2, 0), 1);
    ExpectNear(upper.GetClosestPointTo(Point(1, 3)), Point(1, 1), k_Rounding);
    EXPECT_NEAR(upper.GetDistanceTo(Point(1, 3)), 2, k_Rounding);
    EXPECT_EQ(upper.GetClosestPointTo(Point(3, -1)), Point(2, 0));
    EXPECT_NEAR(upper.GetDistanceTo(Point(1, 0)), 1, k_Rounding);  // the centre
    EXPECT_NEAR(Arc(Point(0, 0), Point(1, 0), 1e-9).GetDistanceTo(Point(0.5, 1e-9 + 1e-6)), 1e-6,
                1e-15);
}

TEST_F(ArcPoints, ChordsTurnByTheLeastEqualStepWithinTheMaximum) {
    // 90 / 20 = 4.5: five chords of 18 degrees, six points with the end, appended; without
    // the end, five. A step exceeded by less than one part in a trillion adds no chord.
    const Arc quarter(Circumference(Point(0, 0), 1), k_Degree_0, k_Degree_90, k_CCW);
    std::vector<Point> points{Point(9, 9)};
    quarter.GeneratePoints(Angle(Angle::k_Degrees, 20), true, 100, points);
    ASSERT_EQ(points.size(), 7u);
    EXPECT_EQ(points[0], Point(9, 9));
    EXPECT_EQ(points[1], quarter.GetStart());
    EXPECT_EQ(points[6], quarter.GetEnd());
    for (int i = 1; i <= 5; ++i) {
        ExpectNear(points[i], Point(std::cos((i - 1) * k_Pi / 10), std::sin((i - 1) * k_Pi / 10)),
                   k_Rounding);
    }
    const double sweep = quarter.GetSweepAngle().GetValue();
    for (const auto& [step, last, count] :
         {std::tuple(k_Pi / 9, false, 5u), std::tuple(sweep / (3 + 4e-13), true, 4u),
          std::tuple(sweep / (3 + 5e-12), true, 5u)}) {
        points.clear();
        quarter.GeneratePoints(Angle::FromRadians(step), last, 100, points);
        EXPECT_EQ(points.size(), count) << step;
    }
}

TEST_F(ArcPoints, ExceedingTheBudgetThrowsAndAppendsNothing) {
    const Arc quarter(Circumference(Point(0, 0), 1), k_Degree_0, k_Degree_90, k_CCW);
    std::vector<Point> points;
    try {
        quarter.GeneratePoints(Angle(Angle::k_Degrees, 20), true, 5, points);
        ADD_FAILURE() << "six points fit a budget of five";
    } catch (const Exception& e) {
        EXPECT_EQ(e.GetCode(), 2);
    }
    EXPECT_TRUE(points.empty());
    // A straight edge gives its ends; a zero step is reported and needs infinitely many.
    Arc(Point(0, 0), Point(1, 0)).GeneratePoints(Angle(Angle::k_Degrees, 20), true, 0, points);
    EXPECT_EQ(points.size(), 2u);
    EXPECT_THROW(quarter.GeneratePoints(k_Angle_0, true, 1000, points), Exception);
    ExpectReports({{"Arc", "max_arc_angle > k_Angle_0"}});
}

TEST_F(ArcPoints, PointAtARateAndTheRateOfAPoint) {
    const Arc upper(Point(0, 0), Point(2, 0), 1);
    ExpectNear(upper.GetPointAtRate(0.5), Point(1, 1), k_Rounding);
    EXPECT_NEAR(upper.GetRateOf(Point(1, 1)), 0.5, k_Rounding);
    EXPECT_NEAR(upper.GetRateOf(Point(1 + std::sqrt(0.5), std::sqrt(0.5))), 0.75, k_Rounding);
    EXPECT_EQ(upper.GetRateOf(Point(2.001, -0.001)), 1.0);  // just past the end
    EXPECT_EQ(upper.GetPointAtRate(2), upper.GetEnd());
    ExpectReports({{"Arc", "0.0 <= rate && rate <= 1.0"}});
}

TEST_F(ArcPoints, SplittingKeepsTheCircleAndMergingRestoresTheArc) {
    // A whole unit circle cut at (-1,0) gives two half circles of height -1; a quarter cut
    // at 45 degrees two eighths of sagitta 1 - cos 22.5, which merge into the quarter.
    const Arc circle(Circumference(Point(0, 0), 1), k_Angle_0, k_CCW);
    for (const Arc& a : circle.Split({Point(1, 0), Point(-1, 0), Point(1, 0)})) {
        EXPECT_NEAR(a.GetHeight(), -1, k_Rounding);
    }
    const Arc quarter(Circumference(Point(0, 0), 1), k_Degree_0, k_Degree_90, k_CCW);
    const Point mid(std::sqrt(0.5), std::sqrt(0.5));
    const std::vector<Arc> eighths = quarter.Split({quarter.GetStart(), mid, quarter.GetEnd()});
    ASSERT_EQ(eighths.size(), 2u);
    for (const Arc& a : eighths) {
        EXPECT_NEAR(a.GetHeight(), -(1 - std::cos(k_Pi / 8)), k_Rounding);
    }
    const Arc merged = Arc::Merge_G(eighths[0], eighths[1]);
    EXPECT_EQ(merged.GetEnd(), quarter.GetEnd());
    EXPECT_NEAR(merged.GetHeight(), quarter.GetHeight(), k_Rounding);
    // Two half circles close into the whole circle round (0,0); segments into one.
    EXPECT_EQ(Arc::Merge_G(Arc(Point(1, 0), Point(-1, 0), -1), Arc(Point(-1, 0), Point(1, 0), -1)),
              Arc(Point(1, 0), Point(1, 0), -2, k_Degree_180));
    EXPECT_EQ(Arc::Merge_G(Arc(Point(0, 0), Point(1, 0)), Arc(Point(1, 0), Point(3, 0))),
              Arc(Point(0, 0), Point(3, 0)));
    quarter.Split({mid, quarter.GetEnd()});
    Arc::Merge_G(Arc(Point(0, 0), Point(1, 0)), Arc(Point(2, 0), Point(3, 0)));
    ExpectReports({{"Arc", "ends.front() == GetStart() && ends.back() == GetEnd()"},
                   {"Arc", "ret.front().GetStart() == GetStart()"},
                   {"Arc", "a1.GetEnd() == a2.GetStart()"}});
}

/// Where two edges meet, as arcs (points are zero-length ones).
std::vector<Arc> Meetings(const EdgeIntersections& xs) {
    std::vector<Arc> ret;
    for (const auto& x : xs) {
        ret.push_back(x.m_Value);
    }
    return ret;
}

TEST_F(EdgeIntersection, SegmentsCrossTouchAndOverlap) {
    // Overlaps run the way of the first segment, whichever way the second runs; ends
    // within the accuracy of each other meet at one of them.
    const Point p(1, 0);
    const struct {
        const char* name;
        Segment a, b;
        double accuracy;
        std::vector<Arc> expected;
    } cases[] = {
        {"crossing",
         Segment(Point(0, 0), Point(2, 2)),
         Segment(Point(0, 2), Point(2, 0)),
         1e-9,
         {Arc(Point(1, 1), Point(1, 1))}},
        {"the other way",
         Segment(Point(0, 2), Point(2, 0)),
         Segment(Point(0, 0), Point(2, 2)),
         1e-9,
         {Arc(Point(1, 1), Point(1, 1))}},
        {"T, at the stem's end",
         Segment(Point(0, 0), Point(2, 0)),
         Segment(Point(1, 1), p),
         1e-9,
         {Arc(p, p)}},
        {"end to end", Segment(Point(0, 0), p), Segment(p, Point(2, 0)), 1e-9, {Arc(p, p)}},
        {"parallel", Segment(Point(0, 0), p), Segment(Point(0, 1), Point(1, 1)), 1e-9, {}},
        {"overlap",
         Segment(Point(0, 0), Point(4, 0)),
         Segment(Point(2, 0), Point(6, 0)),
         1e-9,
         {Arc(Point(2, 0), Point(4, 0))}},
        {"overlap reversed",
         Segment(Point(0, 0), Point(4, 0)),
         Segment(Point(6, 0), Point(2, 0)),
         1e-9,
         {Arc(Point(2, 0), Point(4, 0))}},
        {"inside reversed",
         Segment(Point(0, 0), Point(10, 0)),
         Segment(Point(3, 0), Point(2, 0)),
         1e-9,
         {Arc(Point(2, 0), Point(3, 0))}},
        {"gap within the accuracy",
         Segment(Point(0, 0), p),
         Segment(Point(1.0000001, 0), Point(2, 0)),
         1e-6,
         {Arc(Point(1.0000001, 0), Point(1.0000001, 0))}},
        {"gap beyond it",
         Segment(Point(0, 0), p),
         Segment(Point(1.0000001, 0), Point(2, 0)),
         1e-8,
         {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Meetings(Segment::Intersect_G(c.a, c.b, c.accuracy)), c.expected) << c.name;
    }
}

TEST_F(EdgeIntersection, CirclesAndLines) {
    // A line through the centre of the unit circle crosses it at (1,0), the circle's start
    // and so taken exactly, and at (-1,0); a line at y = 1 touches it at the top; the upper
    // half circle misses a line below its chord. Unit circles round (0,0) and (1,0) cross
    // at (1/2, +-sqrt(3)/2), also with accuracy 0 (within the shapes' own tolerance).
    const Arc circle(Circumference(Point(0, 0), 1), k_Angle_0, k_CCW);
    const std::vector<Arc> across =
        Meetings(Arc::Intersect_G(circle, Arc(Point(-2, 0), Point(2, 0)), 1e-9));
    ASSERT_EQ(across.size(), 2u);
    EXPECT_EQ(across[0], Arc(Point(1, 0), Point(1, 0)));
    ExpectNear(across[1].GetStart(), Point(-1, 0), k_Rounding);
    const std::vector<Arc> top =
        Meetings(Arc::Intersect_G(Arc(Point(-2, 1), Point(2, 1)), circle, 1e-9));
    ASSERT_EQ(top.size(), 1u);
    ExpectNear(top[0].GetStart(), Point(0, 1), k_Rounding);
    EXPECT_TRUE(Arc::Intersect_G(Arc(Point(1, 0), Point(-1, 0), -1),
                                 Arc(Point(-2, -0.5), Point(2, -0.5)), 1e-9)
                    .empty());
    const Arc other(Circumference(Point(1, 0), 1), k_Angle_0, k_CW);
    for (const double accuracy : {1e-9, 0.0}) {
        const std::vector<Arc> crossings = Meetings(Arc::Intersect_G(circle, other, accuracy));
        ASSERT_EQ(crossings.size(), 2u);
        for (const Arc& x : crossings) {
            EXPECT_NEAR(x.GetStart().GetX(), 0.5, k_Rounding);
            EXPECT_NEAR(std::fabs(x.GetStart().GetY()), std::sqrt(3.0) / 2, k_Rounding);
        }
    }
    // Quarter arcs sharing an end meet exactly there.
    EXPECT_EQ(Meetings(Arc::Intersect_G(
                  Arc(Circumference(Point(0, 0), 1), k_Degree_0, k_Degree_90, k_CCW),
                  Arc(Circumference(Point(0, 2), 1), k_Degree_270, k_Degree_0, k_CCW), 1e-9)),
              std::vector<Arc>{Arc(Point(0, 1), Point(0, 1))});
}

TEST_F(EdgeIntersection, ANearlyFlatArcCrossingASmallOne) {
    // A diagonal bulging by 0.001 over 10.6 (radius about 13000) crosses an arc of radius
    // 6.7 once. From the two circles alone the crossing is off by 1e-8 (the large radius
    // times the rounding, over the crossing's distance from the line of centres), which
    // the accuracy 1e-9 rejects; the crossing must be found all the same. Checked against
    // each arc's fitted circle, itself rounded by about 1e-16 of the radius squared over
    // the chord.
    const Arc flat(Point(0, 0), Point(7.5, 7.5), 0.00107073);
    const Arc small(Point(2.5, 2.5), Point(2.5, 7.5), -0.484061);
    const std::vector<Arc> points = Meetings(Arc::Intersect_G(flat, small, 1e-9));
    ASSERT_EQ(points.size(), 1u);
    const Point& x = points[0].GetStart();
    for (const auto& [arc, tolerance] : {std::pair(flat, 1e-9), std::pair(small, 1e-12)}) {
        const model::FittedArc f = model::FitArc(arc);
        EXPECT_LT(std::fabs(std::hypot(x.GetX() - f.m_X, x.GetY() - f.m_Y) - f.m_Radius),
                  tolerance);
        EXPECT_LT(arc.GetDistanceTo(x), 1e-12);
    }
}

TEST_F(EdgeIntersection, ArcsOnOneCircleShareAPiece) {
    // The upper half of the unit circle (0 to 180 degrees) and the arc from 45 to 270
    // degrees share 45 to 180: an arc of 135 degrees, sagitta 1 - cos 67.5, running
    // counter-clockwise like the first; with the first turned round, clockwise.
    const Circumference unit(Point(0, 0), 1);
    const Arc upper(unit, k_Degree_0, k_Degree_180, k_CCW);
    const Arc other(unit, k_Degree_45, k_Degree_270, k_CCW);
    const std::vector<Arc> common = Meetings(Arc::Intersect_G(upper, other, 1e-9));
    ASSERT_EQ(common.size(), 1u);
    EXPECT_EQ(common[0].GetStart(), other.GetStart());
    EXPECT_EQ(common[0].GetEnd(), upper.GetEnd());
    EXPECT_NEAR(common[0].GetHeight(), -(1 - std::cos(67.5 * k_Pi / 180)), k_Rounding);
    const std::vector<Arc> reversed = Meetings(Arc::Intersect_G(upper.GetReversed(), other, 1e-9));
    ASSERT_EQ(reversed.size(), 1u);
    EXPECT_EQ(reversed[0].GetStart(), upper.GetEnd());
    EXPECT_GT(reversed[0].GetHeight(), 0.0);
}

}  // namespace
