#include "math/geometry/Offset.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "KernelTest.h"
#include "math/geometry/Circumference.h"
#include "math/geometry/PolygonWithHolesCollection.h"

using namespace geom;

namespace {

/// Rounding of a few dozen operations on values of order 1.
constexpr double k_Rounding = 1e-12;
/// Accuracy passed to the offsets: far below every feature of the test shapes.
constexpr double k_Accuracy = 1e-9;
const double k_Pi = std::acos(-1.0);

class OffsetEdge : public KernelTest {};
class OffsetJoin : public KernelTest {};
class Expansion : public KernelTest {};
class Shrinking : public KernelTest {};
class OffsetProperties : public KernelTest {};

Polygon Square(double x0, double y0, double side) {
    return Polygon(
        {Point(x0, y0), Point(x0 + side, y0), Point(x0 + side, y0 + side), Point(x0, y0 + side)},
        false);
}

Polygon Expanded(const Polygon& p, double by, int mode = k_RoundCorner) {
    return Expand_G(p, by, k_Accuracy, true, false, mode, 0.0).GetPolygon();
}

// ---- Independent geometry for the checks: straight-edged polygons only, plain doubles.

double DistanceToSegment(const Point& p, const Point& a, const Point& b) {
    const double dx = b.GetX() - a.GetX();
    const double dy = b.GetY() - a.GetY();
    const double l2 = dx * dx + dy * dy;
    double t = l2 > 0 ? ((p.GetX() - a.GetX()) * dx + (p.GetY() - a.GetY()) * dy) / l2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.GetX() - a.GetX() - t * dx, p.GetY() - a.GetY() - t * dy);
}

double DistanceToBoundary(const Point& p, const std::vector<Point>& ring) {
    double ret = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < ring.size(); ++i) {
        ret = std::min(ret, DistanceToSegment(p, ring[i], ring[(i + 1) % ring.size()]));
    }
    return ret;
}

/// Even-odd crossing count.
bool IsInside(const Point& p, const std::vector<Point>& ring) {
    bool inside = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const Point& a = ring[i];
        const Point& b = ring[j];
        if ((a.GetY() > p.GetY()) != (b.GetY() > p.GetY())
            && p.GetX() < (b.GetX() - a.GetX()) * (p.GetY() - a.GetY()) / (b.GetY() - a.GetY())
                              + a.GetX()) {
            inside = !inside;
        }
    }
    return inside;
}

/// The circle of an arc from its ends and its middle point (the chord midpoint moved |h|
/// to the side the arc bulges to: left for positive heights), with the start's azimuth
/// and the signed sweep (counter-clockwise for negative heights).
struct FittedArc {
    double m_X = 0, m_Y = 0, m_Radius = 0, m_From = 0, m_Sweep = 0;
};

FittedArc FitArc(const Arc& e) {
    const double sx = e.GetStart().GetX(), sy = e.GetStart().GetY();
    const double ex = e.GetEnd().GetX(), ey = e.GetEnd().GetY();
    const double h = e.GetHeight();
    FittedArc ret;
    if (sx == ex && sy == ey) {
        // A whole circle: its diameter runs from the start along the direction.
        ret.m_Radius = std::fabs(h) / 2;
        ret.m_X = sx + ret.m_Radius * std::cos(e.GetDirection().GetValue());
        ret.m_Y = sy + ret.m_Radius * std::sin(e.GetDirection().GetValue());
        ret.m_From = std::atan2(sy - ret.m_Y, sx - ret.m_X);
        ret.m_Sweep = h < 0 ? 2 * k_Pi : -2 * k_Pi;
        return ret;
    }
    const double len = std::hypot(ex - sx, ey - sy);
    const double mx = (sx + ex) / 2 - (ey - sy) / len * h;
    const double my = (sy + ey) / 2 + (ex - sx) / len * h;
    const double d = 2 * (sx * (my - ey) + mx * (ey - sy) + ex * (sy - my));
    ret.m_X = ((sx * sx + sy * sy) * (my - ey) + (mx * mx + my * my) * (ey - sy)
               + (ex * ex + ey * ey) * (sy - my))
              / d;
    ret.m_Y = ((sx * sx + sy * sy) * (ex - mx) + (mx * mx + my * my) * (sx - ex)
               + (ex * ex + ey * ey) * (mx - sx))
              / d;
    ret.m_Radius = std::hypot(sx - ret.m_X, sy - ret.m_Y);
    ret.m_From = std::atan2(sy - ret.m_Y, sx - ret.m_X);
    double sweep = std::atan2(ey - ret.m_Y, ex - ret.m_X) - ret.m_From;
    if (h < 0) {
        while (sweep <= 0) {
            sweep += 2 * k_Pi;
        }
    } else {
        while (sweep >= 0) {
            sweep -= 2 * k_Pi;
        }
    }
    ret.m_Sweep = sweep;
    return ret;
}

/// Points along an edge: n, from its start on.
std::vector<Point> SampleEdge(const Arc& e, int n) {
    std::vector<Point> ret;
    if (e.GetHeight() == 0) {
        const Point& s = e.GetStart();
        const Point& t = e.GetEnd();
        for (int i = 0; i < n; ++i) {
            ret.emplace_back(s.GetX() + (t.GetX() - s.GetX()) * i / n,
                             s.GetY() + (t.GetY() - s.GetY()) * i / n);
        }
        return ret;
    }
    const FittedArc f = FitArc(e);
    for (int i = 0; i < n; ++i) {
        const double a = f.m_From + f.m_Sweep * i / n;
        ret.emplace_back(f.m_X + f.m_Radius * std::cos(a), f.m_Y + f.m_Radius * std::sin(a));
    }
    return ret;
}

/// Distance from p to an edge: to its circle where p's azimuth lies within the sweep,
/// else to the nearer end.
double DistanceToEdge(const Point& p, const Arc& e) {
    if (e.GetHeight() == 0) {
        return DistanceToSegment(p, e.GetStart(), e.GetEnd());
    }
    const FittedArc f = FitArc(e);
    double along = std::atan2(p.GetY() - f.m_Y, p.GetX() - f.m_X) - f.m_From;
    if (f.m_Sweep < 0) {
        along = -along;
    }
    along = std::fmod(along, 2 * k_Pi);
    if (along < 0) {
        along += 2 * k_Pi;
    }
    if (along <= std::fabs(f.m_Sweep)) {
        return std::fabs(std::hypot(p.GetX() - f.m_X, p.GetY() - f.m_Y) - f.m_Radius);
    }
    return std::min(p.GetDistanceTo(e.GetStart()), p.GetDistanceTo(e.GetEnd()));
}

double DistanceToEdges(const Point& p, const std::vector<Arc>& edges) {
    double ret = std::numeric_limits<double>::infinity();
    for (const Arc& e : edges) {
        ret = std::min(ret, DistanceToEdge(p, e));
    }
    return ret;
}

std::vector<Point> SampleBoundary(const PolyArc& p, int per_edge) {
    std::vector<Point> ret;
    for (const Arc& e : p.GetEdges()) {
        for (const Point& q : SampleEdge(e, per_edge)) {
            ret.push_back(q);
        }
    }
    return ret;
}

/// A simple polygon, star-shaped around the origin: n vertices at sorted random angles and
/// random radii, so that it has spikes, bays and narrow necks.
std::vector<Point> RandomStar(std::mt19937& random, int n) {
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<double> angles;
    for (int i = 0; i < n; ++i) {
        angles.push_back(2 * k_Pi * (i + 0.8 * unit(random)) / n);
    }
    std::vector<Point> ring;
    for (const double a : angles) {
        const double r = 0.2 + 0.8 * unit(random);
        ring.emplace_back(r * std::cos(a), r * std::sin(a));
    }
    return ring;
}

/// A convex polygon: n points at sorted random angles on a circle.
std::vector<Point> RandomConvex(std::mt19937& random, int n) {
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Point> ring;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * k_Pi * (i + 0.9 * unit(random)) / n;
        ring.emplace_back(std::cos(a), std::sin(a));
    }
    return ring;
}

double Perimeter(const std::vector<Point>& ring) {
    double ret = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        ret += ring[i].GetDistanceTo(ring[(i + 1) % ring.size()]);
    }
    return ret;
}

// ---- Single edges.

TEST_F(OffsetEdge, SegmentsMoveToTheirRight) {
    Arc out;
    // (0,0) -> (2,0) runs along x; its right is -y. Axis-parallel offsets are exact.
    ASSERT_TRUE(OffsetEdge_G(Arc(Point(0, 0), Point(2, 0)), 0.5, k_Accuracy, &out));
    EXPECT_EQ(out, Arc(Point(0, -0.5), Point(2, -0.5)));
    ASSERT_TRUE(OffsetEdge_G(Arc(Point(0, 0), Point(2, 0)), -0.5, k_Accuracy, &out));
    EXPECT_EQ(out, Arc(Point(0, 0.5), Point(2, 0.5)));
    // (0,0) -> (3,4) has the unit right normal (0.8, -0.6).
    ASSERT_TRUE(OffsetEdge_G(Arc(Point(0, 0), Point(3, 4)), 5, k_Accuracy, &out));
    EXPECT_NEAR(out.GetStart().GetX(), 4, k_Rounding);
    EXPECT_NEAR(out.GetStart().GetY(), -3, k_Rounding);
    EXPECT_NEAR(out.GetEnd().GetX(), 7, k_Rounding);
    EXPECT_NEAR(out.GetEnd().GetY(), 1, k_Rounding);
    EXPECT_EQ(out.GetHeight(), 0);
    // A height within the accuracy counts as straight and is dropped.
    ASSERT_TRUE(OffsetEdge_G(Arc(Point(0, 0), Point(2, 0), 1e-10), 0.5, k_Accuracy, &out));
    EXPECT_EQ(out, Arc(Point(0, -0.5), Point(2, -0.5)));
    // Points within the accuracy yield nothing.
    EXPECT_FALSE(OffsetEdge_G(Arc(Point(1, 1), Point(1, 1)), 0.5, k_Accuracy, &out));
    EXPECT_FALSE(OffsetEdge_G(Arc(Point(1, 1), Point(1 + 1e-10, 1)), 0.5, k_Accuracy, &out));
}

TEST_F(OffsetEdge, ArcsKeepCentreRaysAndOrientation) {
    Arc out;
    // Counter-clockwise lower half circle (0,0) -> (2,0) about (1,0), radius 1: moving it
    // to the right (away from the centre) by 0.5 gives radius 1.5 between the same rays.
    ASSERT_TRUE(OffsetEdge_G(Arc(Point(0, 0), Point(2, 0), -1), 0.5, k_Accuracy, &out));
    EXPECT_NEAR(out.GetStart().GetX(), -0.5, k_Rounding);
    EXPECT_NEAR(out.GetStart().GetY(), 0, k_Rounding);
    EXPECT_NEAR(out.GetEnd().GetX(), 2.5, k_Rounding);
    EXPECT_NEAR(out.GetEnd().GetY(), 0, k_Rounding);
    EXPECT_NEAR(out.GetHeight(), -1.5, k_Rounding);
    // The same half circle clockwise (height +1, the upper half): its right is the
    // centre's side, so the radius shrinks to 0.5.
    ASSERT_TRUE(OffsetEdge_G(Arc(Point(0, 0), Point(2, 0), 1), 0.5, k_Accuracy, &out));
    EXPECT_NEAR(out.GetStart().GetX(), 0.5, k_Rounding);
    EXPECT_NEAR(out.GetEnd().GetX(), 1.5, k_Rounding);
    EXPECT_NEAR(out.GetHeight(), 0.5, k_Rounding);
    // Shrinking it to the accuracy or below leaves nothing.
    EXPECT_FALSE(OffsetEdge_G(Arc(Point(0, 0), Point(2, 0), 1), 1, k_Accuracy, &out));
    EXPECT_FALSE(OffsetEdge_G(Arc(Point(0, 0), Point(2, 0), 1), 1 - 1e-10, k_Accuracy, &out));
    EXPECT_FALSE(OffsetEdge_G(Arc(Point(0, 0), Point(2, 0), -1), -1.5, k_Accuracy, &out));
    // A quarter circle of radius 2 about (0,0) from (2,0) to (0,2), counter-clockwise:
    // height 2 (1 - 1/sqrt 2). Offset by -0.5 it has radius 1.5 and the same sweep.
    const double quarter = 1 - 1 / std::sqrt(2.0);
    ASSERT_TRUE(OffsetEdge_G(Arc(Point(2, 0), Point(0, 2), -2 * quarter), -0.5, k_Accuracy, &out));
    EXPECT_NEAR(out.GetStart().GetX(), 1.5, k_Rounding);
    EXPECT_NEAR(out.GetStart().GetY(), 0, k_Rounding);
    EXPECT_NEAR(out.GetEnd().GetX(), 0, k_Rounding);
    EXPECT_NEAR(out.GetEnd().GetY(), 1.5, k_Rounding);
    EXPECT_NEAR(out.GetHeight(), -1.5 * quarter, k_Rounding);
    EXPECT_NEAR(out.GetSweepAngle().GetValue(), k_Pi / 2, k_Rounding);
}

TEST_F(OffsetEdge, WholeCirclesStayWholeAtTheirAzimuth) {
    Arc out;
    // Built at azimuth 90 degrees about (1,1), radius 1: starts at (1,2), direction 270.
    const Arc circle(Circumference(Point(1, 1), 1), k_Degree_90, k_CCW);
    ASSERT_TRUE(OffsetEdge_G(circle, 0.5, k_Accuracy, &out));
    EXPECT_EQ(out, Arc(Circumference(Point(1, 1), 1.5), k_Degree_90, k_CCW));
    ASSERT_TRUE(OffsetEdge_G(circle.GetReversed(), 0.5, k_Accuracy, &out));
    EXPECT_EQ(out, Arc(Circumference(Point(1, 1), 0.5), k_Degree_90, k_CW));
    EXPECT_FALSE(OffsetEdge_G(circle, -1, k_Accuracy, &out));
}

// ---- Joining.

TEST_F(OffsetJoin, EndsWithinTheAccuracyAreLinkedWhereTheFirstEnds) {
    std::vector<Arc> joined;
    const std::vector<Arc> edges{Arc(Point(0, 0), Point(1, 0)), Arc(Point(1, 1e-10), Point(1, 1)),
                                 Arc(Point(1, 1), Point(0, 0))};
    ASSERT_TRUE(JoinOffsetEdges_G(edges, k_Closed, k_RoundCorner, 0, k_Accuracy, &joined));
    ASSERT_EQ(joined.size(), 3u);
    EXPECT_EQ(joined[1], Arc(Point(1, 0), Point(1, 1)));
}

TEST_F(OffsetJoin, CrossingEdgesAreCutBackToTheCrossing) {
    std::vector<Arc> joined;
    // Two segments crossing at (1,1), and a third that closes the chain.
    const std::vector<Arc> edges{Arc(Point(0, 1), Point(2, 1)), Arc(Point(1, 2), Point(1, 0)),
                                 Arc(Point(1, 0), Point(0, 1))};
    ASSERT_TRUE(JoinOffsetEdges_G(edges, k_Closed, k_RoundCorner, 0, k_Accuracy, &joined));
    ASSERT_EQ(joined.size(), 3u);
    EXPECT_EQ(joined[0], Arc(Point(0, 1), Point(1, 1)));
    EXPECT_EQ(joined[1], Arc(Point(1, 1), Point(1, 0)));
    // An arc cut back keeps its circle: the upper unit half circle about (0,0), clockwise
    // from (-1,0) to (1,0), crossed by x = 0 at its top (0,1) keeps a quarter circle.
    const std::vector<Arc> arcs{Arc(Point(-1, 0), Point(1, 0), 1), Arc(Point(0, 2), Point(0, -1)),
                                Arc(Point(0, -1), Point(-1, 0))};
    ASSERT_TRUE(JoinOffsetEdges_G(arcs, k_Closed, k_RoundCorner, 0, k_Accuracy, &joined));
    ASSERT_EQ(joined.size(), 3u);
    EXPECT_TRUE(joined[0].GetEnd().IsEqualTo(Point(0, 1), k_Rounding));
    EXPECT_NEAR(joined[0].GetHeight(), 1 - 1 / std::sqrt(2.0), k_Rounding);
}

TEST_F(OffsetJoin, CornerModesFillTheGap) {
    // The bottom and right sides of the unit square moved out by 1: the gap runs from
    // (1,-1) to (2,0) round the corner (1,0).
    const std::vector<Arc> edges{Arc(Point(0, -1), Point(1, -1)), Arc(Point(2, 0), Point(2, 1))};
    std::vector<Arc> joined;
    ASSERT_TRUE(JoinOffsetEdges_G(edges, k_Open, k_RoundCorner, 0, k_Accuracy, &joined));
    ASSERT_EQ(joined.size(), 3u);
    // A counter-clockwise quarter circle of radius 1: height -(1 - 1/sqrt 2).
    EXPECT_EQ(joined[1].GetStart(), Point(1, -1));
    EXPECT_EQ(joined[1].GetEnd(), Point(2, 0));
    EXPECT_NEAR(joined[1].GetHeight(), -(1 - 1 / std::sqrt(2.0)), k_Rounding);
    ASSERT_TRUE(JoinOffsetEdges_G(edges, k_Open, k_StraightCorner, 0, k_Accuracy, &joined));
    ASSERT_EQ(joined.size(), 3u);
    EXPECT_EQ(joined[1], Arc(Point(1, -1), Point(2, 0)));
    // The mitre point is (2,-1), 1 from both ends: whole within a limit of 1.
    for (const int mode : {k_ClippedMitreCorner, k_MitreOrBevelCorner}) {
        ASSERT_TRUE(JoinOffsetEdges_G(edges, k_Open, mode, 1.0, k_Accuracy, &joined));
        ASSERT_EQ(joined.size(), 4u);
        EXPECT_EQ(joined[1], Arc(Point(1, -1), Point(2, -1)));
        EXPECT_EQ(joined[2], Arc(Point(2, -1), Point(2, 0)));
    }
    // Beyond a limit of 0.5 the clipped mitre is cut square at 0.5 along both tangents;
    // the other form falls back to the straight corner.
    ASSERT_TRUE(JoinOffsetEdges_G(edges, k_Open, k_ClippedMitreCorner, 0.5, k_Accuracy, &joined));
    ASSERT_EQ(joined.size(), 5u);
    EXPECT_EQ(joined[1], Arc(Point(1, -1), Point(1.5, -1)));
    EXPECT_EQ(joined[2], Arc(Point(1.5, -1), Point(2, -0.5)));
    EXPECT_EQ(joined[3], Arc(Point(2, -0.5), Point(2, 0)));
    ASSERT_TRUE(JoinOffsetEdges_G(edges, k_Open, k_MitreOrBevelCorner, 0.5, k_Accuracy, &joined));
    ASSERT_EQ(joined.size(), 3u);
    EXPECT_EQ(joined[1], Arc(Point(1, -1), Point(2, 0)));
    // A second end within the accuracy of the tangent line gets a straight piece.
    const std::vector<Arc> in_line{Arc(Point(0, 0), Point(1, 0)),
                                   Arc(Point(2, 1e-10), Point(3, 0))};
    ASSERT_TRUE(JoinOffsetEdges_G(in_line, k_Open, k_RoundCorner, 0, k_Accuracy, &joined));
    EXPECT_EQ(joined[1], Arc(Point(1, 0), Point(2, 1e-10)));
}

TEST_F(OffsetJoin, UnknownCornerModesLeaveTheGapAndAreReported) {
    const std::vector<Arc> edges{Arc(Point(0, -1), Point(1, -1)), Arc(Point(2, 0), Point(2, 1))};
    std::vector<Arc> joined;
    EXPECT_FALSE(JoinOffsetEdges_G(edges, k_Open, 7, 0, k_Accuracy, &joined));
    EXPECT_EQ(joined.size(), 2u);
    ExpectReports({{"Offset", "IsPolyArcSequence_G (ret, open_or_closed)"}});
}

// ---- Expansion.

TEST_F(Expansion, UnitSquareGetsRoundCorners) {
    const PolygonWithHoles grown = Expand_G(Square(0, 0, 1), 0.5, k_Accuracy, true, false, 0, 0);
    EXPECT_EQ(grown.GetHoleCount(), 0);
    // Steiner: area + perimeter d + pi d^2 = 1 + 4 * 0.5 + pi / 4.
    EXPECT_NEAR(grown.GetArea(), 3 + k_Pi / 4, k_Rounding);
    int arcs = 0;
    for (const Arc& e : grown.GetPolygon().GetEdges()) {
        if (e.GetHeight() == 0) {
            EXPECT_NEAR(e.GetLength(), 1, k_Rounding);
            continue;
        }
        ++arcs;
        // Counter-clockwise quarter circles of radius 0.5 about the square's corners.
        EXPECT_NEAR(e.GetHeight(), -0.5 * (1 - 1 / std::sqrt(2.0)), k_Rounding);
        const Circumference c = e.GetCircumference();
        EXPECT_NEAR(c.GetRadius(), 0.5, k_Rounding);
        EXPECT_NEAR(std::fabs(c.GetCentre().GetX() - 0.5), 0.5, k_Rounding);
        EXPECT_NEAR(std::fabs(c.GetCentre().GetY() - 0.5), 0.5, k_Rounding);
    }
    EXPECT_EQ(arcs, 4);
    EXPECT_EQ(grown.GetPolygon().GetEdgeCount(), 8);
    // Straight corners cut each corner square of side 0.5 in half: 3 + 4 * 0.125.
    EXPECT_NEAR(Expanded(Square(0, 0, 1), 0.5, k_StraightCorner).GetArea(), 3.5, k_Rounding);
}

TEST_F(Expansion, DegenerateInputsComeBackUnchanged) {
    const Polygon square = Square(0, 0, 1);
    EXPECT_TRUE(Expanded(square, 0).IsSameImplementation(square));
    EXPECT_TRUE(Expanded(Polygon(), 1).IsEmpty());
    // One zero-length edge: no edge survives the offset.
    const Polygon point({Point(2, 3)}, false);
    EXPECT_TRUE(Expanded(point, 1).IsSameImplementation(point));
    // A distance that is no number moves nothing.
    EXPECT_TRUE(
        Expanded(square, std::numeric_limits<double>::infinity()).IsSameImplementation(square));
}

TEST_F(Expansion, CircleGrowsIntoTheCircleOfTheSumOfRadii) {
    // Each radius and the offset are exact binary fractions, so the circle is bit-exact.
    const Polygon grown = Expanded(Polygon(Circle(Point(0.25, -2), 1)), 0.5);
    ASSERT_EQ(grown.GetEdgeCount(), 1);
    EXPECT_EQ(grown.GetEdge(0), Polygon(Circle(Point(0.25, -2), 1.5)).GetEdge(0));
}

TEST_F(Expansion, SelfIntersectionRemovalKeepsAWholeCircleEdge) {
    // The input that broke it: a polygon of one whole-circle edge, which the removal split
    // at its start alone into a single zero-length piece and so dropped.
    const Polygon circle(Circle(Point(1, 2), 1.5));
    for (const bool keep_holes : {false, true}) {
        const PolygonWithHolesCollection kept =
            RemoveSelfIntersections_G(circle, k_Accuracy, keep_holes, false);
        ASSERT_EQ(kept.GetCount(), 1);
        EXPECT_EQ(kept.GetPolygonsWithHoles()[0].GetPolygon().GetEdges(), circle.GetEdges());
    }
    EXPECT_EQ(circle.RemoveSelfIntersections(k_Accuracy).GetCount(), 1);
}

TEST_F(Expansion, WithoutCleaningTheJoinedEdgesAreTheOutline) {
    // An L whose reflex corner (1,1) makes the offset sides cross: cut back, they meet at
    // (1.5,1.5) and no loop is left to clean.
    const Polygon ell(
        {Point(0, 0), Point(3, 0), Point(3, 1), Point(1, 1), Point(1, 3), Point(0, 3)}, false);
    const PolygonWithHoles raw = Expand_G(ell, 0.5, k_Accuracy, false, false, 0, 0);
    const PolygonWithHoles cleaned = Expand_G(ell, 0.5, k_Accuracy, true, false, 0, 0);
    EXPECT_TRUE(raw.GetPolygon().IsEqualTo(cleaned.GetPolygon(), k_Rounding));
    bool corner_found = false;
    for (const Point& v : raw.GetPolygon().GetVertices()) {
        corner_found = corner_found || v.IsEqualTo(Point(1.5, 1.5), k_Rounding);
    }
    EXPECT_TRUE(corner_found);
    // Steiner for this L: area 5 + perimeter 12 x 0.5, plus a quarter disc of radius 0.5
    // (pi / 16) at each of the five convex corners, less the 0.5 x 0.5 square that the
    // strips of both sides at the reflex corner cover.
    EXPECT_NEAR(raw.GetArea(), 5 + 6 + 5 * k_Pi / 16 - 0.25, k_Rounding);
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
        const Polygon grown = Expanded(Polygon(s, width), by);
        // Offset ends move along exact normals; the rounding of coordinates of order 10.
        EXPECT_TRUE(grown.IsEqualTo(Polygon(s, width + 2 * by), 1e-11)) << i;
    }
}

// ---- Shrinking.

TEST_F(Shrinking, DistancesBeyondTheBoxGiveNothingWithoutOffsetting) {
    // Corner mode 7 fills no gap and would be reported, had any offsetting taken place.
    EXPECT_TRUE(Shrink_G(Square(0, 0, 1), 1.5, k_Accuracy, true, 7, 0).IsEmpty());
    EXPECT_TRUE(Shrink_G(Polygon(), 0.5, k_Accuracy, true, 0, 0).IsEmpty());
    const PolygonWithHolesCollection same = Shrink_G(Square(0, 0, 1), 0, k_Accuracy, true, 7, 0);
    ASSERT_EQ(same.GetCount(), 1);
    EXPECT_TRUE(same.GetPolygonsWithHoles()[0].GetPolygon().IsEqualTo(Square(0, 0, 1), 0));
}

TEST_F(Shrinking, SquareSidesCrossAndAreCutBack) {
    for (const bool clean : {true, false}) {
        const PolygonWithHolesCollection shrunk =
            Shrink_G(Square(0, 0, 1), 0.25, k_Accuracy, clean, 0, 0);
        ASSERT_EQ(shrunk.GetCount(), 1);
        const Polygon p = shrunk.GetPolygonsWithHoles()[0].GetPolygon();
        // Binary fractions: the square from 0.25 to 0.75, exactly.
        EXPECT_TRUE(p.IsEqualTo(Square(0.25, 0.25, 0.5), 0));
    }
}

TEST_F(Shrinking, SquaresShrunkPastTheirMiddleVanish) {
    // Every side's cuts pass each other (at 0.4 and 0.6 along it): cut back, the four
    // leftovers would form a counter-clockwise square of side 0.2.
    for (const double by : {0.5 + 1e-6, 0.6, 0.99}) {
        EXPECT_TRUE(Shrink_G(Square(0, 0, 1), by, k_Accuracy, true, 0, 0).IsEmpty()) << by;
        EXPECT_TRUE(Shrink_G(Square(0, 0, 1), by, k_Accuracy, true, 1, 0).IsEmpty()) << by;
    }
    // A 4 x 1 strip shrunk by 0.6: the long sides survive their cuts, the short ones not.
    const Polygon strip({Point(0, 0), Point(4, 0), Point(4, 1), Point(0, 1)}, false);
    EXPECT_TRUE(Shrink_G(strip, 0.6, k_Accuracy, true, 0, 0).IsEmpty());
}

TEST_F(Shrinking, AUFallsApartIntoItsArms) {
    // Arms 3 wide and 5 high on a base 1 high, with a slot 1 wide between them.
    const Polygon u({Point(0, 0), Point(7, 0), Point(7, 5), Point(4, 5), Point(4, 1), Point(3, 1),
                     Point(3, 5), Point(0, 5)},
                    false);
    // By 0.4 a band 0.2 high is left of the base, joining the arms.
    EXPECT_EQ(Shrink_G(u, 0.4, k_Accuracy, true, 0, 0).GetCount(), 1);
    // By 1.1 the base is gone; each arm leaves [1.1, 1.9] x [1.1, 3.9] (or its mirror),
    // 0.8 x 2.8: above y = 1.1 the slot's wall is nearer than its corner.
    const PolygonWithHolesCollection arms = Shrink_G(u, 1.1, k_Accuracy, true, 0, 0);
    ASSERT_EQ(arms.GetCount(), 2);
    for (const PolygonWithHoles& arm : arms.GetPolygonsWithHoles()) {
        EXPECT_NEAR(arm.GetArea(), 0.8 * 2.8, k_Rounding);
        EXPECT_EQ(arm.GetHoleCount(), 0);
    }
}

TEST_F(Shrinking, ReflexCornersBecomeFillets) {
    // An L 1 wide: shrunk by 0.25 it is two bars 0.5 wide (3.5 long, overlapping in a
    // 0.5 square) plus the fillet between them at the reflex corner (1,1): the square
    // [0.75, 1]^2 less the quarter disc of radius 0.25 about (1,1).
    const Polygon ell(
        {Point(0, 0), Point(4, 0), Point(4, 1), Point(1, 1), Point(1, 4), Point(0, 4)}, false);
    const PolygonWithHolesCollection shrunk = Shrink_G(ell, 0.25, k_Accuracy, true, 0, 0);
    ASSERT_EQ(shrunk.GetCount(), 1);
    EXPECT_NEAR(shrunk.GetArea(), 3.25 + 0.0625 * (1 - k_Pi / 4), k_Rounding);
    int clockwise_arcs = 0;
    for (const Arc& e : shrunk.GetPolygonsWithHoles()[0].GetPolygon().GetEdges()) {
        clockwise_arcs += e.GetHeight() > 0;
    }
    EXPECT_EQ(clockwise_arcs, 1);
}

TEST_F(Shrinking, CircleShrinksIntoTheSmallerCircle) {
    const PolygonWithHolesCollection shrunk =
        Shrink_G(Polygon(Circle(Point(0.25, -2), 1)), 0.5, k_Accuracy, true, 0, 0);
    ASSERT_EQ(shrunk.GetCount(), 1);
    EXPECT_EQ(shrunk.GetPolygonsWithHoles()[0].GetPolygon().GetEdges(),
              Polygon(Circle(Point(0.25, -2), 0.5)).GetEdges());
}

TEST_F(Shrinking, BadParametersAreReportedAndGiveDefinedResults) {
    // A negative accuracy counts as 0.
    const PolygonWithHolesCollection shrunk = Shrink_G(Square(0, 0, 1), 0.25, -1, true, 0, 0);
    ExpectReports({{"Offset", "by >= 0 && accuracy >= 0"}});
    ASSERT_EQ(shrunk.GetCount(), 1);
    EXPECT_TRUE(
        shrunk.GetPolygonsWithHoles()[0].GetPolygon().IsEqualTo(Square(0.25, 0.25, 0.5), 0));
    // A distance that is no number fails the offset, which leaves the polygon as it is.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Shrink_G(Square(0, 0, 1), nan, k_Accuracy, true, 0, 0).GetCount(), 1);
    EXPECT_TRUE(Expanded(Square(0, 0, 1), nan).IsEqualTo(Square(0, 0, 1), 0));
    ExpectReports({{"Offset", "by >= 0 && accuracy >= 0"}, {"Offset", "by >= 0 && accuracy >= 0"}});
    // A gap that the corner mode leaves open fails the offset too.
    const PolygonWithHolesCollection open = Shrink_G(Square(0, 0, 1), 0.25, k_Accuracy, true, 7, 0);
    ExpectReports({});
    ASSERT_EQ(open.GetCount(), 1);
    EXPECT_TRUE(open.GetPolygonsWithHoles()[0].GetPolygon().IsEqualTo(Square(0.25, 0.25, 0.5), 0));
}

TEST_F(Shrinking, BadCoordinatesGiveSomeResultWithoutCrashing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const double bad : {nan, inf, -inf, 1e300}) {
        const std::vector<Polygon> inputs{
            Polygon({Point(0, 0), Point(1, 0), Point(bad, 1)}, false),
            Polygon({Arc(Point(0, 0), Point(1, 0), bad), Arc(Point(1, 0), Point(0, 0), 0.5)},
                    false),
            Polygon(Circle(Point(bad, 0), 1)), Polygon(Segment(Point(0, 0), Point(1, 0)), bad)};
        for (const Polygon& p : inputs) {
            for (const int mode : {0, 1, 2, 3, 7}) {
                Expand_G(p, 0.5, k_Accuracy, true, false, mode, 0.25);
                Expand_G(p, 0.5, k_Accuracy, false, true, mode, 0.25);
                Shrink_G(p, 0.25, k_Accuracy, true, mode, 0.25);
                Shrink_G(p, 0.25, k_Accuracy, false, mode, 0.25);
            }
            Expand_G(Square(0, 0, 1), bad, bad, true, false, 0, bad);
            Shrink_G(Square(0, 0, 1), bad, bad, true, 2, bad);
        }
    }
    // Whatever was reported is not the point here.
    m_Recorder.assertions.clear();
}

// ---- Properties of random shapes, checked against distances computed here.

TEST_F(OffsetProperties, ConvexAreaFollowsSteiner) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> count(3, 30);
    std::uniform_real_distribution<double> distance(0.01, 2);
    for (int i = 0; i < k_RandomCases; ++i) {
        const std::vector<Point> ring = RandomConvex(random, count(random));
        const Polygon p(ring, true);
        const double d = distance(random);
        const double expected = p.GetArea() + Perimeter(ring) * d + k_Pi * d * d;
        // Sums of some dozens of areas of order 1.
        EXPECT_NEAR(Expanded(p, d).GetArea(), expected, 1e-11) << i;
    }
}

TEST_F(OffsetProperties, OffsetBoundariesLieAtTheDistance) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> count(3, 25);
    std::uniform_real_distribution<double> distance(0.005, 0.3);
    // Samples of the offset edges come from an independent circle fit through their ends
    // and middle points, which loses a few digits on small arcs.
    constexpr double k_Sample = 1e-9;
    for (int i = 0; i < k_RandomCases; ++i) {
        const std::vector<Point> ring = RandomStar(random, count(random));
        const Polygon p(ring, true);
        const double d = distance(random);
        const PolygonWithHoles grown = Expand_G(p, d, k_Accuracy, true, false, 0, 0);
        for (const Point& q : SampleBoundary(grown.GetPolygon(), 8)) {
            EXPECT_NEAR(DistanceToBoundary(q, ring), d, k_Sample) << i;
            EXPECT_FALSE(IsInside(q, ring)) << i;
        }
        for (const PolygonWithHoles& piece :
             Shrink_G(p, d, k_Accuracy, true, 0, 0).GetPolygonsWithHoles()) {
            EXPECT_EQ(piece.GetHoleCount(), 0) << i;
            for (const Point& q : SampleBoundary(piece.GetPolygon(), 8)) {
                EXPECT_NEAR(DistanceToBoundary(q, ring), d, k_Sample) << i;
                EXPECT_TRUE(IsInside(q, ring)) << i;
            }
        }
    }
}

TEST_F(OffsetProperties, OffsetRegionsHoldThePointsAtTheRightDistance) {
    std::mt19937 random(13);
    std::uniform_int_distribution<int> count(3, 25);
    std::uniform_real_distribution<double> distance(0.005, 0.4);
    std::uniform_real_distribution<double> coordinate(-1.5, 1.5);
    // Points this close to the offset boundary may fall either way within the accuracy.
    constexpr double k_Band = 1e-7;
    for (int i = 0; i < k_RandomCases / 4; ++i) {
        const std::vector<Point> ring = RandomStar(random, count(random));
        const Polygon p(ring, true);
        const double d = distance(random);
        const PolygonWithHoles grown = Expand_G(p, d, k_Accuracy, true, false, 0, 0);
        const PolygonWithHolesCollection shrunk = Shrink_G(p, d, k_Accuracy, true, 0, 0);
        for (int k = 0; k < 200; ++k) {
            const Point q(coordinate(random), coordinate(random));
            const bool inside = IsInside(q, ring);
            const double to_boundary = DistanceToBoundary(q, ring);
            // Signed distance from the original boundary, positive outside.
            const double signed_distance = inside ? -to_boundary : to_boundary;
            if (std::fabs(signed_distance - d) > k_Band) {
                EXPECT_EQ(grown.Contains(q, 0), signed_distance < d) << i << " " << k;
            }
            if (std::fabs(signed_distance + d) > k_Band) {
                EXPECT_EQ(shrunk.Contains(q, 0), signed_distance < -d) << i << " " << k;
            }
        }
    }
}

TEST_F(OffsetProperties, OpeningAConvexPolygonStaysInside) {
    std::mt19937 random(17);
    std::uniform_int_distribution<int> count(3, 20);
    std::uniform_real_distribution<double> distance(0.01, 0.4);
    for (int i = 0; i < k_RandomCases; ++i) {
        const std::vector<Point> ring = RandomConvex(random, count(random));
        const Polygon p(ring, true);
        const double d = distance(random);
        const std::vector<PolygonWithHoles> shrunk =
            Shrink_G(p, d, k_Accuracy, true, 0, 0).GetPolygonsWithHoles();
        // A convex polygon stays one piece, or vanishes.
        ASSERT_LE(shrunk.size(), 1u) << i;
        if (shrunk.empty()) {
            continue;
        }
        const Polygon opened = Expanded(shrunk[0].GetPolygon(), d);
        // Shrinking loses the corners, which expanding rounds off: never more than before.
        EXPECT_LE(opened.GetArea(), p.GetArea() + 1e-12) << i;
        for (const Point& q : SampleBoundary(opened, 8)) {
            EXPECT_TRUE(IsInside(q, ring) || DistanceToBoundary(q, ring) < 1e-9) << i;
        }
    }
}

TEST_F(OffsetProperties, ArcEdgedOutlinesOffsetToTheDistance) {
    std::mt19937 random(19);
    std::uniform_int_distribution<int> count(3, 16);
    std::uniform_real_distribution<double> unit(0, 1);
    std::uniform_real_distribution<double> coordinate(-1.5, 1.5);
    // As for straight outlines; the independent arc fits lose a few more digits.
    constexpr double k_Sample = 1e-8;
    constexpr double k_Band = 1e-7;
    int checked = 0;
    for (int i = 0; i < k_RandomCases / 2; ++i) {
        const std::vector<Point> ring = RandomStar(random, count(random));
        std::vector<Arc> edges;
        for (size_t k = 0; k < ring.size(); ++k) {
            const Point& a = ring[k];
            const Point& b = ring[(k + 1) % ring.size()];
            // Every other edge bulges out or in by up to a third of its chord.
            const double h = k % 2 ? 0.0 : (unit(random) - 0.5) * 0.66 * a.GetDistanceTo(b);
            edges.emplace_back(a, b, h);
        }
        const Polygon p(edges, true);
        if (p.IsSelfIntersecting(k_Accuracy)) {
            continue;  // a bulge ran into a neighbour: not a simple outline
        }
        ++checked;
        // Which side of the outline a point lies on, from a fine polygonal sampling: wrong
        // only within 1e-3 of the outline, where both checks below expect the same.
        const std::vector<Point> fine = SampleBoundary(p, 64);
        // An arc whose radius the offset would take through zero vanishes, and the corner
        // that bridges its neighbours is no true offset: stay below every arc's radius.
        double smallest_radius = 1;
        for (const Arc& e : edges) {
            if (e.GetHeight() != 0) {
                smallest_radius = std::min(smallest_radius, FitArc(e).m_Radius);
            }
        }
        const double d = (0.01 + 0.98 * unit(random)) * std::min(0.3, smallest_radius);
        const PolygonWithHoles grown = Expand_G(p, d, k_Accuracy, true, false, 0, 0);
        const PolygonWithHolesCollection shrunk = Shrink_G(p, d, k_Accuracy, true, 0, 0);
        for (const Point& q : SampleBoundary(grown.GetPolygon(), 8)) {
            EXPECT_NEAR(DistanceToEdges(q, edges), d, k_Sample) << i;
        }
        for (const PolygonWithHoles& piece : shrunk.GetPolygonsWithHoles()) {
            for (const Point& q : SampleBoundary(piece.GetPolygon(), 8)) {
                EXPECT_NEAR(DistanceToEdges(q, edges), d, k_Sample) << i;
            }
        }
        for (int k = 0; k < 100; ++k) {
            const Point q(coordinate(random), coordinate(random));
            const double to_boundary = DistanceToEdges(q, edges);
            const double signed_distance = IsInside(q, fine) ? -to_boundary : to_boundary;
            if (std::fabs(signed_distance - d) > k_Band) {
                EXPECT_EQ(grown.Contains(q, 0), signed_distance < d) << i << " " << k;
            }
            if (std::fabs(signed_distance + d) > k_Band) {
                EXPECT_EQ(shrunk.Contains(q, 0), signed_distance < -d) << i << " " << k;
            }
        }
    }
    // Most random outlines are simple.
    EXPECT_GT(checked, k_RandomCases / 4);
}

}  // namespace
