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
class AngleValue : public KernelTest {};
class VectorValue : public KernelTest {};
class BoxValue : public KernelTest {};
class LineValue : public KernelTest {};

TEST_F(Tolerance, IsAThousandUnitsInTheLastPlaceAndNeverZero) {
    // 0 has no last place: the smallest normal double stands in.
    EXPECT_EQ(Unit(0.0).GetEpsilon(), 1000 * DBL_MIN);
    EXPECT_EQ(Unit(1.0).GetEpsilon(), 1000 * 2.220446049250313e-16);
    // Powers of two scale the tolerance exactly; the sign does not matter.
    EXPECT_EQ(Unit(-8.0).GetEpsilon(), 8 * 1000 * 2.220446049250313e-16);
    EXPECT_EQ(Area(0.0).GetEpsilon(), 1000 * DBL_MIN);
    EXPECT_EQ(Area(4.0).GetEpsilon(), 4 * 1000 * 2.220446049250313e-16);
}

TEST_F(Tolerance, BeyondTheLargestLengthIsReportedAndStillComputed) {
    const double huge = DBL_MAX / 1000000 * 1002;
    EXPECT_EQ(Unit(huge).GetEpsilon(), 1000 * (huge * DBL_EPSILON));
    ExpectReports({{"Unit", "base::GetAbsOf_T (*this) <= DBL_MAX / 1000000 * 1001"}});
    EXPECT_TRUE(std::isnan(Unit(NAN).GetEpsilon()));
    ExpectReports({{"Unit", "base::GetAbsOf_T (*this) <= DBL_MAX / 1000000 * 1001"}});
    Area(1e303).GetEpsilon();
    ExpectReports({{"Area", "GetAbs() <= k_InfiniteArea"}});
}

TEST_F(Tolerance, OfABoxComesFromItsLargestCoordinateOrSide) {
    EXPECT_EQ(Box().GetEpsilon(), 0.0);
    // Largest coordinate 3 beats the side 2.
    EXPECT_EQ(Box::FromBounds(1, 1, 3, 2).GetEpsilon(), Unit(3.0).GetEpsilon());
    // Across 0 the side 2 beats the largest coordinate 1.
    EXPECT_EQ(Box::FromBounds(-1, -1, 1, 1).GetEpsilon(), Unit(2.0).GetEpsilon());
    EXPECT_EQ(GetCombinedEpsilon_T(Point(-1, 0), Point(1, 0.5)), Unit(2.0).GetEpsilon());
}

TEST_F(Tolerance, PointEqualityIsASquareOfHalfWidthEps) {
    const double eps = 1e-3;
    EXPECT_TRUE(Point(0, 0).IsEqualTo(Point(eps, eps), eps));
    EXPECT_TRUE(Point(0, 0).IsEqualTo(Point(-eps, eps), eps));
    EXPECT_FALSE(Point(0, 0).IsEqualTo(Point(eps * 1.0000001, 0), eps));
    EXPECT_TRUE(Point(1, 2) == Point(1, 2));
    EXPECT_FALSE(Point(1, 2) == Point(1, std::nextafter(2.0, 3.0)));
}

TEST_F(Tolerance, AreaSquareRootIsExactWhereTheFormulasNeedIt) {
    EXPECT_EQ(Area(4.0).GetSqrt(), 2.0);
    EXPECT_EQ(Area(1.0).GetSqrt(), 1.0);
    EXPECT_EQ(Area(0.0).GetSqrt(), 0.0);
    EXPECT_EQ(Area(-1.0).GetSqrt(), 0.0);
    ExpectReports({{"Area", "m_Value >= 0"}});
}

TEST_F(AngleValue, UnitSelectorsAgreeWithTheNamedConstants) {
    EXPECT_EQ(Angle(Angle::k_Degrees, 90), k_Degree_90);
    EXPECT_EQ(Angle(Angle::k_RightAngles, 1), k_Degree_90);
    EXPECT_EQ(Angle(Angle::k_HalfRightAngles, 2), k_Degree_90);
    EXPECT_EQ(Angle(Angle::k_Radians, 0.25).GetValue(), 0.25);
    EXPECT_EQ(Angle(7, 90), k_Angle_0);
    ExpectReports({{"Angle", "!\"This should never happen!\""}});
    EXPECT_EQ(k_Angle_270, k_Degree_270);
}

TEST_F(AngleValue, SineAndCosineAreExactAtTheQuarterTurns) {
    struct Case {
        Angle angle;
        double sin, cos;
    };
    const Case cases[] = {
        {k_Degree_0, 0, 1},     {k_Degree_90, 1, 0},   {-k_Degree_90, -1, 0}, {k_Degree_180, 0, -1},
        {-k_Degree_180, 0, -1}, {k_Degree_270, -1, 0}, {-k_Degree_270, 1, 0}, {k_Degree_360, 0, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.angle.Sin(), c.sin) << c.angle.GetDegrees();
        EXPECT_EQ(c.angle.Cos(), c.cos) << c.angle.GetDegrees();
    }
    // One bit away from the constant the library takes over.
    const Angle near90 = Angle::FromRadians(std::nextafter(k_Degree_90.GetValue(), 4.0));
    EXPECT_EQ(near90.Cos(), std::cos(near90.GetValue()));
    EXPECT_NE(near90.Cos(), 0.0);
}

TEST_F(VectorValue, RotationByTheQuarterTurnConstantIsExact) {
    EXPECT_EQ(Vector(1, 0).GetRotated(k_Degree_90), Vector(0, 1));
    EXPECT_EQ(Vector(3, -2).GetRotated(k_Degree_180), Vector(-3, 2));
    EXPECT_EQ(Vector(3, -2).GetRotated(-k_Degree_90), Vector(-2, -3));
    // A right angle computed elsewhere is not the constant: the library result.
    const Angle other = Angle::FromRadians(std::nextafter(k_Degree_90.GetValue(), 0.0));
    const Vector r = Vector(1, 0).GetRotated(other);
    EXPECT_EQ(r.GetDx(), std::cos(other.GetValue()));
    EXPECT_NE(r.GetDx(), 0.0);
}

TEST_F(VectorValue, LengthsAlongTheAxesAreExact) {
    EXPECT_EQ(Vector(0, -3).GetLength(), 3.0);
    EXPECT_EQ(Vector(-0.1, 0).GetLength(), 0.1);
    EXPECT_EQ(Vector(3, 4).GetLength(), 5.0);  // sqrt(25) is exact
    EXPECT_EQ(Vector(0, -5).GetWithLength(2), Vector(0, -2));
    EXPECT_EQ(Vector(7, 0).GetWithLength(0.5), Vector(0.5, 0));
    const Vector v = Vector(3, 4).GetWithLength(10);
    EXPECT_NEAR(v.GetDx(), 6, 6 * k_Rounding);
    EXPECT_NEAR(v.GetDy(), 8, 8 * k_Rounding);
    EXPECT_EQ(k_NullVector.GetWithLength(1), k_NullVector);
    ExpectReports({{"Vector", "*this != k_NullVector"}});
}

TEST_F(VectorValue, CrossProductIsPositiveCounterClockwise) {
    EXPECT_EQ(Vector(1, 0).Cross(Vector(0, 1)), 1.0);
    EXPECT_EQ(Vector(0, 1).Cross(Vector(1, 0)), -1.0);
    EXPECT_EQ(Vector(2, 3).Dot(Vector(4, -1)), 5.0);
}

TEST_F(VectorValue, AzimuthGivesTheConstantsOnTheAxes) {
    EXPECT_EQ(Azimuth(Vector(0, 2)), k_Degree_90);
    EXPECT_EQ(Azimuth(Vector(0, -2)), k_Degree_270);
    EXPECT_EQ(Azimuth(Vector(5, 0)), k_Degree_0);
    EXPECT_EQ(Azimuth(Vector(-5, 0)), k_Degree_180);
    EXPECT_EQ(Azimuth(Vector(1, -1)).GetValue(), std::atan2(-1.0, 1.0));
    EXPECT_EQ(Azimuth(k_NullVector), k_Angle_0);
    ExpectReports({{"Vector", "!IsNull()"}});
}

TEST_F(VectorValue, AngleBetweenVectorsIsTheSignedTurn) {
    EXPECT_EQ(Vector(1, 0).GetAngleTo(Vector(0, -1)), -k_Degree_90);
    EXPECT_EQ(Vector(0, -1).GetAngleTo(Vector(1, 0)), k_Degree_90);
    // Across the +-180 degree seam: a small turn, not a whole one (rounding of two
    // azimuths near pi).
    EXPECT_NEAR(Vector(-1, -1e-9).GetAngleTo(Vector(-1, 1e-9)).GetValue(), -2e-9, 1e-15);
    EXPECT_TRUE(Vector(1, 1).IsSameDirection(Vector(2, 2.001), Angle(Angle::k_Degrees, 1)));
    EXPECT_FALSE(Vector(1, 1).IsSameDirection(Vector(-1, -1), Angle(Angle::k_Degrees, 1)));
    Vector(1, 0).IsSameDirection(Vector(1, 0), -k_Degree_90);
    ExpectReports({{"Vector", "accuracy >= k_Degree_0"}});
    EXPECT_EQ(Vector(-3, 0).GetSignPattern(), Vector(-1, 0));
    k_NullVector.GetSignPattern();
    ExpectReports({{"Vector", "sx != base::k_Zero || sy != base::k_Zero"}});
}

TEST_F(VectorValue, MidpointIsTheSameForBothOrders) {
    const Point a(0.1, 0.7);
    const Point b(0.3, 0.7);
    EXPECT_EQ(GetMiddlePoint_G(a, b), GetMiddlePoint_G(b, a));
    EXPECT_EQ(GetMiddlePoint_G(a, b).GetY(), 0.7);  // copied, not averaged
    const Point c(1e308, -1e308);
    const Point d(1e308, 1e308);
    EXPECT_EQ(GetMiddlePoint_G(c, d), Point(1e308, 0));  // no overflow on the equal x
}

TEST_F(BoxValue, ExpandingByANegativeAmountEmptiesANarrowBox) {
    const Box box = Box::FromBounds(0, 0, 1, 3);
    EXPECT_TRUE(box.GetExpanded(-0.6).IsEmpty());  // 2 * 0.6 exceeds the width 1
    const Box shrunk = box.GetExpanded(-0.4);
    EXPECT_NEAR(shrunk.GetWidth(), 0.2, k_Rounding);
    EXPECT_NEAR(shrunk.GetHeight(), 2.2, k_Rounding);
    EXPECT_EQ(box.GetExpanded(0), box);
    EXPECT_EQ(box.GetExpanded(1), Box::FromBounds(-1, -1, 2, 4));
    EXPECT_TRUE(Box().GetExpanded(5).IsEmpty());
}

TEST_F(BoxValue, IntersectionAndUnionKeepEmptyBoxesCanonical) {
    const Box a = Box::FromBounds(0, 0, 2, 2);
    const Box b = Box::FromBounds(1, 1, 3, 3);
    EXPECT_EQ(a & b, Box::FromBounds(1, 1, 2, 2));
    EXPECT_EQ(a | b, Box::FromBounds(0, 0, 3, 3));
    EXPECT_EQ(a | Box(), a);
    EXPECT_EQ(Box() | a, a);
    const Box none = a & Box::FromBounds(5, 5, 6, 6);
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ(none.GetXMin(), 1.0);
    EXPECT_EQ(none.GetXMax(), 0.0);
    // Touching boxes meet; an empty box meets nothing, not even the big box.
    EXPECT_TRUE(a.Meets(Box::FromBounds(2, 2, 3, 3)));
    EXPECT_FALSE(Box().Meets(k_BigBox));
    EXPECT_TRUE(k_BigBox.Contains(a));
    EXPECT_EQ(Box::FromBounds(0, 0, 2, 2).GetArea(), 4.0);
    Box().GetWidth();
    ExpectReports({{"Box", "!IsEmpty()"}});
}

TEST_F(BoxValue, OrderIsByXRangeThenYRangeWithEmptyRangesLast) {
    const Box a = Box::FromBounds(0, 5, 1, 6);
    const Box b = Box::FromBounds(0, 0, 2, 1);
    const Box c = Box::FromBounds(1, 0, 2, 1);
    EXPECT_LT(Box::Compare(a, b), 0);  // equal min x, smaller max x
    EXPECT_LT(Box::Compare(b, c), 0);
    EXPECT_GT(Box::Compare(Box(), a), 0);
    EXPECT_EQ(Box::Compare(Box(), Box()), 0);
}

TEST_F(BoxValue, QueryBoxesRefuseANegativeExpansion) {
    EXPECT_EQ(GetQueryBox_G(Point(1, 1), 0.5), Box::FromBounds(0.5, 0.5, 1.5, 1.5));
    EXPECT_EQ(GetQueryBox_G(Point(1, 1), -0.5), Box::FromBounds(1, 1, 1, 1));
    ExpectReports({{"math/geometry/GeomStl", "expansion >= k_NullUnit"}});
}

TEST_F(LineValue, NormalsAlongTheAxesAreExact) {
    const Line right(Point(0, 2), Point(5, 2));
    EXPECT_EQ(right.GetNormal(), Vector(0, 1));
    EXPECT_EQ(right.GetSignedDistanceTo(Point(3, 7)), 5.0);
    const Line left(Point(5, 2), Point(0, 2));
    EXPECT_EQ(left.GetNormal(), Vector(0, -1));
    const Line up(Point(1, 0), Point(1, 5));
    EXPECT_EQ(up.GetNormal(), Vector(-1, 0));
    EXPECT_EQ(up.GetSignedDistanceTo(Point(0, 9)), 1.0);  // left of an upward line
    const Line down(Point(1, 5), Point(1, 0));
    EXPECT_EQ(down.GetNormal(), Vector(1, 0));
    // (-4, 3) is 5 times the unit left normal (-0.8, 0.6) of (3, 4).
    const Line slanted(Point(0, 0), Point(3, 4));
    EXPECT_NEAR(slanted.GetSignedDistanceTo(Point(-4, 3)), 5, 5 * k_Rounding);
}

TEST_F(LineValue, CoincidentPointsAreReported) {
    Line(Point(1, 1), Point(1, 1));
    ExpectReports({{"Line", "!pa.IsEqualTo (pb, GetCombinedEpsilon_T (pa, pb))"}});
}

TEST_F(LineValue, CrossingIsAcceptedOnlyNearBothLines) {
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
