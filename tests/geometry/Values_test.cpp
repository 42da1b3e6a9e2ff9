#include <cfloat>
#include <cmath>

#include "KernelTest.h"
#include "math/geometry/Angle.h"
#include "math/geometry/Area.h"
#include "math/geometry/Azimuth.h"
#include "math/geometry/Box.h"
#include "math/geometry/GeomStl.h"
#include "math/geometry/Line.h"
#include "math/geometry/Point.h"
#include "math/geometry/Unit.h"
#include "math/geometry/Vector.h"

using namespace geom;

namespace {

/// Rounding of a few operations on values of order 1.
constexpr double k_Rounding = 1e-15;

class Tolerance : public KernelTest {};
class AngleAndVector : public KernelTest {};
class BoxAndLine : public KernelTest {};

TEST_F(Tolerance, IsAThousandUnitsInTheLastPlaceAndNeverZero) {
    // 0 has no last place: the smallest normal double stands in. Powers of two scale the
    // tolerance exactly; the sign does not matter. A box takes the tolerance of its largest
    // coordinate (3 beats the side 2), or of its larger side (across 0, 2 beats 1).
    const double ulp1 = 2.220446049250313e-16;
    EXPECT_EQ(Unit(0.0).GetEpsilon(), 1000 * DBL_MIN);
    EXPECT_EQ(Unit(-8.0).GetEpsilon(), 8 * 1000 * ulp1);
    EXPECT_EQ(Area(0.0).GetEpsilon(), 1000 * DBL_MIN);
    EXPECT_EQ(Area(4.0).GetEpsilon(), 4 * 1000 * ulp1);
    EXPECT_EQ(Box().GetEpsilon(), 0.0);
    EXPECT_EQ(Box::FromBounds(1, 1, 3, 2).GetEpsilon(), Unit(3.0).GetEpsilon());
    EXPECT_EQ(GetCombinedEpsilon_T(Point(-1, 0), Point(1, 0.5)), Unit(2.0).GetEpsilon());
    // Beyond the largest length it is reported and still computed.
    const double huge = DBL_MAX / 1000000 * 1002;
    EXPECT_EQ(Unit(huge).GetEpsilon(), 1000 * (huge * DBL_EPSILON));
    EXPECT_TRUE(std::isnan(Unit(NAN).GetEpsilon()));
    Area(1e303).GetEpsilon();
    ExpectReports({{"Unit", "base::GetAbsOf_T(m_Value) <= DBL_MAX / 1000000 * 1001"},
                   {"Unit", "base::GetAbsOf_T(m_Value) <= DBL_MAX / 1000000 * 1001"},
                   {"Area", "GetAbs() <= k_InfiniteArea"}});
}

TEST_F(Tolerance, PointsAndSquareRoots) {
    // Point equality within eps is a square of half-width eps; == is exact. The square
    // roots the length formulas need are exact.
    EXPECT_TRUE(Point(0, 0).IsEqualTo(Point(-1e-3, 1e-3), 1e-3));
    EXPECT_FALSE(Point(0, 0).IsEqualTo(Point(1e-3 * 1.0000001, 0), 1e-3));
    EXPECT_FALSE(Point(1, 2) == Point(1, std::nextafter(2.0, 3.0)));
    EXPECT_EQ(Area(4.0).GetSqrt(), 2.0);
    EXPECT_EQ(Area(1.0).GetSqrt(), 1.0);
    EXPECT_EQ(Area(-1.0).GetSqrt(), 0.0);
    ExpectReports({{"Area", "m_Value >= 0"}});
}

TEST_F(AngleAndVector, QuarterTurnsAreExact) {
    EXPECT_EQ(Angle(Angle::k_Degrees, 90), k_Degree_90);
    EXPECT_EQ(Angle(Angle::k_RightAngles, 1), k_Degree_90);
    EXPECT_EQ(Angle(Angle::k_HalfRightAngles, 2), k_Degree_90);
    EXPECT_EQ(Angle(7, 90), k_Angle_0);
    ExpectReports({{"Angle", "unit_selector >= k_Degrees && unit_selector <= k_HalfRightAngles"}});
    const struct {
        Angle angle;
        double sin, cos;
    } cases[] = {
        {k_Degree_0, 0, 1},     {k_Degree_90, 1, 0},   {-k_Degree_90, -1, 0}, {k_Degree_180, 0, -1},
        {-k_Degree_180, 0, -1}, {k_Degree_270, -1, 0}, {-k_Degree_270, 1, 0}, {k_Degree_360, 0, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.angle.Sin(), c.sin) << c.angle.GetDegrees();
        EXPECT_EQ(c.angle.Cos(), c.cos) << c.angle.GetDegrees();
    }
    EXPECT_EQ(Vector(3, -2).GetRotated(k_Degree_180), Vector(-3, 2));
    EXPECT_EQ(Vector(3, -2).GetRotated(-k_Degree_90), Vector(-2, -3));
    // One bit away from the constant the library takes over.
    const Angle near90 = Angle::FromRadians(std::nextafter(k_Degree_90.GetValue(), 0.0));
    EXPECT_NE(near90.Cos(), 0.0);
    EXPECT_EQ(Vector(1, 0).GetRotated(near90).GetDx(), std::cos(near90.GetValue()));
    // Azimuths along the axes are the constants.
    EXPECT_EQ(Azimuth(Vector(0, 2)), k_Degree_90);
    EXPECT_EQ(Azimuth(Vector(0, -2)), k_Degree_270);
    EXPECT_EQ(Azimuth(Vector(-5, 0)), k_Degree_180);
    EXPECT_EQ(Azimuth(Vector(1, -1)).GetValue(), std::atan2(-1.0, 1.0));
    EXPECT_EQ(Azimuth(k_NullVector), k_Angle_0);
    ExpectReports({{"Vector", "!v.IsNull()"}});
}

TEST_F(AngleAndVector, LengthsAlongTheAxesAreExact) {
    EXPECT_EQ(Vector(0, -3).GetLength(), 3.0);
    EXPECT_EQ(Vector(-0.1, 0).GetLength(), 0.1);
    EXPECT_EQ(Vector(3, 4).GetLength(), 5.0);  // sqrt(25) is exact
    EXPECT_EQ(Vector(0, -5).GetWithLength(2), Vector(0, -2));
    const Vector v = Vector(3, 4).GetWithLength(10);
    EXPECT_NEAR(v.GetDx(), 6, 6 * k_Rounding);
    EXPECT_NEAR(v.GetDy(), 8, 8 * k_Rounding);
    EXPECT_EQ(k_NullVector.GetWithLength(1), k_NullVector);
    ExpectReports({{"Vector", "*this != k_NullVector"}});
    // A midpoint is the same for both orders, copies an equal coordinate and does not
    // overflow on it.
    const Point a(0.1, 0.7);
    const Point b(0.3, 0.7);
    EXPECT_EQ(GetMiddlePoint_G(a, b), GetMiddlePoint_G(b, a));
    EXPECT_EQ(GetMiddlePoint_G(a, b).GetY(), 0.7);
    EXPECT_EQ(GetMiddlePoint_G(Point(1e308, -1e308), Point(1e308, 1e308)), Point(1e308, 0));
}

TEST_F(AngleAndVector, AngleBetweenVectorsIsTheSignedTurn) {
    EXPECT_EQ(Vector(1, 0).GetAngleTo(Vector(0, -1)), -k_Degree_90);
    // Across the +-180 degree seam: a small turn, not a whole one (rounding of two
    // azimuths near pi).
    EXPECT_NEAR(Vector(-1, -1e-9).GetAngleTo(Vector(-1, 1e-9)).GetValue(), -2e-9, 1e-15);
    EXPECT_TRUE(Vector(1, 1).IsSameDirection(Vector(2, 2.001), Angle(Angle::k_Degrees, 1)));
    EXPECT_FALSE(Vector(1, 1).IsSameDirection(Vector(-1, -1), Angle(Angle::k_Degrees, 1)));
    Vector(1, 0).IsSameDirection(Vector(1, 0), -k_Degree_90);
    EXPECT_EQ(Vector(-3, 0).GetSignPattern(), Vector(-1, 0));
    k_NullVector.GetSignPattern();
    ExpectReports({{"Vector", "accuracy >= k_Degree_0"},
                   {"Vector", "sx != base::k_Zero || sy != base::k_Zero"}});
}

TEST_F(BoxAndLine, BoxesExpandIntersectUniteAndOrder) {
    const Box box = Box::FromBounds(0, 0, 1, 3);
    EXPECT_TRUE(box.GetExpanded(-0.6).IsEmpty());  // 2 * 0.6 exceeds the width 1
    EXPECT_NEAR(box.GetExpanded(-0.4).GetWidth(), 0.2, k_Rounding);
    EXPECT_EQ(box.GetExpanded(1), Box::FromBounds(-1, -1, 2, 4));
    EXPECT_TRUE(Box().GetExpanded(5).IsEmpty());
    const Box a = Box::FromBounds(0, 0, 2, 2);
    EXPECT_EQ(a & Box::FromBounds(1, 1, 3, 3), Box::FromBounds(1, 1, 2, 2));
    EXPECT_EQ(Box() | a, a);
    // An empty intersection is the canonical empty box; an empty box meets nothing.
    EXPECT_EQ((a & Box::FromBounds(5, 5, 6, 6)).GetMin(), Point(1, 1));
    EXPECT_TRUE(a.Meets(Box::FromBounds(2, 2, 3, 3)));
    EXPECT_FALSE(Box().Meets(k_BigBox));
    // The order: x range, then y range, empty ranges last.
    EXPECT_LT(Box::Compare(Box::FromBounds(0, 5, 1, 6), Box::FromBounds(0, 0, 2, 1)), 0);
    EXPECT_LT(Box::Compare(Box::FromBounds(0, 0, 2, 1), Box::FromBounds(1, 0, 2, 1)), 0);
    EXPECT_GT(Box::Compare(Box(), a), 0);
    EXPECT_EQ(Box::Compare(Box(), Box()), 0);
    // Query boxes refuse a negative expansion.
    EXPECT_EQ(GetQueryBox_G(Point(1, 1), 0.5), Box::FromBounds(0.5, 0.5, 1.5, 1.5));
    EXPECT_EQ(GetQueryBox_G(Point(1, 1), -0.5), Box::FromBounds(1, 1, 1, 1));
    Box().GetWidth();
    ExpectReports({{"math/geometry/GeomStl", "expansion >= k_NullUnit"}, {"Box", "!IsEmpty()"}});
}

TEST_F(BoxAndLine, LineNormalsAlongTheAxesAreExact) {
    // The normal is the unit left normal of the direction; (-4, 3) is 5 times the one of
    // (3, 4).
    EXPECT_EQ(Line(Point(0, 2), Point(5, 2)).GetSignedDistanceTo(Point(3, 7)), 5.0);
    EXPECT_EQ(Line(Point(5, 2), Point(0, 2)).GetNormal(), Vector(0, -1));
    EXPECT_EQ(Line(Point(1, 0), Point(1, 5)).GetSignedDistanceTo(Point(0, 9)), 1.0);
    EXPECT_EQ(Line(Point(1, 5), Point(1, 0)).GetNormal(), Vector(1, 0));
    EXPECT_NEAR(Line(Point(0, 0), Point(3, 4)).GetSignedDistanceTo(Point(-4, 3)), 5,
                5 * k_Rounding);
    Line(Point(1, 1), Point(1, 1));
    ExpectReports({{"Line", "!pa.IsEqualTo(pb, GetCombinedEpsilon_T(pa, pb))"}});
}

TEST_F(BoxAndLine, LineCrossingIsAcceptedOnlyNearBothLines) {
    Point p;
    ASSERT_TRUE(Line::Intersect_G(Line(Point(-1, 0), Point(1, 0)),
                                  Line(Point(0.5, -1), Point(0.5, 1)), 1e-9, &p));
    EXPECT_EQ(p, Point(0.5, 0));
    EXPECT_FALSE(Line::Intersect_G(Line(Point(0, 0), Point(1, 0)), Line(Point(0, 1), Point(1, 1)),
                                   1e-9, &p));
    // Lines 1e-12 from parallel cross about 1e12 away, where the rounding of the unit
    // normals (1e-16 relative) exceeds the accuracy; with accuracy 0 it is accepted.
    const Line a(Point(0, 0), Point(1, 1));
    const Line b(Point(0, 1), Point(1, 2 + 1e-12));
    EXPECT_FALSE(Line::Intersect_G(a, b, 1e-9, &p));
    EXPECT_TRUE(Line::Intersect_G(a, b, 0, &p));
}

}  // namespace
