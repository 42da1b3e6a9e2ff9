#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/oracle/CgalOracle.h"
#include "tests/oracle/Shapes.h"

using namespace oracle;

// The exact peer is itself checked on hand-worked cases before anything is compared
// with it.
TEST(ExactPeer, HandWorkedUnionsAndDifferences) {
    constexpr double k_Tolerance = 1e-12;
    const double pi = std::numbers::pi;
    {
        // Two unit squares sharing a side: one 2 x 1 rectangle.
        const Summary s = exactUnion({{rectangle(0, 0, 1, 1), {}}, {rectangle(1, 0, 2, 1), {}}});
        EXPECT_NEAR(s.area, 2.0, k_Tolerance);
        EXPECT_EQ(s.outers, 1);
        EXPECT_EQ(s.holes, 0);
    }
    {
        // A 4 x 4 square minus a 2 x 2 square inside: one polygon, one hole, area 12.
        const Summary s =
            exactDifference({{rectangle(0, 0, 4, 4), {}}}, {{rectangle(1, 1, 3, 3), {}}});
        EXPECT_NEAR(s.area, 12.0, k_Tolerance);
        EXPECT_EQ(s.outers, 1);
        EXPECT_EQ(s.holes, 1);
    }
    {
        // Two unit circles with centres 1 apart: 2 pi - lens; the lens is
        // 2 (pi/3 - sqrt(3)/4) for radius 1 and distance 1.
        const Summary s = exactUnion({{circle(0, 0, 1), {}}, {circle(1, 0, 1), {}}});
        const double lens = 2 * (pi / 3 - std::sqrt(3.0) / 4);
        EXPECT_NEAR(s.area, 2 * pi - lens, 1e-12);
        EXPECT_EQ(s.outers, 1);
    }
    {
        // A stroke of length 2 and width 2 with half-circle caps: 4 + pi.
        const Summary s = exactUnion({{stroke(0, 0, 1, 0, 1, 2.0, 1.0), {}}});
        EXPECT_NEAR(s.area, 4 + pi, 1e-12);
        // Length 2.5 and width 2.5 along the 3-4-5 direction (exact: 2.5 / 5 = 0.5):
        // 2.5 * 2.5 + pi * 1.25^2.
        const Summary t = exactUnion({{stroke(0, 0, 3, 4, 5, 2.5, 1.25), {}}});
        EXPECT_NEAR(t.area, 6.25 + pi * 1.5625, 1e-12);
    }
    {
        // A square minus a containing square is empty.
        const Summary s =
            exactDifference({{rectangle(1, 1, 2, 2), {}}}, {{rectangle(0, 0, 3, 3), {}}});
        EXPECT_EQ(s.outers, 0);
        EXPECT_NEAR(s.area, 0.0, k_Tolerance);
    }
}

// Counts follow the convention of simple loops around connected regions.
TEST(ExactPeer, CountsTouchingShapesAsSeparateSimpleLoops) {
    constexpr double k_Tolerance = 1e-12;
    const double pi = std::numbers::pi;
    {
        // Squares meeting at the corner (1, 1): two regions.
        const Summary s = exactUnion({{rectangle(0, 0, 1, 1), {}}, {rectangle(1, 1, 2, 2), {}}});
        EXPECT_NEAR(s.area, 2.0, k_Tolerance);
        EXPECT_EQ(s.outers, 2);
        EXPECT_EQ(s.holes, 0);
    }
    {
        // A unit circle tangent to the side x = 1 of a square at (1, 0.5).
        const Summary s = exactUnion({{rectangle(0, 0, 1, 1), {}}, {circle(2, 0.5, 1), {}}});
        EXPECT_NEAR(s.area, 1 + pi, k_Tolerance);
        EXPECT_EQ(s.outers, 2);
    }
    {
        // A 4 x 4 square minus a diamond touching its bottom side at (2, 0): one region
        // whose boundary touches itself there, an outer loop and a hole of area 2.
        const Loop diamond{{2, 0}, {3, 1}, {2, 2}, {1, 1}};
        const Summary s = exactDifference({{rectangle(0, 0, 4, 4), {}}}, {{diamond, {}}});
        EXPECT_NEAR(s.area, 14.0, k_Tolerance);
        EXPECT_EQ(s.outers, 1);
        EXPECT_EQ(s.holes, 1);
    }
    {
        // Two L shapes (the exclusive or of two overlapping squares, built by hand) that
        // touch at (1, 2) and (2, 1) and enclose the square between them: two regions and
        // no hole, since the enclosed square borders both.
        const Loop first{{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}};
        const Loop second{{2, 1}, {3, 1}, {3, 3}, {1, 3}, {1, 2}, {2, 2}};
        const Summary s = exactUnion({{first, {}}, {second, {}}});
        EXPECT_NEAR(s.area, 6.0, k_Tolerance);
        EXPECT_EQ(s.outers, 2);
        EXPECT_EQ(s.holes, 0);
    }
}

TEST(ExactPeer, ShapeAreasAgreeWithTheirFormulas) {
    const double pi = std::numbers::pi;
    // Rounded rectangle 4 x 2 with radius 0.5: 8 - (4 - pi) * 0.25.
    EXPECT_NEAR(loopArea(roundedRectangle(0, 0, 4, 2, 0.5)), 8 - (4 - pi) * 0.25, 1e-12);
    EXPECT_NEAR(loopArea(reversed(roundedRectangle(0, 0, 4, 2, 0.5))), -(8 - (4 - pi) * 0.25),
                1e-12);
    EXPECT_NEAR(loopArea(circle(3, 4, 2)), 4 * pi, 1e-12);
    EXPECT_NEAR(loopArea(rotatedRectangle(0, 0, 12, 5, 13, 1.0, 2.0)), 2.0, 1e-12);
    for (std::uint64_t n = 0; n < 64; ++n) {
        const Case c = makeCase(n);
        for (const Region& r : c.a) {
            const Summary s = exactUnion({r});
            double expected = loopArea(r.outer);
            for (const Loop& hole : r.holes) {
                expected += loopArea(hole);
            }
            EXPECT_NEAR(s.area, expected, 1e-9 * std::max(1.0, expected)) << c.kind << " " << n;
        }
    }
}
