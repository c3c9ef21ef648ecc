// Shapes filled with gradients, drawn through the library and checked pixel
// by pixel.

#include "GradientHarness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

// Within tolerance per channel.
::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tolerance = 2) {
    for (int shift = 0; shift < 32; shift += 8) {
        int a = (actual >> shift) & 0xFF;
        int e = (expected >> shift) & 0xFF;
        if (std::abs(a - e) > tolerance)
            return ::testing::AssertionFailure() << Hex(actual) << " is not " << Hex(expected);
    }
    return ::testing::AssertionSuccess();
}

// The opaque colour between red and blue at fraction t.
uint32_t RedBlue(double t) {
    unsigned red = static_cast<unsigned>(255 * (1 - t) + 0.5);
    unsigned blue = static_cast<unsigned>(255 * t + 0.5);
    return 0xFF000000u | (red << 16) | blue;
}

// Every pixel of column x equals the one in row 0.
::testing::AssertionResult ColumnIsUniform(const Picture& p, int x) {
    for (int y = 1; y < p.height; ++y)
        if (p.At(x, y) != p.At(x, 0))
            return ::testing::AssertionFailure()
                   << "column " << x << " differs at row " << y << std::hex << ": 0x" << p.At(x, y)
                   << " against 0x" << p.At(x, 0);
    return ::testing::AssertionSuccess();
}

bool IsClear(const Picture& p) {
    for (uint32_t pixel : p.pixels)
        if (pixel != 0)
            return false;
    return true;
}

const std::string kRedBlue = "<stop offset=\"0\" stop-color=\"red\"/>"
                             "<stop offset=\"1\" stop-color=\"blue\"/>";
const std::string kFullRect = "<rect width=\"200\" height=\"100\" fill=\"url(#g)\"/>";

std::string Linear(const std::string& attributes, const std::string& stops = kRedBlue) {
    return "<defs><linearGradient id=\"g\" " + attributes + ">" + stops +
           "</linearGradient></defs>";
}

} // namespace

TEST(LinearGradientRender, RedToBlueAcrossTheRectangle) {
    // With y1 = y2 the rectangle has no height; these all keep x from 0 to 200.
    const char* geometries[] = {
        "x1=\"0\" y1=\"0\" x2=\"200\" y2=\"100\"",
        "x1=\"0\" y1=\"0\" x2=\"200\" y2=\"7\"",   // a thin band still paints everything
        "x1=\"0\" y1=\"90\" x2=\"200\" y2=\"10\"", // y2 above y1
        "x1=\"0.9\" y1=\"0\" x2=\"200.95\" y2=\"100\" gradientTransform=\"rotate(90)\"",
    };
    for (const char* geometry : geometries) {
        SCOPED_TRACE(geometry);
        Picture p = Draw(Linear(geometry) + kFullRect, 200, 100);
        for (int x : {0, 50, 100, 150, 199}) {
            EXPECT_TRUE(Near(p.At(x, 50), RedBlue((x + 0.5) / 200))) << "x " << x;
            EXPECT_TRUE(ColumnIsUniform(p, x));
        }
        EXPECT_TRUE(Near(p.At(0, 0), 0xFFFF0000));
        EXPECT_TRUE(Near(p.At(199, 99), 0xFF0000FF));
    }
}

TEST(LinearGradientRender, TilesBeyondItsRectangle) {
    Picture p = Draw(Linear("x1=\"50\" x2=\"100\" y2=\"10\"") +
                         "<rect width=\"200\" height=\"20\" fill=\"url(#g)\"/>",
                     200, 20);
    // Each 50-unit span from x 50 repeats red to blue.
    for (int start : {0, 50, 100, 150}) {
        EXPECT_TRUE(Near(p.At(start, 10), RedBlue(0.5 / 50))) << start;
        EXPECT_TRUE(Near(p.At(start + 25, 10), RedBlue(25.5 / 50))) << start;
        EXPECT_TRUE(Near(p.At(start + 49, 10), RedBlue(49.5 / 50))) << start;
    }
}

TEST(LinearGradientRender, EmptyRectanglesPaintNothing) {
    const char* geometries[] = {
        "",                                          // the defaults 0, 0, 1, 0
        "x1=\"50\" y1=\"0\" x2=\"50\" y2=\"100\"",   // x1 = x2
        "x1=\"10\" y1=\"0\" x2=\"10.9\" y2=\"100\"", // the same once truncated
        "x2=\"100%\" y2=\"100%\"",                   // percentages keep the defaults
        "x2=\"200\" y2=\"100\" gradientUnits=\"objectBoundingBox\"",
        "x2=\"200\" y2=\"100\" gradientUnits=\"user\"",
    };
    for (const char* geometry : geometries) {
        SCOPED_TRACE(geometry);
        // Even with a fallback colour: the brush exists and the fill fails.
        Picture p = Draw(Linear(geometry) + kFullRect +
                             "<rect y=\"50\" width=\"200\" height=\"50\" fill=\"url(#g) lime\"/>",
                         200, 100);
        EXPECT_TRUE(IsClear(p));
    }
}

TEST(LinearGradientRender, ThreeStops) {
    Picture p = Draw(Linear("x2=\"200\" y2=\"100\"", "<stop offset=\"0\" stop-color=\"red\"/>"
                                                     "<stop offset=\"0.5\" stop-color=\"lime\"/>"
                                                     "<stop offset=\"1\" stop-color=\"blue\"/>") +
                         kFullRect,
                     200, 100);
    EXPECT_TRUE(Near(p.At(0, 50), 0xFFFF0000, 3));
    EXPECT_TRUE(Near(p.At(50, 50), 0xFF7F8000, 3));
    EXPECT_TRUE(Near(p.At(100, 50), 0xFF00FF00, 3));
    EXPECT_TRUE(Near(p.At(150, 50), 0xFF00807F, 3));
    EXPECT_TRUE(Near(p.At(199, 50), 0xFF0000FF, 3));
}

TEST(LinearGradientRender, InnerStopsGiveTwoColoursAcrossTheRectangle) {
    // The blend is refused: red to blue from x 0 to 200, not from 40 to 160.
    Picture p = Draw(Linear("x2=\"200\" y2=\"100\"", "<stop offset=\"0.2\" stop-color=\"red\"/>"
                                                     "<stop offset=\"0.8\" stop-color=\"blue\"/>") +
                         kFullRect,
                     200, 100);
    for (int x : {0, 20, 40, 100, 160, 180, 199})
        EXPECT_TRUE(Near(p.At(x, 50), RedBlue((x + 0.5) / 200))) << "x " << x;
}

TEST(LinearGradientRender, GradientAfterTheShapeAndOutsideDefs) {
    Picture p = Draw(kFullRect + "<linearGradient id=\"g\" x2=\"200\" y2=\"100\">" + kRedBlue +
                         "</linearGradient>",
                     200, 100);
    EXPECT_TRUE(Near(p.At(0, 50), RedBlue(0.5 / 200)));
    EXPECT_TRUE(Near(p.At(199, 50), RedBlue(199.5 / 200)));
}

TEST(LinearGradientRender, StopColourFromStyleOrAttribute) {
    Picture p = Draw(Linear("x2=\"200\" y2=\"100\"", "<stop offset=\"0\" style=\"stop-color:red\"/>"
                                                     "<stop offset=\"1\" stop-color=\"blue\"/>") +
                         kFullRect,
                     200, 100);
    EXPECT_TRUE(Near(p.At(0, 50), RedBlue(0.5 / 200)));
    EXPECT_TRUE(Near(p.At(100, 50), RedBlue(100.5 / 200)));
    EXPECT_TRUE(Near(p.At(199, 50), RedBlue(199.5 / 200)));
}

TEST(LinearGradientRender, FillOpacityIsEveryStopsAlpha) {
    // stop-opacity does not count; fill-opacity 0.5 gives alpha 127 throughout.
    Picture p = Draw(Linear("x2=\"200\" y2=\"100\"",
                            "<stop offset=\"0\" stop-color=\"red\" stop-opacity=\"0.2\"/>"
                            "<stop offset=\"1\" stop-color=\"blue\"/>") +
                         "<rect width=\"200\" height=\"100\" fill=\"url(#g)\" "
                         "fill-opacity=\"0.5\"/>",
                     200, 100);
    for (int x : {0, 50, 100, 150, 199}) {
        EXPECT_NEAR(static_cast<int>(Picture::Alpha(p.At(x, 50))), 127, 1) << "x " << x;
        EXPECT_TRUE(Near(p.At(x, 50) | 0xFF000000u, RedBlue((x + 0.5) / 200), 3)) << "x " << x;
    }
}

TEST(RadialGradientRender, WhiteCentreBlackRim) {
    Picture p = Draw("<defs><radialGradient id=\"g\" cx=\"50\" cy=\"50\" r=\"40\">"
                     "<stop offset=\"0\" stop-color=\"white\"/>"
                     "<stop offset=\"1\" stop-color=\"black\"/></radialGradient></defs>"
                     "<rect x=\"10\" y=\"10\" width=\"80\" height=\"80\" fill=\"url(#g)\"/>",
                     100, 100);
    EXPECT_TRUE(Near(p.At(50, 50), 0xFFFFFFFF, 8));
    EXPECT_TRUE(Near(p.At(70, 50), 0xFF7F7F7F, 8));  // half way out
    EXPECT_TRUE(Near(p.At(88, 50), 0xFF0C0C0C, 12)); // near the rim
    // Grey levels fall from the centre outwards, alike in every direction.
    EXPECT_EQ(p.At(30, 50), p.At(50, 30));
    EXPECT_GT(Picture::Red(p.At(60, 50)), Picture::Red(p.At(75, 50)));
    // Outside the circle, within its box, nothing is painted.
    EXPECT_EQ(p.At(12, 12), 0u);
    EXPECT_EQ(p.At(87, 87), 0u);
    // Outside the rectangle nothing at all.
    EXPECT_EQ(p.At(5, 50), 0u);
}

TEST(RadialGradientRender, MirroredOutsideItsBox) {
    Picture p = Draw("<defs><radialGradient id=\"g\" cx=\"20\" cy=\"20\" r=\"20\">"
                     "<stop offset=\"0\" stop-color=\"white\"/>"
                     "<stop offset=\"1\" stop-color=\"black\"/></radialGradient></defs>"
                     "<rect width=\"120\" height=\"80\" fill=\"url(#g)\"/>",
                     120, 80);
    // The 40 × 40 box repeats mirrored: circles centred at 20, 60, 100.
    for (int cx : {20, 60, 100})
        for (int cy : {20, 60}) {
            EXPECT_TRUE(Near(p.At(cx, cy), 0xFFFFFFFF, 16)) << cx << "," << cy;
            EXPECT_EQ(p.At(cx - 19, cy - 19), 0u) << cx << "," << cy;
        }
    EXPECT_EQ(p.At(10, 20), p.At(69, 20)); // mirrored about x 40
}

TEST(RadialGradientRender, CircleWithoutAreaPaintsNothing) {
    // No radius, and percentages, which stay unresolved: a circle of radius 0.
    for (const char* geometry : {"cx=\"50\" cy=\"50\"", "cx=\"50%\" cy=\"50%\" r=\"50%\""}) {
        SCOPED_TRACE(geometry);
        Picture p = Draw(std::string("<radialGradient id=\"g\" ") + geometry +
                             "><stop offset=\"0\" stop-color=\"white\"/>"
                             "<stop offset=\"1\" stop-color=\"black\"/></radialGradient>"
                             "<rect width=\"100\" height=\"100\" fill=\"url(#g) lime\"/>",
                         100, 100);
        EXPECT_TRUE(IsClear(p));
    }
}

TEST(GradientFill, NoStopsOrNoGradientUseTheFallbackColour) {
    Picture p = Draw("<linearGradient id=\"empty\" x2=\"100\" y2=\"10\"/>"
                     "<radialGradient id=\"others\" r=\"50\"><desc/></radialGradient>"
                     "<rect id=\"shape\" width=\"1\" height=\"1\" fill=\"red\"/>"
                     "<rect y=\"10\" width=\"100\" height=\"10\" fill=\"url(#empty) lime\"/>"
                     "<rect y=\"20\" width=\"100\" height=\"10\" fill=\"url(#empty)\"/>"
                     "<rect y=\"30\" width=\"100\" height=\"10\" fill=\"url(#others) blue\"/>"
                     "<rect y=\"40\" width=\"100\" height=\"10\" fill=\"url(#others)\"/>"
                     "<rect y=\"50\" width=\"100\" height=\"10\" fill=\"url(#missing) lime\"/>"
                     "<rect y=\"60\" width=\"100\" height=\"10\" fill=\"url(#missing)\"/>"
                     "<rect y=\"70\" width=\"100\" height=\"10\" fill=\"url(#shape) blue\"/>"
                     "<rect y=\"80\" width=\"100\" height=\"10\" fill=\"url(#shape)\"/>",
                     100, 100);
    EXPECT_TRUE(Near(p.At(50, 15), 0xFF00FF00, 0));
    EXPECT_EQ(p.At(50, 25), 0u);
    EXPECT_TRUE(Near(p.At(50, 35), 0xFF0000FF, 0));
    EXPECT_EQ(p.At(50, 45), 0u);
    EXPECT_TRUE(Near(p.At(50, 55), 0xFF00FF00, 0));
    EXPECT_EQ(p.At(50, 65), 0u);
    EXPECT_TRUE(Near(p.At(50, 75), 0xFF0000FF, 0));
    EXPECT_EQ(p.At(50, 85), 0u);
}

TEST(GradientFill, HugeGeometryDrawsWithoutHarm) {
    // Sizes far beyond the picture (or beyond float range once doubled) must
    // neither crash nor spoil the shapes drawn after them.
    const char* gradients[] = {
        "<radialGradient id=\"g\" cx=\"50\" cy=\"50\" r=\"1e30\">",
        "<radialGradient id=\"g\" cx=\"-3e38\" cy=\"50\" r=\"3e38\">",
        "<linearGradient id=\"g\" x1=\"-3e38\" x2=\"3e38\" y2=\"1e38\">",
        "<linearGradient id=\"g\" x1=\"2147483000\" x2=\"2147483647\" y2=\"1\">",
    };
    for (const char* gradient : gradients) {
        SCOPED_TRACE(gradient);
        bool linear = std::string(gradient).find("linear") != std::string::npos;
        Picture p = Draw(std::string(gradient) + kRedBlue +
                             (linear ? "</linearGradient>" : "</radialGradient>") +
                             "<rect width=\"50\" height=\"100\" fill=\"url(#g)\"/>"
                             "<rect x=\"50\" width=\"50\" height=\"100\" fill=\"lime\"/>",
                         100, 100);
        EXPECT_EQ(p.At(75, 50), 0xFF00FF00u);
    }
}
