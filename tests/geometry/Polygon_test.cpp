#include "math/geometry/Polygon.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "KernelTest.h"
#include "math/geometry/Circumference.h"
#include "math/geometry/PolygonCollection.h"
#include "math/geometry/PolygonWithHoles.h"
#include "math/geometry/PolygonWithHolesCollection.h"

using namespace geom;

namespace {

/// Rounding of sums of a few dozen operations on values of order 1.
constexpr double k_Rounding = 1e-13;
const double k_Pi = std::acos(-1.0);

class PolyArcShape : public KernelTest {};
class PolygonShape : public KernelTest {};
class PolygonArea : public KernelTest {};
class PolygonContainment : public KernelTest {};
class SelfIntersection : public KernelTest {};
class Collections : public KernelTest {};

Polygon Square(double x0, double y0, double side) {
    return Polygon(
        {Point(x0, y0), Point(x0 + side, y0), Point(x0 + side, y0 + side), Point(x0, y0 + side)},
        false);
}

// ---- An independent model of an arc: the circle through its ends and its middle point.

/// Points along an edge, from the circle through start, middle point and end (the
/// middle point as the sagitta says: the chord midpoint moved |h| to the bulging side).
std::vector<Point> SampleEdge(const Arc& e, int n) {
    std::vector<Point> ret;
    const double sx = e.GetStart().GetX(), sy = e.GetStart().GetY();
    const double ex = e.GetEnd().GetX(), ey = e.GetEnd().GetY();
    const double h = e.GetHeight();
    if (h == 0) {
        for (int i = 0; i < n; ++i) {
            ret.emplace_back(sx + (ex - sx) * i / n, sy + (ey - sy) * i / n);
        }
        return ret;
    }
    const double len = std::hypot(ex - sx, ey - sy);
    // Positive heights bulge to the left of start -> end.
    const double mx = (sx + ex) / 2 - (ey - sy) / len * h;
    const double my = (sy + ey) / 2 + (ex - sx) / len * h;
    const double d = 2 * (sx * (my - ey) + mx * (ey - sy) + ex * (sy - my));
    const double cx = ((sx * sx + sy * sy) * (my - ey) + (mx * mx + my * my) * (ey - sy)
                       + (ex * ex + ey * ey) * (sy - my))
                      / d;
    const double cy = ((sx * sx + sy * sy) * (ex - mx) + (mx * mx + my * my) * (sx - ex)
                       + (ex * ex + ey * ey) * (mx - sx))
                      / d;
    const double r = std::hypot(sx - cx, sy - cy);
    const double a0 = std::atan2(sy - cy, sx - cx);
    double sweep = std::atan2(ey - cy, ex - cx) - a0;
    // Counter-clockwise for negative heights, clockwise for positive ones.
    if (h < 0) {
        while (sweep <= 0) {
            sweep += 2 * k_Pi;
        }
    } else {
        while (sweep >= 0) {
            sweep -= 2 * k_Pi;
        }
    }
    for (int i = 0; i < n; ++i) {
        const double a = a0 + sweep * i / n;
        ret.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    return ret;
}

std::vector<Point> SampleRing(const PolyArc& p, int per_edge) {
    std::vector<Point> ring;
    for (const Arc& e : p.GetEdges()) {
        const std::vector<Point> part = SampleEdge(e, per_edge);
        ring.insert(ring.end(), part.begin(), part.end());
    }
    return ring;
}

double ShoelaceArea(const std::vector<Point>& ring) {
    double sum = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const Point& a = ring[i];
        const Point& b = ring[(i + 1) % ring.size()];
        sum += a.GetX() * b.GetY() - b.GetX() * a.GetY();
    }
    return sum / 2;
}

bool EvenOddInside(const std::vector<Point>& ring, const Point& p) {
    bool inside = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const double xi = ring[i].GetX(), yi = ring[i].GetY();
        const double xj = ring[j].GetX(), yj = ring[j].GetY();
        if ((yi > p.GetY()) != (yj > p.GetY())
            && p.GetX() < (xj - xi) * (p.GetY() - yi) / (yj - yi) + xi) {
            inside = !inside;
        }
    }
    return inside;
}

double DistanceToRing(const std::vector<Point>& ring, const Point& p) {
    double best = 1e300;
    for (size_t i = 0; i < ring.size(); ++i) {
        best =
            std::min<double>(best, Segment(ring[i], ring[(i + 1) % ring.size()]).GetDistanceTo(p));
    }
    return best;
}

/// A closed poly-arc around a random centre: vertices at sorted random angles, each
/// edge straight or an arc of either orientation with |height| up to `max_height` times
/// its chord.
PolyArc RandomPolyArc(std::mt19937& random, int max_vertices, double max_height) {
    std::uniform_real_distribution<double> unit(0, 1);
    const int n = 3 + int(unit(random) * (max_vertices - 2));
    const double cx = unit(random) * 10 - 5, cy = unit(random) * 10 - 5;
    std::vector<Point> vertices;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * k_Pi * (i + 0.3 * unit(random)) / n;
        const double r = 1.5 + 0.5 * unit(random);
        vertices.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    std::vector<Arc> edges;
    for (int i = 0; i < n; ++i) {
        const Point& s = vertices[i];
        const Point& e = vertices[(i + 1) % n];
        double h = 0;
        if (unit(random) < 0.7) {
            h = (0.05 + unit(random)) / 1.05 * max_height * s.GetDistanceTo(e);
            h = unit(random) < 0.5 ? -h : h;
        }
        edges.emplace_back(s, e, h);
    }
    return PolyArc(k_Closed, edges);
}

// ---- Construction

TEST_F(PolyArcShape, ClosingEdgeIsAddedOnlyWhenNeeded) {
    const PolyArc repeated(k_Closed, {Point(0, 0), Point(1, 0), Point(1, 1), Point(0, 0)});
    EXPECT_EQ(repeated.GetEdgeCount(), 3);
    const PolyArc open_ended(k_Closed, {Point(0, 0), Point(1, 0), Point(1, 1)});
    EXPECT_EQ(open_ended.GetEdgeCount(), 3);
    EXPECT_EQ(open_ended.GetEdge(2), Arc(Point(1, 1), Point(0, 0)));
    EXPECT_EQ(open_ended.GetVertexCount(), 3);
    const PolyArc open(k_Open, {Point(0, 0), Point(1, 0), Point(1, 1), Point(0, 0)});
    EXPECT_EQ(open.GetEdgeCount(), 3);
    EXPECT_EQ(open.GetVertexCount(), 4);
    EXPECT_EQ(open.GetVertices().back(), Point(0, 0));
    const PolyArc single(k_Open, {Point(2, 3)});
    EXPECT_EQ(single.GetEdges(), std::vector<Arc>{Arc(Point(2, 3), Point(2, 3))});
}

TEST_F(PolyArcShape, EmptyPolyArcsGiveEmptyResults) {
    const PolyArc none(k_Closed, std::vector<Point>{});
    ExpectReports({{"PolyArc", "vertices.size() > 0"}});
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ(none.GetVertexCount(), 0);
    EXPECT_TRUE(none.GetVertices().empty());
    EXPECT_EQ(none.GetArea(), 0.0);
    EXPECT_TRUE(none.GetBBox().IsEmpty());
    EXPECT_EQ(none.GetEpsilon(), 0.0);
    EXPECT_FALSE(none.IsOnBoundary(Point(0, 0), 1));
    EXPECT_FALSE(none.IsSelfIntersecting(1));
    EXPECT_FALSE(none.IsCircle(1));
    EXPECT_FALSE(Polygon().Contains(Point(0, 0), 1));
    EXPECT_EQ(none.GetFirstVertex(), Point());
    ExpectReports({{"PolyArc", "!empty()"}});
    EXPECT_EQ(none.GetOpenClosed(), k_Open);
    ExpectReports({{"PolyArc", "!m_ImplRefCounter.IsNull()"}});
}

TEST_F(PolygonShape, ClockwiseVerticesAreTurnedRound) {
    const Polygon turned({Point(0, 0), Point(0, 1), Point(1, 1), Point(1, 0)}, true);
    EXPECT_EQ(turned.GetArea(), 1.0);
    // The reverse starts with the closing edge, turned round.
    EXPECT_EQ(turned.GetVertices(),
              (std::vector<Point>{Point(0, 0), Point(1, 0), Point(1, 1), Point(0, 1)}));
    const Polygon kept({Point(0, 0), Point(0, 1), Point(1, 1), Point(1, 0)}, false);
    EXPECT_EQ(kept.PolyArc::GetArea(), -1.0);
    EXPECT_EQ(kept.GetArea(), -1.0);
    ExpectReports({{"Polygon", "ret >= k_Area_0"}});
}

TEST_F(PolygonShape, SegmentWithWidthIsAStadium) {
    // Width 2 around (0,0)-(2,0): a 2 x 2 rectangle and two half discs of radius 1.
    const Polygon stadium(Segment(Point(0, 0), Point(2, 0)), 2);
    ASSERT_EQ(stadium.GetEdgeCount(), 4);
    EXPECT_EQ(stadium.GetEdge(0), Arc(Point(0, 1), Point(0, -1), -1));
    EXPECT_EQ(stadium.GetEdge(1), Arc(Point(0, -1), Point(2, -1)));
    EXPECT_EQ(stadium.GetEdge(2), Arc(Point(2, -1), Point(2, 1), -1));
    EXPECT_NEAR(stadium.GetArea(), 4 + k_Pi, k_Rounding);
    EXPECT_EQ(stadium.GetBBox(), Box::FromBounds(-1, -1, 3, 1));
    // Width 0 is the segment alone, of area 0 (not a closed sequence, not reported).
    const Polygon line(Segment(Point(0, 0), Point(2, 0)), 0);
    EXPECT_EQ(line.GetEdgeCount(), 1);
    EXPECT_EQ(line.GetArea(), 0.0);
    // A segment that is a point grows into a disc.
    EXPECT_NEAR(Polygon(Segment(Point(1, 1), Point(1, 1)), 4).GetArea(), 4 * k_Pi, k_Rounding);
    Polygon(Segment(Point(0, 0), Point(2, 0)), -2);
    ExpectReports({{"Polygon", "width > k_NullUnit"}});
}

TEST_F(PolygonShape, RoundedRectangles) {
    // Box 2 x 1 grown by 0.5: the box (2), four side strips (2 * 2 * 0.5 + 2 * 1 * 0.5 = 3)
    // and four quarter discs (pi 0.25).
    const Polygon rounded(Box::FromBounds(0, 0, 2, 1), 0.5);
    ASSERT_EQ(rounded.GetEdgeCount(), 8);
    EXPECT_EQ(rounded.GetEdge(0).GetStart(), Point(2.5, 1));
    EXPECT_EQ(rounded.GetEdge(0).GetEnd(), Point(2, 1.5));
    EXPECT_NEAR(rounded.GetEdge(0).GetHeight(), -0.5 * (1 - std::sqrt(0.5)), k_Rounding);
    EXPECT_NEAR(rounded.GetArea(), 2 + 3 + k_Pi * 0.25, k_Rounding);
    EXPECT_EQ(rounded.GetBBox(), Box::FromBounds(-0.5, -0.5, 2.5, 1.5));
    const Polygon sharp(Box::FromBounds(0, 0, 2, 1), 0);
    EXPECT_EQ(sharp.GetEdgeCount(), 4);
    EXPECT_EQ(sharp.GetArea(), 2.0);
    // A flat box is its middle segment grown by twice the radius: the stadium again.
    EXPECT_NEAR(Polygon(Box::FromBounds(0, 0, 2, 0), 1).GetArea(), 4 + k_Pi, k_Rounding);
    EXPECT_TRUE(Polygon(Box(), 1).IsEmpty());
}

TEST_F(PolygonShape, UnitCircleIsOneEdge) {
    const Polygon circle(Circle(Point(0, 0), 1));
    ASSERT_EQ(circle.GetEdgeCount(), 1);
    EXPECT_EQ(circle.GetEdge(0).GetStart(), Point(1, 0));
    EXPECT_EQ(circle.GetEdge(0).GetEnd(), Point(1, 0));
    EXPECT_EQ(circle.GetEdge(0).GetHeight(), -2.0);
    EXPECT_NEAR(circle.GetArea(), k_Pi, k_Rounding);
    Circle c;
    ASSERT_TRUE(circle.IsCircle(0, &c));
    EXPECT_EQ(c.GetCentre(), Point(0, 0));
    EXPECT_EQ(c.GetRadius(), 1.0);
    const Polygon dot(Circle(Point(2, 2), 0));
    EXPECT_EQ(dot.GetEdges(), std::vector<Arc>{Arc(Point(2, 2), Point(2, 2))});
}

// ---- Queries

TEST_F(PolygonShape, ReverseTurnsEveryEdgeRound) {
    const Polygon stadium(Segment(Point(0, 0), Point(2, 0)), 2);
    const PolyArc reversed = stadium.GetReversed();
    EXPECT_NEAR(reversed.GetArea(), -(4 + k_Pi), k_Rounding);
    EXPECT_EQ(reversed.GetEdge(0), stadium.GetEdge(3).GetReversed());
    EXPECT_EQ(reversed.GetEdge(3), Arc(Point(0, -1), Point(0, 1), 1));
    EXPECT_EQ(reversed.GetOpenClosed(), k_Closed);
    // A whole circle keeps its direction.
    const Polygon circle(Circle(Point(0, 0), 1));
    EXPECT_EQ(circle.GetReversed().GetEdge(0).GetDirection(), k_Degree_180);
}

TEST_F(PolygonShape, TranslationAndRotation) {
    const Polygon square = Square(0, 0, 2);
    EXPECT_TRUE(square.GetTranslated(k_NullVector).IsSameImplementation(square));
    EXPECT_TRUE(square.GetRotated(1, 1, k_Angle_0).IsSameImplementation(square));
    EXPECT_EQ(square.GetTranslated(Vector(3, -1)).GetVertices(),
              (std::vector<Point>{Point(3, -1), Point(5, -1), Point(5, 1), Point(3, 1)}));
    // A quarter turn about the square's centre maps its corners onto each other exactly.
    EXPECT_EQ(square.GetRotated(1, 1, k_Degree_90).GetVertices(),
              (std::vector<Point>{Point(2, 0), Point(2, 2), Point(0, 2), Point(0, 0)}));
    // A circle turned by 90 degrees about its centre starts at the top; its direction
    // turns from 180 to 270 degrees.
    const Arc turned = Polygon(Circle(Point(0, 0), 1)).GetRotated(0, 0, k_Degree_90).GetEdge(0);
    EXPECT_EQ(turned.GetStart(), Point(0, 1));
    EXPECT_NEAR(turned.GetDirection().GetValue(), 1.5 * k_Pi, k_Rounding);
    EXPECT_EQ(turned.GetCircumference().GetCentre().GetDistanceTo(Point(0, 0)) < k_Rounding, true);
}

TEST_F(PolygonShape, SegmentAndCircleTests) {
    const Polygon there_and_back({Arc(Point(0, 0), Point(1, 0)), Arc(Point(1, 0), Point(0, 0))},
                                 false);
    Segment s;
    ASSERT_TRUE(there_and_back.IsSegment(0, &s));
    EXPECT_EQ(s, Segment(Point(0, 0), Point(1, 0)));
    EXPECT_FALSE(Polygon({Arc(Point(0, 0), Point(1, 0), 0.5), Arc(Point(1, 0), Point(0, 0))}, false)
                     .IsSegment(0));
    EXPECT_FALSE(Square(0, 0, 1).IsSegment(1));
    // Two half circles of one circle, one way round.
    const Polygon halves({Arc(Point(1, 0), Point(-1, 0), -1), Arc(Point(-1, 0), Point(1, 0), -1)},
                         false);
    Circle c;
    ASSERT_TRUE(halves.IsCircle(1e-12, &c));
    EXPECT_NEAR(c.GetRadius(), 1, k_Rounding);
    EXPECT_FALSE(
        Polygon({Arc(Point(1, 0), Point(-1, 0), -1), Arc(Point(-1, 0), Point(1, 0), 1)}, false)
            .IsCircle(1e-12));
    EXPECT_FALSE(Square(0, 0, 1).IsCircle(1));
    const PolyArc open_arc(
        k_Open, {Arc(Point(1, 0), Point(-1, 0), -1), Arc(Point(-1, 0), Point(0.999, 0), -0.999)});
    EXPECT_FALSE(open_arc.IsCircle(1e-6));
}

TEST_F(PolygonShape, SelfIntersectionTest) {
    std::vector<Point> points;
    const Polygon bow_tie({Point(0, 0), Point(2, 2), Point(2, 0), Point(0, 2)}, false);
    ASSERT_TRUE(bow_tie.GetSelfIntersections(1e-9, &points));
    EXPECT_EQ(points, std::vector<Point>{Point(1, 1)});
    // Consecutive edges meet where they join, which does not count.
    EXPECT_FALSE(Polygon({Point(0, 0), Point(1, 0), Point(0, 1)}, false).IsSelfIntersecting(1e-9));
    EXPECT_FALSE(Polygon(Circle(Point(0, 0), 1)).IsSelfIntersecting(1e-9));
    EXPECT_FALSE(Polygon(Segment(Point(0, 0), Point(2, 0)), 2).IsSelfIntersecting(1e-9));
    // A spike doubling back along its edge overlaps it.
    EXPECT_TRUE(Polygon({Point(0, 0), Point(2, 0), Point(1, 0), Point(1, 1)}, false)
                    .IsSelfIntersecting(1e-9));
    // A vertex within the accuracy of a non-adjacent edge.
    const Polygon near_touch({Point(0, 0), Point(4, 0), Point(4, 4), Point(2, 1e-7), Point(0, 4)},
                             false);
    EXPECT_TRUE(near_touch.IsSelfIntersecting(1e-6));
    EXPECT_FALSE(near_touch.IsSelfIntersecting(1e-9));
}

TEST_F(PolygonShape, EqualityWithinAnAccuracy) {
    const Polygon a = Square(0, 0, 1);
    EXPECT_TRUE(a.IsEqualTo(a, 0));
    // The same square starting at another corner.
    const Polygon b({Point(1, 1), Point(0, 1), Point(0, 0), Point(1, 0)}, false);
    EXPECT_TRUE(a.IsEqualTo(b, 1e-12));
    const Polygon moved = a.GetTranslated(Vector(1e-7, 0));
    EXPECT_TRUE(a.IsEqualTo(moved, 1e-6));
    EXPECT_FALSE(a.IsEqualTo(moved, 1e-9));
    EXPECT_FALSE(a.IsEqualTo(Polygon(a.GetReversed()), 1e-6));
    // Equal edges make equal poly-arcs, open or closed; only closed ones may start at
    // another edge.
    const PolyArc open(k_Open, a.GetEdges());
    EXPECT_TRUE(open.IsEqualTo(a, 0));
    EXPECT_FALSE(PolyArc(k_Open, b.GetEdges()).IsEqualTo(a, 1e-12));
}

TEST_F(PolygonShape, OrderingIsAStrictWeakOrder) {
    std::vector<PolyArc> shapes{Square(0, 0, 1),
                                Square(1, 0, 1),
                                Polygon({Point(0, 0), Point(1, 0), Point(0, 1)}, false),
                                PolyArc(k_Open, Square(0, 0, 1).GetEdges()),
                                Square(0, 0, 1),
                                Polygon(Circle(Point(0, 0), 1)),
                                PolyArc()};
    // Fewer edges first: the empty one, the circle, the triangle.
    EXPECT_TRUE(PolyArc() < Polygon(Circle(Point(0, 0), 1)));
    EXPECT_TRUE(Polygon({Point(0, 0), Point(1, 0), Point(0, 1)}, false) < Square(5, 5, 1));
    EXPECT_TRUE(PolyArc(k_Open, Square(0, 0, 1).GetEdges()) < Square(0, 0, 1));
    EXPECT_TRUE(Square(0, 0, 1) < Square(1, 0, 1));
    for (const PolyArc& x : shapes) {
        EXPECT_FALSE(x < x);
        for (const PolyArc& y : shapes) {
            EXPECT_FALSE(x < y && y < x);
            EXPECT_EQ(PolyArc::Compare(x, y), -PolyArc::Compare(y, x));
        }
    }
}

TEST_F(PolygonShape, BoundaryTest) {
    const Polygon stadium(Segment(Point(0, 0), Point(2, 0)), 2);
    EXPECT_TRUE(stadium.IsOnBoundary(Point(1, 1), 0));
    EXPECT_TRUE(stadium.IsOnBoundary(Point(-1, 0), 1e-12));  // the cap's far point
    EXPECT_TRUE(stadium.IsOnBoundary(Point(1, 1.1), 0.1 + 1e-12));
    EXPECT_FALSE(stadium.IsOnBoundary(Point(1, 0), 0.5));
    stadium.IsOnBoundary(Point(1, 0), -1);
    ExpectReports({{"PolyArc", "accuracy >= 0"}});
}

// ---- Area

TEST_F(PolygonArea, MatchesAFineDiscretisationForArcsOfBothOrientations) {
    std::mt19937 random(2024);
    for (int i = 0; i < k_RandomCases; ++i) {
        // Heights up to 1.5 times the half chord: big arcs too.
        const PolyArc shape = RandomPolyArc(random, 9, 0.75);
        const double expected = ShoelaceArea(SampleRing(shape, 4000));
        // The discretisation misses about r^2 t^3 / (12 n^2) per arc.
        ASSERT_NEAR(shape.GetArea(), expected, 1e-5) << "case " << i;
    }
}

TEST_F(PolygonArea, NearlyFlatArcsKeepTheirSliver) {
    // A square whose top bulges by 1e-9: the sliver adds 2/3 of chord times height. The
    // sector and the triangle it is the difference of are each about 1e8 here, so
    // subtracting them would leave only noise; the tolerance is two units in the last
    // place of the total.
    const Polygon square({Arc(Point(0, 0), Point(1, 0)), Arc(Point(1, 0), Point(1, 1)),
                          Arc(Point(1, 1), Point(0, 1), -1e-9), Arc(Point(0, 1), Point(0, 0))},
                         false);
    EXPECT_NEAR(square.GetArea() - 1, 2.0 / 3 * 1e-9, 4.5e-16);
}

// ---- Containment

TEST_F(PolygonContainment, AgreesWithEvenOddOnAFineDiscretisation) {
    std::mt19937 random(99);
    std::uniform_real_distribution<double> unit(0, 1);
    int shapes = 0;
    int checked = 0;
    for (int i = 0; i < k_RandomCases; ++i) {
        const Polygon shape(RandomPolyArc(random, 8, 0.12));
        if (shape.IsSelfIntersecting(1e-9)) {
            continue;  // even-odd and winding agree only for simple boundaries
        }
        ++shapes;
        const std::vector<Point> ring = SampleRing(shape, 200);
        const Box box = shape.GetBBox().GetExpanded(0.5);
        for (int k = 0; k < 20; ++k) {
            const Point p(box.GetXMin() + unit(random) * (box.GetXMax() - box.GetXMin()),
                          box.GetYMin() + unit(random) * (box.GetYMax() - box.GetYMin()));
            if (DistanceToRing(ring, p) < 1e-3) {
                continue;
            }
            ++checked;
            const bool expected = EvenOddInside(ring, p);
            ASSERT_EQ(shape.Contains(p, 0), expected) << "case " << i << " point " << k;
            ASSERT_EQ(shape.Contains(p, 1e-9), expected) << "case " << i << " point " << k;
            ASSERT_EQ(Polygon(shape.GetReversed()).Contains(p, 0), expected);
        }
    }
    EXPECT_GT(shapes, k_RandomCases * 3 / 4);
    EXPECT_GT(checked, shapes * 15);
}

TEST_F(PolygonContainment, PointsOnTheBoundaryAreInside) {
    const Polygon square = Square(0, 0, 2);
    for (const double a : {0.0, 1e-9, 0.5}) {
        EXPECT_TRUE(square.Contains(Point(1, 0), a));
        EXPECT_TRUE(square.Contains(Point(2, 2), a));
        EXPECT_TRUE(square.Contains(Point(0, 0.3), a));
    }
    EXPECT_TRUE(square.Contains(Point(2.4, 1), 0.5));
    EXPECT_FALSE(square.Contains(Point(2.6, 1), 0.5));
    EXPECT_FALSE(square.Contains(Point(2.6, 1), -1));
    ExpectReports({{"Polygon", "accuracy >= 0"}});
}

TEST_F(PolygonContainment, PointsInLineWithVerticesNeedTheRetry) {
    // In a diamond, the centre lies on the axes through all four vertices, so the first
    // count is undecided and the displaced recount decides.
    const Polygon diamond({Point(0, -1), Point(1, 0), Point(0, 1), Point(-1, 0)}, false);
    EXPECT_TRUE(diamond.Contains(Point(0, 0), 0));
    EXPECT_TRUE(diamond.Contains(Point(0.5, 0), 1e-9));
    EXPECT_FALSE(diamond.Contains(Point(0.9, 0.9), 0));
    // A notch: (1, 1.5) is level with the notch's bottom vertex but outside.
    const Polygon notched({Point(0, 0), Point(2, 0), Point(2, 2), Point(1, 1.5), Point(0, 2)},
                          false);
    EXPECT_FALSE(notched.Contains(Point(1, 1.75), 0));
    EXPECT_TRUE(notched.Contains(Point(1, 1.25), 0));
    EXPECT_TRUE(notched.Contains(Point(0.5, 1.5), 0));
}

TEST_F(PolygonContainment, ArcEdgesBulgeBothWays) {
    // Square with its right side bulging out by 0.5 and its left side bulging in by 0.5.
    const Polygon shape({Arc(Point(0, 0), Point(1, 0)), Arc(Point(1, 0), Point(1, 1), -0.5),
                         Arc(Point(1, 1), Point(0, 1)), Arc(Point(0, 1), Point(0, 0), 0.5)},
                        false);
    EXPECT_NEAR(shape.GetArea(), 1.0, k_Rounding);  // the two half discs cancel
    EXPECT_TRUE(shape.Contains(Point(1.4, 0.5), 0));
    EXPECT_FALSE(shape.Contains(Point(0.4, 0.5), 0));
    EXPECT_TRUE(shape.Contains(Point(0.6, 0.5), 0));
    EXPECT_TRUE(shape.Contains(Point(0.5, 0.5), 0));  // on the inner half circle
    const Polygon circle(Circle(Point(0, 0), 1));
    EXPECT_TRUE(circle.Contains(Point(0.7, 0.7), 0));
    EXPECT_FALSE(circle.Contains(Point(0.71, 0.71), 0));
    EXPECT_TRUE(circle.Contains(Point(0, 0), 0));
}

// ---- Self-intersection removal

std::vector<double> AreasOf(const PolygonWithHolesCollection& c) {
    std::vector<double> ret;
    for (const PolygonWithHoles& p : c.GetPolygonsWithHoles()) {
        ret.push_back(p.GetArea());
    }
    return ret;
}

/// Winding number of a closed ring of points round p, from the sum of the turns.
int WindingNumber(const std::vector<Point>& ring, const Point& p) {
    double turn = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const Vector a = ring[i] - p;
        const Vector b = ring[(i + 1) % ring.size()] - p;
        turn += std::atan2(a.Cross(b), a.Dot(b));
    }
    return int(std::lround(turn / (2 * k_Pi)));
}

TEST_F(SelfIntersection, BowTieFallsIntoItsTwoTriangles) {
    // (0,0) (2,2) (2,0) (0,2) crosses itself at (1,1): a counter-clockwise left triangle
    // (0,0) (1,1) (0,2) and a clockwise right one (1,1) (2,2) (2,0), of area 1 each.
    const Polygon bow_tie({Point(0, 0), Point(2, 2), Point(2, 0), Point(0, 2)}, false);
    const PolygonWithHolesCollection both = bow_tie.RemoveSelfIntersections(1e-9);
    ASSERT_EQ(both.size(), 2);
    const std::vector<PolygonWithHoles> parts = both.GetPolygonsWithHoles();
    // In box order: the left triangle first.
    EXPECT_TRUE(parts[0].GetPolygon().IsEqualTo(
        Polygon({Point(0, 0), Point(1, 1), Point(0, 2)}, false), 1e-12));
    EXPECT_TRUE(parts[1].GetPolygon().IsEqualTo(
        Polygon({Point(1, 1), Point(2, 0), Point(2, 2)}, false), 1e-12));
    EXPECT_EQ(AreasOf(both), (std::vector<double>{1, 1}));
    // After offsetting, only counter-clockwise regions count: the right lobe goes.
    const PolygonWithHolesCollection positive =
        RemoveSelfIntersections_G(bow_tie, 1e-9, true, true);
    ASSERT_EQ(positive.size(), 1);
    EXPECT_TRUE(positive.GetPolygonsWithHoles()[0].GetPolygon().IsEqualTo(
        Polygon({Point(0, 0), Point(1, 1), Point(0, 2)}, false), 1e-12));
    // The mirror image keeps the other lobe.
    const Polygon mirrored({Point(2, 0), Point(0, 2), Point(0, 0), Point(2, 2)}, false);
    EXPECT_EQ(AreasOf(RemoveSelfIntersections_G(mirrored, 1e-9, true, true)),
              std::vector<double>{1});
}

TEST_F(SelfIntersection, KeyholeBecomesAnOuterPolygonWithAHole) {
    // The 4 x 4 square, in along (0,2)-(1,2), clockwise round the square (1,1)-(3,3), and
    // back out the same way: the bridge cancels, the inner square is a hole.
    const Polygon keyhole(
        {Point(0, 0), Point(4, 0), Point(4, 4), Point(0, 4), Point(0, 2), Point(1, 2), Point(1, 3),
         Point(3, 3), Point(3, 1), Point(1, 1), Point(1, 2), Point(0, 2)},
        false);
    const PolygonWithHolesCollection result = keyhole.RemoveSelfIntersections(1e-9);
    ASSERT_EQ(result.size(), 1);
    const PolygonWithHoles shape = result.GetPolygonsWithHoles()[0];
    EXPECT_EQ(shape.GetPolygon().GetArea(), 16.0);
    ASSERT_EQ(shape.GetHoleCount(), 1);
    EXPECT_EQ(shape.GetHoles().GetPolygons()[0].GetArea(), 4.0);
    EXPECT_FALSE(shape.Contains(Point(2, 2), 0));
    EXPECT_TRUE(shape.Contains(Point(0.5, 2), 0));
    // Attaching the hole by search finds the same owner; without holes it is filled.
    EXPECT_EQ(AreasOf(RemoveSelfIntersections_G(keyhole, 1e-9, true, false)),
              std::vector<double>{12});
    EXPECT_EQ(AreasOf(RemoveSelfIntersections_G(keyhole, 1e-9, false, true)),
              std::vector<double>{16});
}

TEST_F(SelfIntersection, LoopsTouchingAtAVertexAreKeptApart) {
    // Two unit squares traced as one loop through their shared corner (1,1).
    const Polygon pinched({Point(0, 0), Point(1, 0), Point(1, 1), Point(2, 1), Point(2, 2),
                           Point(1, 2), Point(1, 1), Point(0, 1)},
                          false);
    EXPECT_EQ(AreasOf(pinched.RemoveSelfIntersections(1e-9)), (std::vector<double>{1, 1}));
}

TEST_F(SelfIntersection, EdgesOverlappingTheSameWayActAsParallelCopies) {
    // Round the rectangle (0,2.5)-(7.5,7.5) once and round the parallelogram (2.5,2.5)
    // (5,2.5) (7.5,7.5) (5,7.5) inside it once more, sharing two of its sides, plus a
    // spike (0,7.5)-(7.5,5) there and back. The parallelogram is wound twice, the rest of
    // the rectangle once, the spike cancels: the rectangle, of area 37.5, remains.
    const Polygon shape(
        {Point(5, 7.5), Point(2.5, 2.5), Point(5, 2.5), Point(7.5, 7.5), Point(0, 7.5),
         Point(7.5, 5), Point(0, 7.5), Point(0, 2.5), Point(7.5, 2.5), Point(7.5, 7.5)},
        false);
    EXPECT_EQ(AreasOf(shape.RemoveSelfIntersections(1e-9)), std::vector<double>{37.5});
    EXPECT_EQ(AreasOf(RemoveSelfIntersections_G(shape, 1e-9, true, true)),
              std::vector<double>{37.5});
}

TEST_F(SelfIntersection, PiecesLeavingAlongOneTangentAreOrderedByCurvature) {
    // Half circles on a 2.5 grid: at (2.5,2.5) the half circle round (5,5) of radius
    // 3.54 and the one round (3.75,3.75) of radius 1.77 touch with one tangent, so only
    // their curvatures tell in which order they leave the vertex. Checked against the
    // winding number of a fine discretisation on a grid of points.
    const double h1 = std::sqrt(81.25) / 2;  // half the chord (0,7.5)-(7.5,2.5)
    const double h2 = std::sqrt(50.0) / 2;
    const double h3 = std::sqrt(12.5) / 2;
    const Polygon shape(
        {Arc(Point(5, 7.5), Point(0, 7.5)), Arc(Point(0, 7.5), Point(7.5, 2.5), h1),
         Arc(Point(7.5, 2.5), Point(2.5, 7.5), h2), Arc(Point(2.5, 7.5), Point(5, 5), h3),
         Arc(Point(5, 5), Point(2.5, 2.5), h3), Arc(Point(2.5, 2.5), Point(5, 0)),
         Arc(Point(5, 0), Point(5, 7.5))},
        false);
    const PolygonWithHolesCollection result = shape.RemoveSelfIntersections(1e-9);
    const std::vector<Point> ring = SampleRing(shape, 200);
    for (double x = 0.05; x < 10; x += 0.3) {
        for (double y = 0.05; y < 10; y += 0.3) {
            const Point p(x, y);
            if (DistanceToRing(ring, p) > 1e-3) {
                ASSERT_EQ(result.Contains(p, 0), WindingNumber(ring, p) != 0) << x << " " << y;
            }
        }
    }
}

TEST_F(SelfIntersection, ASquareTracedTwiceIsOneSquare) {
    const Polygon twice({Point(0, 0), Point(1, 0), Point(1, 1), Point(0, 1), Point(0, 0),
                         Point(1, 0), Point(1, 1), Point(0, 1)},
                        false);
    EXPECT_EQ(AreasOf(twice.RemoveSelfIntersections(1e-9)), std::vector<double>{1});
}

TEST_F(SelfIntersection, ArcLoopsThatMeetAtTwoPointsMergeByWinding) {
    // Unit discs around (0,0) and (1,0) cross at (0.5, +-s). One loop of four arcs runs
    // counter-clockwise round the outline of their union (the outer 240 degrees of each
    // circle) and then counter-clockwise round their common lens (the inner 120 degrees of
    // each). The lens is wound twice, the rest of the union once, so the result is the
    // union without holes. Lens area: 2 pi / 3 - s; union area: 2 pi - lens.
    const double s = std::sqrt(3.0) / 2;
    const Point top(0.5, s);
    const Point bottom(0.5, -s);
    const Polygon eight(
        {Arc(top, bottom, Point(0, 0), k_CCW), Arc(bottom, top, Point(1, 0), k_CCW),
         Arc(top, bottom, Point(1, 0), k_CCW), Arc(bottom, top, Point(0, 0), k_CCW)},
        false);
    const double lens = 2 * k_Pi / 3 - s;
    EXPECT_NEAR(eight.GetArea(), 2 * k_Pi, 1e-12);  // union plus lens
    const PolygonWithHolesCollection merged = eight.RemoveSelfIntersections(1e-9);
    ASSERT_EQ(merged.size(), 1);
    EXPECT_EQ(merged.GetPolygonsWithHoles()[0].GetHoleCount(), 0);
    EXPECT_NEAR(merged.GetArea(), 2 * k_Pi - lens, 1e-12);
}

TEST_F(SelfIntersection, SimplePolygonsComeBackUnchanged) {
    const Polygon stadium(Segment(Point(0, 0), Point(2, 0)), 2);
    const PolygonWithHolesCollection result = stadium.RemoveSelfIntersections(1e-9);
    ASSERT_EQ(result.size(), 1);
    EXPECT_TRUE(result.GetPolygonsWithHoles()[0].GetPolygon().IsEqualTo(stadium, 1e-12));
    EXPECT_TRUE(Polygon().RemoveSelfIntersections(1e-9).empty());
    EXPECT_TRUE(Polygon(Circle(Point(1, 1), 0)).RemoveSelfIntersections(1e-9).empty());
}

TEST_F(SelfIntersection, RandomTanglesKeepTheRegionsTheyWindRound) {
    // Vertices anywhere in a square, edges straight or slightly bent: boundaries that
    // cross themselves many times. A point away from the boundary is in the result of the
    // plain removal iff the boundary winds round it, and in the offset form's result iff
    // it winds round it counter-clockwise.
    // Every other case has its vertices on a coarse grid, so that edges overlap and pass
    // through each other's ends.
    std::mt19937 random(5);
    std::uniform_real_distribution<double> unit(0, 1);
    int checked = 0;
    for (int i = 0; i < k_RandomCases / 2; ++i) {
        const int n = 4 + int(unit(random) * 6);
        std::vector<Point> vertices;
        for (int k = 0; k < n; ++k) {
            const double x = unit(random) * 10;
            const double y = unit(random) * 10;
            vertices.push_back(i % 2 ? Point(std::floor(x / 2.5) * 2.5, std::floor(y / 2.5) * 2.5)
                                     : Point(x, y));
        }
        std::vector<Arc> edges;
        for (int k = 0; k < n; ++k) {
            const Point& a = vertices[k];
            const Point& b = vertices[(k + 1) % n];
            const double h =
                unit(random) < 0.5 ? 0 : (unit(random) - 0.5) * 0.3 * a.GetDistanceTo(b);
            edges.emplace_back(a, b, h);
        }
        const Polygon tangle(edges, false);
        const std::vector<Point> ring = SampleRing(tangle, 100);
        const PolygonWithHolesCollection nonzero = tangle.RemoveSelfIntersections(1e-9);
        const PolygonWithHolesCollection positive =
            RemoveSelfIntersections_G(tangle, 1e-9, true, true);
        for (int k = 0; k < 30; ++k) {
            const Point p(unit(random) * 10, unit(random) * 10);
            if (DistanceToRing(ring, p) < 1e-3) {
                continue;
            }
            ++checked;
            const int w = WindingNumber(ring, p);
            ASSERT_EQ(nonzero.Contains(p, 0), w != 0) << "case " << i << " point " << k;
            ASSERT_EQ(positive.Contains(p, 0), w > 0) << "case " << i << " point " << k;
        }
    }
    EXPECT_GT(checked, k_RandomCases / 2 * 20);
}

// ---- Collections

TEST_F(Collections, MembersAreKeptInBoxOrderAndSharedUntilChanged) {
    PolygonCollection c({Square(5, 0, 1), Square(0, 0, 1), Square(2, 0, 1)});
    std::vector<Polygon> members = c.GetPolygons();
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(members[0].GetFirstVertex(), Point(0, 0));
    EXPECT_EQ(members[2].GetFirstVertex(), Point(5, 0));
    const PolygonCollection copy = c;
    c.Add(Square(1, 0, 1));
    EXPECT_EQ(copy.size(), 3);
    EXPECT_EQ(c.size(), 4);
    EXPECT_EQ(c.GetPolygons()[1].GetFirstVertex(), Point(1, 0));
    EXPECT_EQ(c.GetBBox(), Box::FromBounds(0, 0, 6, 1));
    EXPECT_EQ(c.GetArea(), 4.0);
    EXPECT_TRUE(c.Contains(Point(5.5, 0.5), 0));
    EXPECT_FALSE(c.Contains(Point(4.5, 0.5), 0));
    c.Add(Polygon());
    ExpectReports({{"PolygonCollection", "!new_polygon.empty()"}});
    EXPECT_EQ(c.size(), 4);
    EXPECT_TRUE(PolygonCollection(std::vector<Polygon>{}).empty());
}

TEST_F(Collections, PolygonsWithHoles) {
    PolygonWithHoles shape(Square(0, 0, 4));
    shape.AddHole(Square(1, 1, 1));
    shape.AddHole(Polygon());
    EXPECT_EQ(shape.GetHoleCount(), 1);
    EXPECT_EQ(shape.GetArea(), 15.0);
    EXPECT_FALSE(shape.Contains(Point(1.5, 1.5), 0));
    EXPECT_TRUE(shape.Contains(Point(1, 1.5), 0));  // on the hole's edge
    EXPECT_TRUE(shape.IsOnBoundary(Point(2, 1.5), 0));
    PolygonWithHoles empty;
    empty.AddHole(Square(1, 1, 1));
    ExpectReports({{"PolygonWithHoles", "!m_Polygon.empty()"}});
    PolygonWithHolesCollection all({Square(10, 0, 1), Square(0, 0, 1)});
    EXPECT_EQ(all.size(), 2);
    all.Add(shape);
    EXPECT_EQ(all.GetArea(), 17.0);
    all.Add(PolygonWithHoles());
    ExpectReports({{"PolygonWithHolesCollection", "!new_polygon.empty()"}});
    EXPECT_TRUE(PolygonWithHolesCollection(Polygon()).empty());
    const PolygonWithHolesCollection moved = all.GetTranslated(Vector(1, 1));
    EXPECT_EQ(moved.GetBBox(), Box::FromBounds(1, 1, 12, 5));
    EXPECT_TRUE(moved.GetTranslated(Vector(-1, -1)).IsEqualTo(all, 1e-12));
}

}  // namespace
