#include "math/geometry/Arc.h"

#include <cmath>
#include <vector>

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
class ArcSplitMerge : public KernelTest {};
class EdgeIntersection : public KernelTest {};

void ExpectNear(const Point& actual, const Point& expected, double tolerance) {
    EXPECT_NEAR(actual.GetX(), expected.GetX(), tolerance);
    EXPECT_NEAR(actual.GetY(), expected.GetY(), tolerance);
}

TEST_F(ArcShape, HalfCirclesOnBothSidesOfTheirChord) {
    // (0,0) -> (2,0) with height 1 bulges to the left (up): the clockwise upper half
    // circle around (1,0); height -1 is the counter-clockwise lower half.
    const Arc upper(Point(0, 0), Point(2, 0), 1);
    EXPECT_EQ(upper.GetOrientation(), k_CW);
    EXPECT_EQ(upper.GetCircumference().GetCentre(), Point(1, 0));
    EXPECT_EQ(upper.GetCircumference().GetRadius(), 1.0);
    EXPECT_EQ(upper.GetSweepAngle(), -k_Degree_180);
    EXPECT_EQ(upper.GetMiddlePoint(), Point(1, 1));
    EXPECT_EQ(upper.GetBBox(), Box::FromBounds(0, 0, 2, 1));
    EXPECT_FALSE(upper.IsBig());

    const Arc lower(Point(0, 0), Point(2, 0), -1);
    EXPECT_EQ(lower.GetOrientation(), k_CCW);
    EXPECT_EQ(lower.GetSweepAngle(), k_Degree_180);
    EXPECT_EQ(lower.GetMiddlePoint(), Point(1, -1));
    EXPECT_EQ(lower.GetBBox(), Box::FromBounds(0, -1, 2, 0));
    EXPECT_NEAR(lower.GetLength(), k_Pi, k_Rounding);
}

TEST_F(ArcShape, WholeCircleKeepsItsCentreExactly) {
    // Built counter-clockwise at azimuth 0 around (3,4) with radius 1: it starts at
    // (4,4), its direction points back to the centre (180 degrees).
    const Arc circle(Circumference(Point(3, 4), 1), k_Angle_0, k_CCW);
    EXPECT_EQ(circle.GetStart(), Point(4, 4));
    EXPECT_EQ(circle.GetEnd(), Point(4, 4));
    EXPECT_EQ(circle.GetHeight(), -2.0);
    EXPECT_EQ(circle.GetDirection(), k_Degree_180);
    Circumference c;
    ASSERT_TRUE(circle.IsCircumference(&c));
    EXPECT_EQ(c.GetCentre(), Point(3, 4));
    EXPECT_EQ(c.GetRadius(), 1.0);
    EXPECT_EQ(circle.GetSweepAngle(), k_Degree_360);
    EXPECT_EQ(circle.GetMiddlePoint(), Point(2, 4));
    EXPECT_EQ(circle.GetBBox(), Box::FromBounds(2, 3, 4, 5));
    // Reversed, it turns the other way around the same centre.
    EXPECT_EQ(circle.GetReversed().GetSweepAngle(), -k_Degree_360);
    EXPECT_EQ(circle.GetReversed().GetDirection(), k_Degree_180);
    // The clockwise circle starting at 180 degrees has its direction reduced below 360.
    const Arc cw(Circumference(Point(0, 0), 2), k_Degree_180, k_CW);
    EXPECT_EQ(cw.GetDirection(), k_Degree_0);
    EXPECT_EQ(cw.GetHeight(), 4.0);
    // A zero-length straight arc is a point, not a circle.
    EXPECT_FALSE(Arc(Point(1, 1), Point(1, 1)).IsCircumference());
}

TEST_F(ArcShape, DerivedCircleOfSmallAndBigArcs) {
    // Chord (0,0)-(4,0): r = (L^2 / (4|h|) + |h|) / 2 = (16/4 + 1)/2 = 2.5 for |h| = 1 and
    // (16/16 + 4)/2 = 2.5 for |h| = 4. The small arc bulging up has its centre 1.5 below
    // the chord, the big one 1.5 above.
    const Arc small(Point(0, 0), Point(4, 0), 1);
    EXPECT_EQ(small.GetCircumference().GetCentre(), Point(2, -1.5));
    EXPECT_EQ(small.GetCircumference().GetRadius(), 2.5);
    const Arc big(Point(0, 0), Point(4, 0), 4);
    EXPECT_TRUE(big.IsBig());
    EXPECT_EQ(big.GetCircumference().GetCentre(), Point(2, 1.5));
    // The chord subtends 2 asin(2 / 2.5) at the centre; the big arc the rest of the turn.
    const double minor = 2 * std::asin(0.8);
    EXPECT_NEAR(small.GetSweepAngle().GetValue(), -minor, k_Rounding);
    EXPECT_NEAR(big.GetSweepAngle().GetValue(), -(2 * k_Pi - minor), k_Rounding);
    EXPECT_NEAR(small.GetLength(), 2.5 * minor, k_Rounding);
    // The big arc reaches 1.5 + 2.5 = 4 up and the circle's sides at 2 -+ 2.5.
    const Box box = big.GetBBox();
    EXPECT_NEAR(box.GetXMin(), -0.5, k_Rounding);
    EXPECT_NEAR(box.GetXMax(), 4.5, k_Rounding);
    EXPECT_EQ(box.GetYMin(), 0.0);
    EXPECT_NEAR(box.GetYMax(), 4.0, k_Rounding);
    // A straight arc has no circle.
    EXPECT_EQ(Arc(Point(0, 0), Point(1, 0)).GetCircumference().GetRadius(), k_InfiniteUnit);
    ExpectReports({{"Arc", "m_Height != k_NullUnit"}});
}

TEST_F(ArcShape, PredicatesUseTheHeightAlone) {
    const Arc tiny(Point(0, 0), Point(1, 0), 1e-300);
    EXPECT_FALSE(tiny.IsSegment(0));
    EXPECT_TRUE(tiny.IsSegment(1e-300));
    EXPECT_TRUE(Arc(Point(0, 0), Point(1, 0)).IsSegment(0));
    Segment s;
    EXPECT_TRUE(Arc(Point(0, 0), Point(1, 0), 0.1).IsSegment(0.1, &s));
    EXPECT_EQ(s, Segment(Point(0, 0), Point(1, 0)));
    Point p;
    EXPECT_TRUE(Arc(Point(0, 0), Point(1e-9, 0)).IsPoint(1e-9, &p));
    EXPECT_EQ(p, Point(0, 0));
    EXPECT_FALSE(Arc(Point(0, 0), Point(1e-9, 0), 1).IsPoint(1e-9));
    EXPECT_EQ(Arc(Point(0, 0), Point(1, 0)).GetOrientation(), k_NoOrientation);
}

TEST_F(ArcShape, FromACircleAndTwoAzimuths) {
    // The quarter circle from 0 to 90 degrees: a small arc of sagitta r (1 - cos 45).
    const Circumference c(Point(0, 0), 2);
    const Arc ccw(c, k_Degree_0, k_Degree_90, k_CCW);
    EXPECT_EQ(ccw.GetStart(), Point(2, 0));
    EXPECT_EQ(ccw.GetEnd(), Point(0, 2));
    EXPECT_NEAR(ccw.GetHeight(), -(2 - std::sqrt(2.0)), k_Rounding);
    // Clockwise between the same points: the other three quarters, r (1 + cos 45).
    const Arc cw(c, k_Degree_0, k_Degree_90, k_CW);
    EXPECT_NEAR(cw.GetHeight(), 2 + std::sqrt(2.0), k_Rounding);
    EXPECT_NEAR(cw.GetSweepAngle().GetValue(), -1.5 * k_Pi, k_Rounding);
    // Radius 0 gives the point at the centre.
    EXPECT_EQ(Arc(Circumference(Point(5, 5), 0), k_Degree_0, k_Degree_90, k_CW),
              Arc(Point(5, 5), Point(5, 5)));
    Arc(c, k_Degree_90, k_Degree_90, k_CW);
    ExpectReports({{"Arc", "start != end"}, {"Arc", "start_point != end_point"}});
    Arc(c, k_Degree_0, k_Degree_90, Orientation(5));
    ExpectReports({{"Arc", "cw_ccw == k_CW || cw_ccw == k_CCW"}});
    Circumference(Point(0, 0), -1);
    ExpectReports({{"math/geometry/Circumference", "radius >= k_NullUnit"}});
    Circle(Point(0, 0), -1);
    ExpectReports({{"math/geometry/Circle", "m_Radius >= k_Unit_0"}});
}

TEST_F(ArcShape, FromAChordAndACentre) {
    const Arc ccw(Point(1, 0), Point(0, 1), Point(0, 0), k_CCW);
    EXPECT_NEAR(ccw.GetHeight(), -(1 - std::sqrt(0.5)), k_Rounding);
    const Arc cw(Point(1, 0), Point(0, 1), Point(0, 0), k_CW);
    EXPECT_NEAR(cw.GetHeight(), 1 + std::sqrt(0.5), k_Rounding);
    // Centre distances 1 and 2 on a chord of sqrt 5: their difference is 0.447 of it.
    Arc(Point(1, 0), Point(0, 2), Point(0, 0), k_CCW);
    ExpectReports({{"Arc", "ratio < 0.333"}});
    const Arc whole(Point(1, 0), Point(1, 0), Point(0, 0), k_CW);
    ExpectReports(
        {{"Arc", "!\"We haven't expected full circles here in the past - code untested\""}});
    EXPECT_EQ(whole.GetHeight(), 2.0);
    EXPECT_EQ(whole.GetDirection(), k_Degree_180);
}

TEST_F(ArcShape, BoxOfArcsCoversTheExtremePointsTheyPass) {
    // Quarter circles of the unit circle, both ways: each passes exactly the extreme
    // points between its ends.
    const Circumference unit(Point(0, 0), 1);
    EXPECT_EQ(Arc(unit, k_Degree_0, k_Degree_90, k_CCW).GetBBox(), Box::FromBounds(0, 0, 1, 1));
    EXPECT_EQ(Arc(unit, k_Degree_90, k_Degree_180, k_CCW).GetBBox(), Box::FromBounds(-1, 0, 0, 1));
    const Box three_quarters = Arc(unit, k_Degree_0, k_Degree_90, k_CW).GetBBox();
    EXPECT_NEAR(three_quarters.GetXMin(), -1, k_Rounding);
    EXPECT_NEAR(three_quarters.GetYMin(), -1, k_Rounding);
    EXPECT_EQ(three_quarters.GetXMax(), 1.0);
    EXPECT_EQ(three_quarters.GetYMax(), 1.0);
    // A nearly flat arc stays within its chord and height.
    const Box flat = Arc(Point(0, 0), Point(1, 0), -1e-9).GetBBox();
    EXPECT_EQ(flat.GetXMin(), 0.0);
    EXPECT_EQ(flat.GetXMax(), 1.0);
    EXPECT_NEAR(flat.GetYMin(), -1e-9, 1e-24);
    EXPECT_EQ(flat.GetYMax(), 0.0);
}

TEST_F(ArcShape, ClosestPointOfSegmentsAndArcs) {
    const Segment s(Point(0, 0), Point(2, 0));
    EXPECT_EQ(s.GetClosestPointTo(Point(1, 1)), Point(1, 0));
    EXPECT_EQ(s.GetClosestPointTo(Point(-1, 1)), Point(0, 0));
    EXPECT_EQ(s.GetClosestPointTo(Point(5, -1)), Point(2, 0));
    const Point on(0.3, 0);
    EXPECT_EQ(s.GetClosestPointTo(on), on);
    EXPECT_EQ(Segment(Point(1, 1), Point(1, 1)).GetClosestPointTo(Point(3, 3)), Point(1, 1));
    // The upper half circle around (1,0): straight above the centre the top is nearest;
    // towards (3,-1) the circle's nearest point is on the missing lower half, so the end.
    const Arc upper(Point(0, 0), Point(2, 0), 1);
    ExpectNear(upper.GetClosestPointTo(Point(1, 3)), Point(1, 1), k_Rounding);
    EXPECT_NEAR(upper.GetDistanceTo(Point(1, 3)), 2, k_Rounding);
    EXPECT_EQ(upper.GetClosestPointTo(Point(3, -1)), Point(2, 0));
    EXPECT_NEAR(upper.GetDistanceTo(Point(1, 0)), 1, k_Rounding);  // the centre
    // A nearly flat arc (radius 1.25e8): 1e-6 above its top, the top is nearest.
    const Arc flat(Point(0, 0), Point(1, 0), 1e-9);
    EXPECT_NEAR(flat.GetDistanceTo(Point(0.5, 1e-9 + 1e-6)), 1e-6, 1e-15);
}

TEST_F(ArcPoints, NinetyDegreesInTwentyDegreeStepsGivesSixPoints) {
    // 90 / 20 = 4.5: five chords of 18 degrees, six points with the end.
    const Arc quarter(Circumference(Point(0, 0), 1), k_Degree_0, k_Degree_90, k_CCW);
    std::vector<Point> points{Point(9, 9)};
    quarter.GeneratePoints(Angle(Angle::k_Degrees, 20), true, 100, points);
    ASSERT_EQ(points.size(), 7u);
    EXPECT_EQ(points[0], Point(9, 9));  // appended, not replaced
    EXPECT_EQ(points[1], quarter.GetStart());
    EXPECT_EQ(points[6], quarter.GetEnd());
    for (int i = 1; i <= 5; ++i) {
        const double angle = std::atan2(points[i].GetY(), points[i].GetX());
        EXPECT_NEAR(angle, (i - 1) * 18 * k_Pi / 180, k_Rounding);
        EXPECT_NEAR(Point(0, 0).GetDistanceTo(points[i]), 1, k_Rounding);
    }
    std::vector<Point> open;
    quarter.GeneratePoints(Angle(Angle::k_Degrees, 20), false, 100, open);
    EXPECT_EQ(open.size(), 5u);  // start and four interior points
}

TEST_F(ArcPoints, AnExcessBelowOneInATrillionAddsNoChord) {
    const Arc quarter(Circumference(Point(0, 0), 1), k_Degree_0, k_Degree_90, k_CCW);
    const double sweep = quarter.GetSweepAngle().GetValue();
    std::vector<Point> points;
    quarter.GeneratePoints(Angle::FromRadians(sweep / (3 + 4e-13)), true, 100, points);
    EXPECT_EQ(points.size(), 4u);  // three chords
    points.clear();
    quarter.GeneratePoints(Angle::FromRadians(sweep / (3 + 5e-12)), true, 100, points);
    EXPECT_EQ(points.size(), 5u);  // four chords
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
    EXPECT_EQ(upper.GetPointAtRate(1), upper.GetEnd());
    EXPECT_NEAR(upper.GetRateOf(Point(1, 1)), 0.5, k_Rounding);
    EXPECT_NEAR(upper.GetRateOf(Point(1 + std::sqrt(0.5), std::sqrt(0.5))), 0.75, k_Rounding);
    EXPECT_EQ(upper.GetRateOf(Point(2.001, -0.001)), 1.0);  // just past the end
    EXPECT_EQ(upper.GetPointAtRate(2), upper.GetEnd());
    ExpectReports({{"Arc", "0.0 <= rate && rate <= 1.0"}});
}

TEST_F(ArcSplitMerge, SplittingKeepsTheCircle) {
    // A whole unit circle cut at (-1,0) gives two half circles of height -1.
    const Arc circle(Circumference(Point(0, 0), 1), k_Angle_0, k_CCW);
    const std::vector<Arc> halves = circle.Split({Point(1, 0), Point(-1, 0), Point(1, 0)});
    ASSERT_EQ(halves.size(), 2u);
    EXPECT_NEAR(halves[0].GetHeight(), -1, k_Rounding);
    EXPECT_NEAR(halves[1].GetHeight(), -1, k_Rounding);
    EXPECT_EQ(halves[0].GetEnd(), Point(-1, 0));
    // A quarter cut at 45 degrees: two eighths of sagitta 1 - cos 22.5.
    const Arc quarter(Circumference(Point(0, 0), 1), k_Degree_0, k_Degree_90, k_CCW);
    const Point mid(std::sqrt(0.5), std::sqrt(0.5));
    const std::vector<Arc> eighths = quarter.Split({quarter.GetStart(), mid, quarter.GetEnd()});
    ASSERT_EQ(eighths.size(), 2u);
    for (const Arc& a : eighths) {
        EXPECT_NEAR(a.GetHeight(), -(1 - std::cos(k_Pi / 8)), k_Rounding);
    }
    quarter.Split({mid, quarter.GetEnd()});
    ExpectReports({{"Arc", "ends.front() == GetStart() && ends.back() == GetEnd()"},
                   {"Arc", "ret.front().GetStart() == GetStart()"}});
}

TEST_F(ArcSplitMerge, MergingConsecutivePiecesRestoresTheArc) {
    const Arc quarter(Circumference(Point(0, 0), 1), k_Degree_0, k_Degree_90, k_CCW);
    const Point mid(std::sqrt(0.5), std::sqrt(0.5));
    const std::vector<Arc> eighths = quarter.Split({quarter.GetStart(), mid, quarter.GetEnd()});
    const Arc merged = Arc::Merge_G(eighths[0], eighths[1]);
    EXPECT_EQ(merged.GetStart(), quarter.GetStart());
    EXPECT_EQ(merged.GetEnd(), quarter.GetEnd());
    EXPECT_NEAR(merged.GetHeight(), quarter.GetHeight(), k_Rounding);
    // Two half circles close into the whole circle, centre at (0,0).
    const Arc circle =
        Arc::Merge_G(Arc(Point(1, 0), Point(-1, 0), -1), Arc(Point(-1, 0), Point(1, 0), -1));
    EXPECT_EQ(circle.GetHeight(), -2.0);
    EXPECT_EQ(circle.GetDirection(), k_Degree_180);
    EXPECT_EQ(Arc::Merge_G(Arc(Point(0, 0), Point(1, 0)), Arc(Point(1, 0), Point(3, 0))),
              Arc(Point(0, 0), Point(3, 0)));
    Arc::Merge_G(Arc(Point(0, 0), Point(1, 0)), Arc(Point(2, 0), Point(3, 0)));
    ExpectReports({{"Arc", "a1.GetEnd() == a2.GetStart()"}});
}

std::vector<Point> PointsOf(const EdgeIntersections& xs) {
    std::vector<Point> ret;
    for (const auto& x : xs) {
        EXPECT_TRUE(x.IsPoint());
        ret.push_back(x.GetPoint());
    }
    return ret;
}

TEST_F(EdgeIntersection, SegmentsCrossTouchAndOverlap) {
    const double acc = 1e-9;
    const Segment d1(Point(0, 0), Point(2, 2));
    const Segment d2(Point(0, 2), Point(2, 0));
    EXPECT_EQ(PointsOf(Segment::Intersect_G(d1, d2, acc)), std::vector<Point>{Point(1, 1)});
    EXPECT_EQ(PointsOf(Segment::Intersect_G(d2, d1, acc)), std::vector<Point>{Point(1, 1)});
    // A T: the stem's end, exactly.
    EXPECT_EQ(PointsOf(Segment::Intersect_G(Segment(Point(0, 0), Point(2, 0)),
                                            Segment(Point(1, 1), Point(1, 0)), acc)),
              std::vector<Point>{Point(1, 0)});
    // End to end.
    EXPECT_EQ(PointsOf(Segment::Intersect_G(Segment(Point(0, 0), Point(1, 0)),
                                            Segment(Point(1, 0), Point(2, 0)), acc)),
              std::vector<Point>{Point(1, 0)});
    // Parallel and apart.
    EXPECT_TRUE(Segment::Intersect_G(Segment(Point(0, 0), Point(1, 0)),
                                     Segment(Point(0, 1), Point(1, 1)), acc)
                    .empty());
    // Overlaps run the way of the first segment, whichever way the second runs.
    const Segment base(Point(0, 0), Point(4, 0));
    for (const Segment& other :
         {Segment(Point(2, 0), Point(6, 0)), Segment(Point(6, 0), Point(2, 0))}) {
        const EdgeIntersections xs = Segment::Intersect_G(base, other, acc);
        ASSERT_EQ(xs.size(), 1);
        EXPECT_EQ(xs[0].m_Value, Arc(Point(2, 0), Point(4, 0)));
    }
    const EdgeIntersections inside = Segment::Intersect_G(Segment(Point(0, 0), Point(10, 0)),
                                                          Segment(Point(3, 0), Point(2, 0)), acc);
    ASSERT_EQ(inside.size(), 1);
    EXPECT_EQ(inside[0].m_Value, Arc(Point(2, 0), Point(3, 0)));
}

TEST_F(EdgeIntersection, EndsWithinTheAccuracyMeetAtAnEnd) {
    const EdgeIntersections xs = Segment::Intersect_G(
        Segment(Point(0, 0), Point(1, 0)), Segment(Point(1.0000001, 0), Point(2, 0)), 1e-6);
    ASSERT_EQ(xs.size(), 1);
    const Point p = xs[0].GetPoint();
    EXPECT_TRUE(p == Point(1, 0) || p == Point(1.0000001, 0));
    EXPECT_TRUE(Segment::Intersect_G(Segment(Point(0, 0), Point(1, 0)),
                                     Segment(Point(1.0000001, 0), Point(2, 0)), 1e-8)
                    .empty());
}

TEST_F(EdgeIntersection, CircleAndLine) {
    const double acc = 1e-9;
    const Arc circle(Circumference(Point(0, 0), 1), k_Angle_0, k_CCW);
    // Through the centre: (1,0) is the circle's start, so it is taken exactly.
    std::vector<Point> points =
        PointsOf(Arc::Intersect_G(circle, Arc(Point(-2, 0), Point(2, 0)), acc));
    ASSERT_EQ(points.size(), 2u);
    EXPECT_TRUE(points[0] == Point(1, 0) || points[1] == Point(1, 0));
    for (const Point& p : points) {
        EXPECT_NEAR(std::fabs(p.GetX()), 1, k_Rounding);
        EXPECT_NEAR(p.GetY(), 0, k_Rounding);
    }
    // Tangent at the top.
    points = PointsOf(Arc::Intersect_G(Arc(Point(-2, 1), Point(2, 1)), circle, acc));
    ASSERT_EQ(points.size(), 1u);
    ExpectNear(points[0], Point(0, 1), k_Rounding);
    // The upper half circle misses a line below its chord.
    EXPECT_TRUE(Arc::Intersect_G(Arc(Point(1, 0), Point(-1, 0), -1),
                                 Arc(Point(-2, -0.5), Point(2, -0.5)), acc)
                    .empty());
}

TEST_F(EdgeIntersection, TwoCircles) {
    // Unit circles around (0,0) and (1,0) cross at (1/2, +-sqrt(3)/2).
    const Arc a(Circumference(Point(0, 0), 1), k_Angle_0, k_CCW);
    const Arc b(Circumference(Point(1, 0), 1), k_Angle_0, k_CW);
    std::vector<Point> points = PointsOf(Arc::Intersect_G(a, b, 1e-9));
    ASSERT_EQ(points.size(), 2u);
    for (const Point& p : points) {
        EXPECT_NEAR(p.GetX(), 0.5, k_Rounding);
        EXPECT_NEAR(std::fabs(p.GetY()), std::sqrt(3.0) / 2, k_Rounding);
    }
    // Accuracy 0 still finds computed crossings (within the shapes' own tolerance).
    EXPECT_EQ(PointsOf(Arc::Intersect_G(a, b, 0)).size(), 2u);
    // Quarter arcs sharing an end meet exactly there.
    const Circumference unit(Point(0, 0), 1);
    points = PointsOf(Arc::Intersect_G(
        Arc(unit, k_Degree_0, k_Degree_90, k_CCW),
        Arc(Circumference(Point(0, 2), 1), k_Degree_270, k_Degree_0, k_CCW), 1e-9));
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0], Point(0, 1));
}

/// Distance of p from the circle through a, b and c (an independent model of an arc).
double DistanceFromCircleThrough(const Point& a, const Point& b, const Point& c, const Point& p) {
    const double ax = a.GetX(), ay = a.GetY(), bx = b.GetX(), by = b.GetY();
    const double cx = c.GetX(), cy = c.GetY();
    const double d = 2 * (ax * (by - cy) + bx * (cy - ay) + cx * (ay - by));
    const double ux = ((ax * ax + ay * ay) * (by - cy) + (bx * bx + by * by) * (cy - ay)
                       + (cx * cx + cy * cy) * (ay - by))
                      / d;
    const double uy = ((ax * ax + ay * ay) * (cx - bx) + (bx * bx + by * by) * (ax - cx)
                       + (cx * cx + cy * cy) * (bx - ax))
                      / d;
    return std::fabs(std::hypot(p.GetX() - ux, p.GetY() - uy) - std::hypot(ax - ux, ay - uy));
}

TEST_F(EdgeIntersection, ANearlyFlatArcCrossingASmallOne) {
    // A diagonal bulging by 0.001 over 10.6 (radius about 13000) crosses an arc of radius
    // 6.7 once. From the two circles alone the crossing is off by 1e-8 (the large radius
    // times the rounding, over the crossing's distance from the line of centres), which
    // the accuracy 1e-9 rejects; the crossing must be found all the same.
    const Arc flat(Point(0, 0), Point(7.5, 7.5), 0.00107073);
    const Arc small(Point(2.5, 2.5), Point(2.5, 7.5), -0.484061);
    const std::vector<Point> points = PointsOf(Arc::Intersect_G(flat, small, 1e-9));
    ASSERT_EQ(points.size(), 1u);
    // Checked against each arc's circle through its ends and its middle point (the middle
    // point lies |h| from the chord's midpoint, to the left for a positive height).
    const Point flat_middle(3.75 - 0.00107073 / std::sqrt(2.0), 3.75 + 0.00107073 / std::sqrt(2.0));
    const Point small_middle(2.5 + 0.484061, 5);
    // The circle through three points is itself rounded: about 1e-16 of the radius squared
    // over the chord.
    EXPECT_LT(DistanceFromCircleThrough(flat.GetStart(), flat_middle, flat.GetEnd(), points[0]),
              1e-9);
    EXPECT_LT(DistanceFromCircleThrough(small.GetStart(), small_middle, small.GetEnd(), points[0]),
              1e-12);
    EXPECT_LT(flat.GetDistanceTo(points[0]), 1e-12);
    EXPECT_LT(small.GetDistanceTo(points[0]), 1e-12);
}

TEST_F(EdgeIntersection, ArcsOnOneCircleShareAPiece) {
    // The upper half of the unit circle (0 to 180 degrees) and the arc from 45 to 270
    // degrees share 45 to 180: an arc of 135 degrees, sagitta 1 - cos 67.5, running
    // counter-clockwise like the first.
    const Circumference unit(Point(0, 0), 1);
    const Arc upper(unit, k_Degree_0, k_Degree_180, k_CCW);
    const Arc other(unit, k_Degree_45, k_Degree_270, k_CCW);
    const EdgeIntersections xs = Arc::Intersect_G(upper, other, 1e-9);
    ASSERT_EQ(xs.size(), 1);
    EXPECT_FALSE(xs[0].IsPoint());
    EXPECT_EQ(xs[0].m_Value.GetStart(), other.GetStart());
    EXPECT_EQ(xs[0].m_Value.GetEnd(), upper.GetEnd());
    EXPECT_NEAR(xs[0].m_Value.GetHeight(), -(1 - std::cos(67.5 * k_Pi / 180)), k_Rounding);
    // The same, with the first arc running clockwise: the piece runs clockwise too.
    const EdgeIntersections reversed = Arc::Intersect_G(upper.GetReversed(), other, 1e-9);
    ASSERT_EQ(reversed.size(), 1);
    EXPECT_EQ(reversed[0].m_Value.GetStart(), upper.GetEnd());
    EXPECT_GT(reversed[0].m_Value.GetHeight(), 0.0);
}

}  // namespace
