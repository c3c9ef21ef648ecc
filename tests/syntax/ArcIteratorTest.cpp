#include "syntax/SvgArcIterator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

int countPieces(SvgArcIterator& arc, float& lastX, float& lastY) {
    float x1, y1, x2, y2;
    int n = 0;
    while (arc.next(x1, y1, x2, y2, lastX, lastY)) {
        EXPECT_TRUE(std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) &&
                    std::isfinite(y2));
        ++n;
    }
    return n;
}

TEST(ArcIterator, PieceCountFollowsTheTurn) {
    struct Case {
        float x2, y2;
        bool large, sweep;
        int pieces;
    };
    // Radius 10 from (0, 0). The turn constants are a hair under pi, so an
    // exact quarter or half turn may count one piece more.
    const Case cases[] = {
        {10, 10, false, true, 2},  {20, 0, false, true, 2},   {20, 0, false, false, 3},
        {10, 10, true, false, 3},  {10, 10, true, true, 3},   {5, 5, false, true, 1},
        {-10, 10, false, true, 2}, {0.5f, 0, false, true, 1},
    };
    for (const Case& c : cases) {
        SvgArcIterator arc;
        ASSERT_TRUE(arc.init(0, 0, c.x2, c.y2, 10, 10, 0, c.large, c.sweep));
        EXPECT_EQ(arc.pieceCount(), c.pieces) << c.x2 << ' ' << c.large << c.sweep;
        float x = 0, y = 0;
        EXPECT_EQ(countPieces(arc, x, y), c.pieces);
        EXPECT_EQ(x, c.x2);
        EXPECT_EQ(y, c.y2);
        float a, b, d, e;
        EXPECT_FALSE(arc.next(a, b, d, e, x, y)); // stays exhausted
    }
}

TEST(ArcIterator, CentreAndEnlargedRadii) {
    SvgArcIterator arc;
    ASSERT_TRUE(arc.init(0, 0, 10, 0, 10, 10, 0, false, true));
    EXPECT_NEAR(arc.centerX(), 5, 1e-4);
    EXPECT_NEAR(arc.centerY(), 8.660254, 1e-4);
    ASSERT_TRUE(arc.init(0, 0, 10, 0, 10, 10, 0, true, true));
    EXPECT_NEAR(arc.centerY(), -8.660254, 1e-4);

    // Radii keep their ratio when enlarged.
    ASSERT_TRUE(arc.init(0, 0, 40, 0, 2, 1, 0, false, true));
    EXPECT_NEAR(arc.radiusX(), 20, 1e-3);
    EXPECT_NEAR(arc.radiusY(), 10, 1e-3);
    EXPECT_NEAR(arc.centerX(), 20, 1e-3);
    EXPECT_NEAR(arc.centerY(), 0, 1e-3);
}

TEST(ArcIterator, RefusesWhatItCannotCompute) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    SvgArcIterator arc;
    EXPECT_FALSE(arc.init(0, 0, 0, 0, 10, 10, 0, false, true)); // equal end points
    EXPECT_FALSE(arc.init(0, 0, 20, 0, 0, 10, 0, false, true)); // zero radius
    EXPECT_FALSE(arc.init(0, 0, 20, 0, nan, 10, 0, false, true));
    EXPECT_FALSE(arc.init(0, 0, 20, 0, 10, inf, 0, false, true));
    EXPECT_FALSE(arc.init(0, 0, inf, 0, 10, 10, 0, false, true));
    EXPECT_FALSE(arc.init(nan, 0, 20, 0, 10, 10, 0, false, true));
    EXPECT_FALSE(arc.init(0, 0, 20, 0, 10, 10, inf, false, true));
    float a, b, c, d, e, f;
    EXPECT_FALSE(arc.next(a, b, c, d, e, f));
}

TEST(ArcIterator, ExtremeRadiiStayFinite) {
    const float big = std::numeric_limits<float>::max();
    const float tiny = std::numeric_limits<float>::denorm_min();
    const float radii[][2] = {{1e-30f, 1e-30f}, {1e30f, 1e30f}, {big, big},
                              {tiny, tiny},     {big, tiny},    {1e-20f, 1e20f}};
    for (const auto& r : radii) {
        for (bool large : {false, true}) {
            SvgArcIterator arc;
            if (!arc.init(0, 0, 20, 5, r[0], r[1], 30, large, true))
                continue; // refused: the builder then draws a line
            EXPECT_GE(arc.pieceCount(), 1);
            EXPECT_LE(arc.pieceCount(), 5);
            float x = 0, y = 0;
            countPieces(arc, x, y);
            EXPECT_EQ(x, 20);
            EXPECT_EQ(y, 5);
        }
    }
    // Tiny equal radii are enlarged to the half circle over the chord.
    SvgArcIterator arc;
    ASSERT_TRUE(arc.init(0, 0, 20, 0, 1e-30f, 1e-30f, 0, false, true));
    EXPECT_NEAR(arc.radiusX(), 10, 1e-3);
    EXPECT_EQ(arc.pieceCount(), 2);
}

} // namespace
