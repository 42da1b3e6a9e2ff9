#include "math/geometry/Polygon.h"

#include <cmath>
#include <random>
#include <vector>

#include "ArcModel.h"
#include "KernelTest.h"
#include "math/geometry/PolygonCollection.h"
#include "math/geometry/PolygonWithHoles.h"
#include "math/geometry/PolygonWithHolesCollection.h"
#include "math/geometry/SelfIntersection.h"

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

/// A closed poly-arc around a random centre: vertices at sorted random angles, each edge
/// straight or an arc of either orientation with |height| up to `max_height` times its
/// chord.
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

std::vector<double> AreasOf(const PolygonWithHolesCollection& c) {
    std::vector<double> ret;
    for (const PolygonWithHoles& p : c.GetTree()) {
        ret.push_back(p.GetArea());
    }
    return ret;
}

TEST_F(PolyArcShape, EmptyPolyArcsGiveEmptyResults) {
    const PolyArc none(k_Closed, std::vector<Point>{});
    ExpectReports({{"PolyArc", "vertices.size() > 0"}});
    EXPECT_TRUE(none.GetVertices().empty());
    EXPECT_EQ(none.GetArea(), 0.0);
    EXPECT_TRUE(none.GetBBox().IsEmpty());
    EXPECT_FALSE(none.IsOnBoundary(Point(0, 0), 1));
    EXPECT_FALSE(none.IsSelfIntersecting(1));
    EXPECT_FALSE(none.IsCircle(1));
    EXPECT_FALSE(Polygon().Contains(Point(0, 0), 1));
    EXPECT_EQ(none.GetFirstVertex(), Point());
    ExpectReports({{"PolyArc", "!empty()"}});
    EXPECT_EQ(none.GetOpenClosed(), k_Open);
    ExpectReports({{"PolyArc", "!m_ImplRefCounter.IsNull()"}});
}

TEST_F(PolygonShape, ConstructorsGiveTheDocumentedOutlines) {
    // Stadium: width 2 round (0,0)-(2,0), a 2 x 2 rectangle and two half discs of radius 1.
    // Rounded rectangle: the box 2 x 1 (2), four side strips grown by 0.5 (3) and four
    // quarter discs (pi / 4). A flat box is its middle segment grown by twice the radius.
    struct Case {
        const char* name;
        Polygon polygon;
        int edges;
        double area;
        Box box;
    };
    const Case cases[] = {
        {"clockwise square turned round",
         Polygon({Point(0, 0), Point(0, 1), Point(1, 1), Point(1, 0)}, true), 4, 1,
         Box::FromBounds(0, 0, 1, 1)},
        {"stadium", Polygon(Segment(Point(0, 0), Point(2, 0)), 2), 4, 4 + k_Pi,
         Box::FromBounds(-1, -1, 3, 1)},
        {"segment of width 0", Polygon(Segment(Point(0, 0), Point(2, 0)), 0), 1, 0,
         Box::FromBounds(0, 0, 2, 0)},
        {"point segment", Polygon(Segment(Point(1, 1), Point(1, 1)), 4), 1, 4 * k_Pi,
         Box::FromBounds(-1, -1, 3, 3)},
        {"rounded rectangle", Polygon(Box::FromBounds(0, 0, 2, 1), 0.5), 8, 5 + k_Pi / 4,
         Box::FromBounds(-0.5, -0.5, 2.5, 1.5)},
        {"sharp rectangle", Polygon(Box::FromBounds(0, 0, 2, 1), 0), 4, 2,
         Box::FromBounds(0, 0, 2, 1)},
        {"flat box", Polygon(Box::FromBounds(0, 0, 2, 0), 1), 4, 4 + k_Pi,
         Box::FromBounds(-1, -1, 3, 1)},
        {"empty box", Polygon(Box(), 1), 0, 0, Box()},
        {"unit circle", Polygon(Circle(Point(0, 0), 1)), 1, k_Pi, Box::FromBounds(-1, -1, 1, 1)},
        {"circle of radius 0", Polygon(Circle(Point(2, 2), 0)), 1, 0, Box::FromBounds(2, 2, 2, 2)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.polygon.GetEdgeCount(), c.edges) << c.name;
        EXPECT_NEAR(c.polygon.GetArea(), c.area, k_Rounding) << c.name;
        EXPECT_EQ(c.polygon.GetBBox(), c.box) << c.name;
    }
    // The reverse of a clockwise list starts with its closing edge, turned round; a stadium
    // starts with the cap at the segment's start; a circle at azimuth 0.
    EXPECT_EQ(cases[0].polygon.GetVertices(),
              (std::vector<Point>{Point(0, 0), Point(1, 0), Point(1, 1), Point(0, 1)}));
    EXPECT_EQ(
        cases[1].polygon.GetEdges(),
        (std::vector<Arc>{Arc(Point(0, 1), Point(0, -1), -1), Arc(Point(0, -1), Point(2, -1)),
                          Arc(Point(2, -1), Point(2, 1), -1), Arc(Point(2, 1), Point(0, 1))}));
    EXPECT_EQ(cases[8].polygon.GetEdge(0), Arc(Point(1, 0), Point(1, 0), -2, k_Degree_180));
    // Kept clockwise, the area is negative and reported; so is a negative width.
    EXPECT_EQ(Polygon({Point(0, 0), Point(0, 1), Point(1, 1), Point(1, 0)}, false).GetArea(), -1.0);
    ExpectReports({{"Polygon", "ret >= k_Area_0"}});
    Polygon(Segment(Point(0, 0), Point(2, 0)), -2);
    ExpectReports({{"Polygon", "width > k_NullUnit"}});
}

TEST_F(PolygonShape, ReverseTranslateAndRotate) {
    const Polygon stadium(Segment(Point(0, 0), Point(2, 0)), 2);
    const PolyArc reversed = stadium.GetReversed();
    EXPECT_NEAR(reversed.GetArea(), -(4 + k_Pi), k_Rounding);
    EXPECT_EQ(reversed.GetEdge(3), Arc(Point(0, -1), Point(0, 1), 1));
    EXPECT_EQ(reversed.GetOpenClosed(), k_Closed);
    // A quarter turn about the square's centre maps its corners onto each other exactly.
    EXPECT_EQ(Square(0, 0, 2).GetRotated(1, 1, k_Degree_90).GetVertices(),
              (std::vector<Point>{Point(2, 0), Point(2, 2), Point(0, 2), Point(0, 0)}));
    // A circle turned by 90 degrees starts at the top; its direction turns from 180 to 270
    // degrees, and reversed it keeps its direction.
    const Polygon circle(Circle(Point(0, 0), 1));
    const Arc turned = circle.GetRotated(0, 0, k_Degree_90).GetEdge(0);
    EXPECT_EQ(turned.GetStart(), Point(0, 1));
    EXPECT_NEAR(turned.GetDirection().GetValue(), 1.5 * k_Pi, k_Rounding);
    EXPECT_EQ(circle.GetReversed().GetEdge(0).GetDirection(), k_Degree_180);
}

TEST_F(PolygonShape, SegmentCircleAndBoundaryTests) {
    Segment s;
    ASSERT_TRUE(Polygon({Arc(Point(0, 0), Point(1, 0)), Arc(Point(1, 0), Point(0, 0))}, false)
                    .IsSegment(0, &s));
    EXPECT_EQ(s, Segment(Point(0, 0), Point(1, 0)));
    EXPECT_FALSE(Polygon({Arc(Point(0, 0), Point(1, 0), 0.5), Arc(Point(1, 0), Point(0, 0))}, false)
                     .IsSegment(0));
    // Two half circles of one circle, one way round; not when they turn opposite ways, nor
    // when an open chain ends off its start.
    Circle c;
    ASSERT_TRUE(
        Polygon({Arc(Point(1, 0), Point(-1, 0), -1), Arc(Point(-1, 0), Point(1, 0), -1)}, false)
            .IsCircle(1e-12, &c));
    EXPECT_NEAR(c.GetRadius(), 1, k_Rounding);
    EXPECT_FALSE(
        Polygon({Arc(Point(1, 0), Point(-1, 0), -1), Arc(Point(-1, 0), Point(1, 0), 1)}, false)
            .IsCircle(1e-12));
    EXPECT_FALSE(PolyArc(k_Open, {Arc(Point(1, 0), Point(-1, 0), -1),
                                  Arc(Point(-1, 0), Point(0.999, 0), -0.999)})
                     .IsCircle(1e-6));
    ASSERT_TRUE(Polygon(Circle(Point(0, 0), 1)).IsCircle(0, &c));
    EXPECT_EQ(c.GetBBox(), Box::FromBounds(-1, -1, 1, 1));
    // Points on the boundary within the accuracy; a negative accuracy is reported.
    const Polygon stadium(Segment(Point(0, 0), Point(2, 0)), 2);
    EXPECT_TRUE(stadium.IsOnBoundary(Point(1, 1), 0));
    EXPECT_TRUE(stadium.IsOnBoundary(Point(-1, 0), 1e-12));  // the cap's far point
    EXPECT_TRUE(stadium.IsOnBoundary(Point(1, 1.1), 0.1 + 1e-12));
    EXPECT_FALSE(stadium.IsOnBoundary(Point(1, 0), 0.5));
    stadium.IsOnBoundary(Point(1, 0), -1);
    ExpectReports({{"PolyArc", "accuracy >= 0"}});
}

TEST_F(PolygonShape, SelfIntersectionTest) {
    std::vector<Point> points;
    ASSERT_TRUE(Polygon({Point(0, 0), Point(2, 2), Point(2, 0), Point(0, 2)}, false)
                    .GetSelfIntersections(1e-9, &points));
    EXPECT_EQ(points, std::vector<Point>{Point(1, 1)});
    // Consecutive edges meet where they join, which does not count; a spike doubling back
    // along its edge overlaps it; a vertex may come within the accuracy of another edge.
    const Polygon near_touch({Point(0, 0), Point(4, 0), Point(4, 4), Point(2, 1e-7), Point(0, 4)},
                             false);
    const struct {
        Polygon polygon;
        double accuracy;
        bool expected;
    } cases[] = {
        {Polygon({Point(0, 0), Point(1, 0), Point(0, 1)}, false), 1e-9, false},
        {Polygon(Circle(Point(0, 0), 1)), 1e-9, false},
        {Polygon(Segment(Point(0, 0), Point(2, 0)), 2), 1e-9, false},
        {Polygon({Point(0, 0), Point(2, 0), Point(1, 0), Point(1, 1)}, false), 1e-9, true},
        {near_touch, 1e-6, true},
        {near_touch, 1e-9, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.polygon.IsSelfIntersecting(c.accuracy), c.expected);
    }
}

TEST_F(PolygonShape, EqualityWithinAnAccuracyAndOrder) {
    // The same square starting at another corner is equal; moved by 1e-7 it is equal
    // within 1e-6 only; turned round it is not. Only closed poly-arcs may start elsewhere.
    const Polygon a = Square(0, 0, 1);
    const Polygon b({Point(1, 1), Point(0, 1), Point(0, 0), Point(1, 0)}, false);
    EXPECT_TRUE(a.IsEqualTo(b, 1e-12));
    EXPECT_TRUE(a.IsEqualTo(a.GetTranslated(Vector(1e-7, 0)), 1e-6));
    EXPECT_FALSE(a.IsEqualTo(a.GetTranslated(Vector(1e-7, 0)), 1e-9));
    EXPECT_FALSE(a.IsEqualTo(Polygon(a.GetReversed()), 1e-6));
    EXPECT_FALSE(PolyArc(k_Open, b.GetEdges()).IsEqualTo(a, 1e-12));
    // The order (fewer edges first, then by box, open before closed) is a strict weak one.
    std::vector<PolyArc> shapes{a, Square(0, 0, 1), Square(1, 0, 1), b, PolyArc()};
    shapes.push_back(PolyArc(k_Open, a.GetEdges()));
    shapes.push_back(Polygon(Circle(Point(0, 0), 1)));
    EXPECT_TRUE(shapes[4] < shapes[6] && shapes[6] < shapes[0] && shapes[5] < shapes[0]);
    for (const PolyArc& x : shapes) {
        for (const PolyArc& y : shapes) {
            EXPECT_FALSE(x < y && y < x);
            EXPECT_EQ(PolyArc::Compare(x, y), -PolyArc::Compare(y, x));
        }
    }
}

TEST_F(PolygonArea, MatchesAFineDiscretisationForArcsOfBothOrientations) {
    std::mt19937 random(2024);
    for (int i = 0; i < k_RandomCases; ++i) {
        // Heights up to 1.5 times the half chord: big arcs too.
        const PolyArc shape = RandomPolyArc(random, 9, 0.75);
        const double expected = model::ShoelaceArea(model::SampleRing(shape, 4000));
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
        const std::vector<Point> ring = model::SampleRing(shape, 200);
        const Box box = shape.GetBBox().GetExpanded(0.5);
        for (int k = 0; k < 20; ++k) {
            const Point p(box.GetXMin() + unit(random) * (box.GetXMax() - box.GetXMin()),
                          box.GetYMin() + unit(random) * (box.GetYMax() - box.GetYMin()));
            if (model::DistanceToEdges(p, shape.GetEdges()) < 1e-3) {
                continue;
            }
            ++checked;
            const bool expected = model::EvenOddInside(ring, p);
            ASSERT_EQ(shape.Contains(p, 0), expected) << "case " << i << " point " << k;
            ASSERT_EQ(shape.Contains(p, 1e-9), expected) << "case " << i << " point " << k;
            ASSERT_EQ(Polygon(shape.GetReversed()).Contains(p, 0), expected);
        }
    }
    EXPECT_GT(shapes, k_RandomCases * 3 / 4);
    EXPECT_GT(checked, shapes * 15);
}

TEST_F(PolygonContainment, AnswersDoNotDependOnTheOrderOfCalls) {
    // Points level with two vertices make the first count undecided, and points within
    // rounding of the boundary (some of them are) are decided by where the recount is
    // displaced to: that must not depend on what was asked before.
    std::mt19937 random(17);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Polygon> shapes;
    std::vector<std::vector<Point>> points;
    for (int i = 0; i < 40; ++i) {
        shapes.emplace_back(RandomPolyArc(random, 8, 0.75));
        points.emplace_back();
        for (const Point& a : shapes.back().GetVertices()) {
            for (const Point& b : shapes.back().GetVertices()) {
                points.back().emplace_back(a.GetX(), b.GetY());
            }
        }
    }
    std::vector<bool> forward;
    for (size_t s = 0; s < shapes.size(); ++s) {
        for (const Point& p : points[s]) {
            forward.push_back(shapes[s].Contains(p, 0));
        }
    }
    // Backwards, each answer after a query on another shape.
    std::vector<bool> backward(forward.size());
    size_t k = forward.size();
    for (size_t s = shapes.size(); s-- > 0;) {
        for (size_t j = points[s].size(); j-- > 0;) {
            const Polygon& other = shapes[(s + 7) % shapes.size()];
            other.Contains(Point(unit(random) * 10 - 5, unit(random) * 10 - 5), 0);
            backward[--k] = shapes[s].Contains(points[s][j], 0);
        }
    }
    EXPECT_EQ(forward, backward);
}

TEST_F(PolygonContainment, BoundaryAndLevelPoints) {
    // Points on the boundary are inside at any accuracy; a negative one is reported. In a
    // diamond the centre lies on the axes through all four vertices, so the first count is
    // undecided and the displaced recount decides; (1, 1.5) is level with a notch's bottom
    // vertex.
    const Polygon square = Square(0, 0, 2);
    for (const double a : {0.0, 1e-9, 0.5}) {
        EXPECT_TRUE(square.Contains(Point(1, 0), a));
        EXPECT_TRUE(square.Contains(Point(2, 2), a));
    }
    EXPECT_FALSE(square.Contains(Point(2.6, 1), -1));
    ExpectReports({{"Polygon", "accuracy >= 0"}});
    const Polygon diamond({Point(0, -1), Point(1, 0), Point(0, 1), Point(-1, 0)}, false);
    const Polygon notched({Point(0, 0), Point(2, 0), Point(2, 2), Point(1, 1.5), Point(0, 2)},
                          false);
    const struct {
        const Polygon& polygon;
        Point p;
        double accuracy;
        bool inside;
    } cases[] = {
        {square, Point(2.4, 1), 0.5, true},   {square, Point(2.6, 1), 0.5, false},
        {diamond, Point(0, 0), 0, true},      {diamond, Point(0.5, 0), 1e-9, true},
        {diamond, Point(0.9, 0.9), 0, false}, {notched, Point(1, 1.75), 0, false},
        {notched, Point(1, 1.25), 0, true},   {notched, Point(0.5, 1.5), 0, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.polygon.Contains(c.p, c.accuracy), c.inside) << c.p.GetX() << " " << c.p.GetY();
    }
}

TEST_F(SelfIntersection, BowTieFallsIntoItsTwoTriangles) {
    // (0,0) (2,2) (2,0) (0,2) crosses itself at (1,1): a counter-clockwise left triangle
    // (0,0) (1,1) (0,2) and a clockwise right one (1,1) (2,2) (2,0), of area 1 each. After
    // offsetting only counter-clockwise regions count: the right lobe goes, and the mirror
    // image keeps the other one.
    const Polygon bow_tie({Point(0, 0), Point(2, 2), Point(2, 0), Point(0, 2)}, false);
    const Polygon left({Point(0, 0), Point(1, 1), Point(0, 2)}, false);
    const std::vector<PolygonWithHoles> both =
        RemoveSelfIntersections_G(bow_tie, 1e-9).GetPolygonsWithHoles();
    ASSERT_EQ(both.size(), 2u);
    EXPECT_TRUE(both[0].GetPolygon().IsEqualTo(left, 1e-12));  // in box order
    EXPECT_TRUE(both[1].GetPolygon().IsEqualTo(
        Polygon({Point(1, 1), Point(2, 0), Point(2, 2)}, false), 1e-12));
    const PolygonWithHolesCollection positive =
        RemoveSelfIntersections_G(bow_tie, 1e-9, true, true);
    ASSERT_EQ(positive.size(), 1);
    EXPECT_TRUE(positive.GetTree().front().GetPolygon().IsEqualTo(left, 1e-12));
    const Polygon mirrored({Point(2, 0), Point(0, 2), Point(0, 0), Point(2, 2)}, false);
    EXPECT_EQ(AreasOf(RemoveSelfIntersections_G(mirrored, 1e-9, true, true)),
              std::vector<double>{1});
}

TEST_F(SelfIntersection, KeyholeBecomesAnOuterPolygonWithAHole) {
    // The 4 x 4 square, in along (0,2)-(1,2), clockwise round the square (1,1)-(3,3), and
    // back out the same way: the bridge cancels, the inner square is a hole. Attached by
    // search the hole finds the same owner; without holes it is filled.
    const Polygon keyhole(
        {Point(0, 0), Point(4, 0), Point(4, 4), Point(0, 4), Point(0, 2), Point(1, 2), Point(1, 3),
         Point(3, 3), Point(3, 1), Point(1, 1), Point(1, 2), Point(0, 2)},
        false);
    const PolygonWithHolesCollection result = RemoveSelfIntersections_G(keyhole, 1e-9);
    ASSERT_EQ(result.size(), 1);
    const PolygonWithHoles& shape = result.GetTree().front();
    EXPECT_EQ(shape.GetPolygon().GetArea(), 16.0);
    ASSERT_EQ(shape.GetHoleCount(), 1);
    EXPECT_EQ(shape.GetHoles().GetTree().front().GetArea(), 4.0);
    EXPECT_FALSE(shape.Contains(Point(2, 2), 0));
    EXPECT_TRUE(shape.Contains(Point(0.5, 2), 0));
    EXPECT_EQ(AreasOf(RemoveSelfIntersections_G(keyhole, 1e-9, true, false)),
              std::vector<double>{12});
    EXPECT_EQ(AreasOf(RemoveSelfIntersections_G(keyhole, 1e-9, false, true)),
              std::vector<double>{16});
}

TEST_F(SelfIntersection, HandWorkedOutlines) {
    // Two unit squares traced as one loop through their shared corner (1,1): kept apart.
    const Polygon pinched({Point(0, 0), Point(1, 0), Point(1, 1), Point(2, 1), Point(2, 2),
                           Point(1, 2), Point(1, 1), Point(0, 1)},
                          false);
    // Round the rectangle (0,2.5)-(7.5,7.5) once and round the parallelogram (2.5,2.5)
    // (5,2.5) (7.5,7.5) (5,7.5) inside it once more, sharing two of its sides, plus a spike
    // (0,7.5)-(7.5,5) there and back: edges overlapping the same way act as parallel
    // copies, the spike cancels, and the rectangle of area 37.5 remains.
    const Polygon overlapping(
        {Point(5, 7.5), Point(2.5, 2.5), Point(5, 2.5), Point(7.5, 7.5), Point(0, 7.5),
         Point(7.5, 5), Point(0, 7.5), Point(0, 2.5), Point(7.5, 2.5), Point(7.5, 7.5)},
        false);
    const Polygon twice({Point(0, 0), Point(1, 0), Point(1, 1), Point(0, 1), Point(0, 0),
                         Point(1, 0), Point(1, 1), Point(0, 1)},
                        false);
    const Polygon stadium(Segment(Point(0, 0), Point(2, 0)), 2);
    const struct {
        const char* name;
        Polygon polygon;
        std::vector<double> nonzero, positive;
    } cases[] = {
        {"pinched", pinched, {1, 1}, {1, 1}},
        {"overlapping the same way", overlapping, {37.5}, {37.5}},
        {"a square traced twice", twice, {1}, {1}},
        {"empty", Polygon(), {}, {}},
        {"circle of radius 0", Polygon(Circle(Point(1, 1), 0)), {}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AreasOf(RemoveSelfIntersections_G(c.polygon, 1e-9)), c.nonzero) << c.name;
        EXPECT_EQ(AreasOf(RemoveSelfIntersections_G(c.polygon, 1e-9, true, true)), c.positive)
            << c.name;
    }
    // A simple outline comes back as it is.
    const PolygonWithHolesCollection same = RemoveSelfIntersections_G(stadium, 1e-9);
    ASSERT_EQ(same.size(), 1);
    EXPECT_TRUE(same.GetTree().front().GetPolygon().IsEqualTo(stadium, 1e-12));
}

TEST_F(SelfIntersection, PiecesLeavingAlongOneTangentAreOrderedByCurvature) {
    // Half circles on a 2.5 grid: at (2.5,2.5) the half circle round (5,5) of radius 3.54
    // and the one round (3.75,3.75) of radius 1.77 touch with one tangent, so only their
    // curvatures tell in which order they leave the vertex. Checked against the winding
    // number of a fine discretisation on a grid of points.
    const double h1 = std::sqrt(81.25) / 2;  // half the chord (0,7.5)-(7.5,2.5)
    const double h2 = std::sqrt(50.0) / 2;
    const double h3 = std::sqrt(12.5) / 2;
    const Polygon shape(
        {Arc(Point(5, 7.5), Point(0, 7.5)), Arc(Point(0, 7.5), Point(7.5, 2.5), h1),
         Arc(Point(7.5, 2.5), Point(2.5, 7.5), h2), Arc(Point(2.5, 7.5), Point(5, 5), h3),
         Arc(Point(5, 5), Point(2.5, 2.5), h3), Arc(Point(2.5, 2.5), Point(5, 0)),
         Arc(Point(5, 0), Point(5, 7.5))},
        false);
    const PolygonWithHolesCollection result = RemoveSelfIntersections_G(shape, 1e-9);
    const std::vector<Point> ring = model::SampleRing(shape, 200);
    for (double x = 0.05; x < 10; x += 0.3) {
        for (double y = 0.05; y < 10; y += 0.3) {
            const Point p(x, y);
            if (model::DistanceToEdges(p, shape.GetEdges()) > 1e-3) {
                ASSERT_EQ(result.Contains(p, 0), model::WindingNumber(ring, p) != 0)
                    << x << " " << y;
            }
        }
    }
}

TEST_F(SelfIntersection, ArcLoopsThatMeetAtTwoPointsMergeByWinding) {
    // Unit discs round (0,0) and (1,0) cross at (0.5, +-s). One loop of four arcs runs
    // counter-clockwise round the outline of their union (the outer 240 degrees of each
    // circle) and then round their common lens (the inner 120 degrees of each). The lens
    // is wound twice, the rest of the union once, so the result is the union without
    // holes. Lens area: 2 pi / 3 - s; union area: 2 pi - lens.
    const double s = std::sqrt(3.0) / 2;
    const Point top(0.5, s);
    const Point bottom(0.5, -s);
    const Polygon eight(
        {Arc(top, bottom, Point(0, 0), k_CCW), Arc(bottom, top, Point(1, 0), k_CCW),
         Arc(top, bottom, Point(1, 0), k_CCW), Arc(bottom, top, Point(0, 0), k_CCW)},
        false);
    const double lens = 2 * k_Pi / 3 - s;
    EXPECT_NEAR(eight.GetArea(), 2 * k_Pi, 1e-12);  // union plus lens
    const PolygonWithHolesCollection merged = RemoveSelfIntersections_G(eight, 1e-9);
    ASSERT_EQ(merged.size(), 1);
    EXPECT_EQ(merged.GetTree().front().GetHoleCount(), 0);
    EXPECT_NEAR(merged.GetArea(), 2 * k_Pi - lens, 1e-12);
}

TEST_F(SelfIntersection, RandomTanglesKeepTheRegionsTheyWindRound) {
    // Vertices anywhere in a square, edges straight or slightly bent: boundaries that
    // cross themselves many times. A point away from the boundary is in the result of the
    // plain removal iff the boundary winds round it, and in the offset form's result iff
    // it winds round it counter-clockwise. Every other case has its vertices on a coarse
    // grid, so that edges overlap and pass through each other's ends.
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
        const std::vector<Point> ring = model::SampleRing(tangle, 100);
        const PolygonWithHolesCollection nonzero = RemoveSelfIntersections_G(tangle, 1e-9);
        const PolygonWithHolesCollection positive =
            RemoveSelfIntersections_G(tangle, 1e-9, true, true);
        for (int k = 0; k < 30; ++k) {
            const Point p(unit(random) * 10, unit(random) * 10);
            if (model::DistanceToEdges(p, edges) < 1e-3) {
                continue;
            }
            ++checked;
            const int w = model::WindingNumber(ring, p);
            ASSERT_EQ(nonzero.Contains(p, 0), w != 0) << "case " << i << " point " << k;
            ASSERT_EQ(positive.Contains(p, 0), w > 0) << "case " << i << " point " << k;
        }
    }
    EXPECT_GT(checked, k_RandomCases / 2 * 20);
}

TEST_F(Collections, MembersAreKeptInBoxOrderAndSharedUntilChanged) {
    PolygonCollection c({Square(5, 0, 1), Square(0, 0, 1), Square(2, 0, 1)});
    const PolygonCollection copy = c;
    c.Add(Square(1, 0, 1));
    c.Add(Polygon());
    EXPECT_EQ(copy.size(), 3);
    std::vector<Point> firsts;
    for (const Polygon& p : c.GetTree()) {
        firsts.push_back(p.GetFirstVertex());
    }
    EXPECT_EQ(firsts, (std::vector<Point>{Point(0, 0), Point(1, 0), Point(2, 0), Point(5, 0)}));
    EXPECT_TRUE(c.Contains(Point(5.5, 0.5), 0));
    EXPECT_FALSE(c.Contains(Point(4.5, 0.5), 0));
    // A polygon with a hole: inside the outline and not strictly inside the hole.
    PolygonWithHoles shape(Square(0, 0, 4));
    shape.AddHole(Square(1, 1, 1));
    shape.AddHole(Polygon());
    EXPECT_EQ(shape.GetArea(), 15.0);
    EXPECT_FALSE(shape.Contains(Point(1.5, 1.5), 0));
    EXPECT_TRUE(shape.Contains(Point(1, 1.5), 0));
    EXPECT_TRUE(shape.IsOnBoundary(Point(2, 1.5), 0));
    PolygonWithHoles().AddHole(Square(1, 1, 1));
    PolygonWithHolesCollection all({Square(10, 0, 1), Square(0, 0, 1)});
    all.Add(shape);
    all.Add(PolygonWithHoles());
    EXPECT_EQ(all.GetArea(), 17.0);
    const PolygonWithHolesCollection moved = all.GetTranslated(Vector(1, 1));
    EXPECT_EQ(moved.GetBBox(), Box::FromBounds(1, 1, 12, 5));
    EXPECT_TRUE(moved.GetTranslated(Vector(-1, -1)).IsEqualTo(all, 1e-12));
    ExpectReports({{"PolygonCollection", "!shape.empty()"},
                   {"PolygonWithHoles", "!m_Polygon.empty()"},
                   {"PolygonWithHolesCollection", "!shape.empty()"}});
}

}  // namespace
