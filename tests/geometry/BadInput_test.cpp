#include <cmath>
#include <limits>
#include <vector>

#include "KernelTest.h"
#include "math/geometry/Exception.h"
#include "math/geometry/Intersections.h"
#include "math/geometry/Polygon.h"
#include "math/geometry/PolygonCollection.h"
#include "math/geometry/PolygonWithHolesCollection.h"
#include "math/geometry/SelfIntersection.h"

using namespace geom;

namespace {

/// Bad coordinates must give some defined result, with or without reports, and never a
/// crash, a hang or undefined behaviour (the sanitiser builds run these too).
class BadInput : public KernelTest {
protected:
    void TearDown() override { m_Recorder.assertions.clear(); }
};

const double k_NaN = std::numeric_limits<double>::quiet_NaN();
const double k_Inf = std::numeric_limits<double>::infinity();

void Exercise(const Polygon& p) {
    p.GetArea();
    p.GetBBox();
    p.GetEpsilon();
    p.Contains(Point(0.5, 0.5), 0);
    p.Contains(Point(k_NaN, 0.5), 1e-9);
    p.IsOnBoundary(Point(0.5, 0), 1e-9);
    p.IsSelfIntersecting(1e-9);
    p.IsCircle(1e-9);
    p.GetReversed();
    p.GetRotated(0, 0, k_Degree_45);
    RemoveSelfIntersections_G(p, 1e-9);
    RemoveSelfIntersections_G(p, 1e-9, true, false);
    PolygonCollection c(std::vector<Polygon>{p, p});
    c.Contains(Point(0, 0), 0);
    std::vector<Point> points;
    for (const Arc& a : p.GetEdges()) {
        try {
            a.GeneratePoints(Angle(Angle::k_Degrees, 20), true, 100, points);
        } catch (const Exception& e) {
            EXPECT_EQ(e.GetCode(), 2);
        }
        a.GetMiddlePoint();
        a.GetSweepAngle();
        a.GetLength();
        a.Split({a.GetStart(), a.GetEnd()});
        Arc::Intersect_G(a, Arc(Point(0, 0), Point(1, 1), 0.2), 1e-9);
    }
}

TEST_F(BadInput, NotANumberAndInfiniteCoordinates) {
    for (const double bad : {k_NaN, k_Inf, -k_Inf, 1e300}) {
        Exercise(Polygon({Point(0, 0), Point(1, 0), Point(bad, 1)}, true));
        Exercise(Polygon({Arc(Point(0, 0), Point(1, 0), bad), Arc(Point(1, 0), Point(0, 0), 0.5)},
                         false));
        Exercise(Polygon(
            {Arc(Point(0, 0), Point(bad, bad), -0.5), Arc(Point(bad, bad), Point(0, 0))}, false));
        Exercise(Polygon(Circle(Point(bad, 0), 1)));
        Exercise(Polygon(Segment(Point(0, 0), Point(1, 0)), bad));
        Exercise(Polygon(Box::FromBounds(0, 0, 1, 1), bad));
        Segment::Intersect_G(Segment(Point(0, 0), Point(bad, 1)), Segment(Point(0, 1), Point(1, 0)),
                             1e-9);
    }
}

TEST_F(BadInput, DegenerateArcsAndShapes) {
    Exercise(Polygon());
    Exercise(Polygon({Point(0, 0)}, true));
    Exercise(Polygon({Point(0, 0), Point(0, 0), Point(0, 0)}, true));
    Exercise(Polygon({Arc(Point(0, 0), Point(0, 0), 1)}, true));  // circle with direction 0
    Exercise(Polygon(
        {Arc(Point(0, 0), Point(1e-300, 0), 1e300), Arc(Point(1e-300, 0), Point(0, 0))}, false));
    Exercise(
        Polygon({Point(0, 0), Point(1, 0), Point(2, 0), Point(1, 0)}, false));  // all collinear
    // Many edges through one point.
    std::vector<Point> star;
    for (int i = 0; i < 12; ++i) {
        star.emplace_back(0, 0);
        star.emplace_back(std::cos(i * 0.5), std::sin(i * 0.5));
    }
    Exercise(Polygon(star, false));
}

}  // namespace
