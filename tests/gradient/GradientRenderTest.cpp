// Shapes filled with gradients, drawn through the library and checked pixel
// by pixel.

#include "SvgTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tolerance = 2) {
    return NearArgb(actual, expected, tolerance);
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

const std::string kRedBlue = "<stop offset=\"0\" stop-color=\"red\"/>"
                             "<stop offset=\"1\" stop-color=\"blue\"/>";
const std::string kFullRect = "<rect width=\"200\" height=\"100\" fill=\"url(#g)\"/>";

std::string Linear(const std::string& attributes, const std::string& stops = kRedBlue) {
    return "<defs><linearGradient id=\"g\" " + attributes + ">" + stops +
           "</linearGradient></defs>";
}

} // namespace

// Every pixel of row y equals the one in column 0.
::testing::AssertionResult RowIsUniform(const Picture& p, int y) {
    for (int x = 1; x < p.width; ++x)
        if (p.At(x, y) != p.At(0, y))
            return ::testing::AssertionFailure() << "row " << y << " differs at column " << x;
    return ::testing::AssertionSuccess();
}

TEST(LinearGradientRender, RunsAlongItsVectorOverTheShapesBox) {
    // The default vector runs across the box, left to right, whatever y1 = y2;
    // "transform" is not a gradient's transform.
    for (const char* geometry : {"", "x1=\"0\" y1=\"0.5\" x2=\"1\" y2=\"0.5\"",
                                 "x1=\"0%\" x2=\"100%\"", "transform=\"rotate(90)\""}) {
        SCOPED_TRACE(geometry);
        Picture p = Draw(Linear(geometry) + kFullRect, 200, 100);
        for (int x : {0, 50, 100, 150, 199}) {
            EXPECT_TRUE(Near(p.At(x, 50), RedBlue((x + 0.5) / 200))) << "x " << x;
            EXPECT_TRUE(ColumnIsUniform(p, x));
        }
    }
    // Down the box, also by a quarter turn of the default vector; on a box at (0, 20).
    for (const char* geometry : {"x2=\"0\" y2=\"1\"", "gradientTransform=\"rotate(90)\""}) {
        SCOPED_TRACE(geometry);
        Picture p = Draw(Linear(geometry) + "<rect y=\"20\" width=\"200\" height=\"80\" "
                                            "fill=\"url(#g)\"/>",
                         200, 100);
        for (int y : {20, 40, 60, 99}) {
            EXPECT_TRUE(Near(p.At(100, y), RedBlue((y - 20 + 0.5) / 80))) << "y " << y;
            EXPECT_TRUE(RowIsUniform(p, y));
        }
        EXPECT_EQ(p.At(100, 10), 0u);
    }
    // Corner to corner: constant along the other diagonal.
    Picture d =
        Draw(Linear("x2=\"1\" y2=\"1\"") + "<rect width=\"100\" height=\"100\" fill=\"url(#g)\"/>",
             100, 100);
    EXPECT_TRUE(Near(d.At(70, 30), d.At(30, 70), 1));
    ExpectPixels(d, {{50, 49, RedBlue(0.5)}, {0, 0, 0xFFFF0000}, {99, 99, 0xFF0000FF}}, 3);
}

TEST(LinearGradientRender, UserSpaceSpansShapes) {
    // One gradient across the picture (x2 by default all of its width), seen
    // through two shapes; it comes after them, outside defs.
    Picture p = Draw("<rect width=\"100\" height=\"50\" fill=\"url(#g)\"/>"
                     "<circle cx=\"150\" cy=\"75\" r=\"25\" fill=\"url(#g)\"/>"
                     "<linearGradient id=\"g\" gradientUnits=\"userSpaceOnUse\" x1=\"0%\">" +
                         kRedBlue + "</linearGradient>",
                     200, 100);
    ExpectPixels(p, {{50, 25, RedBlue(50.5 / 200)}, {150, 75, RedBlue(150.5 / 200)}}, 2);
}

TEST(LinearGradientRender, PadReflectAndRepeatBeyondTheEnds) {
    // The vector covers x 50 to 100 of a 200-wide picture.
    const struct {
        const char* spread;
        double at10, at190; // fraction of the way from red to blue
    } rows[] = {{"", 0, 1}, {"pad", 0, 1}, {"reflect", 0.79, 0.81}, {"repeat", 0.21, 0.81}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.spread);
        Picture p = Draw(Linear(std::string("gradientUnits=\"userSpaceOnUse\" x1=\"50\" "
                                            "x2=\"100\" spreadMethod=\"") +
                                row.spread + "\"") +
                             "<rect width=\"200\" height=\"20\" fill=\"url(#g)\"/>",
                         200, 20);
        ExpectPixels(p, {{10, 10, RedBlue(row.at10)}, {190, 10, RedBlue(row.at190)}}, 4);
        EXPECT_TRUE(Near(p.At(75, 10), RedBlue(25.5 / 50)));
    }
}

TEST(LinearGradientRender, ThreeStops) {
    Picture p = Draw(Linear("", "<stop offset=\"0\" stop-color=\"red\"/>"
                                "<stop offset=\"0.5\" stop-color=\"lime\"/>"
                                "<stop offset=\"1\" stop-color=\"blue\"/>") +
                         kFullRect,
                     200, 100);
    ExpectPixels(p,
                 {{0, 50, 0xFFFF0000},
                  {50, 50, 0xFF7F8000},
                  {100, 50, 0xFF00FF00},
                  {150, 50, 0xFF00807F},
                  {199, 50, 0xFF0000FF}},
                 3);
}

TEST(LinearGradientRender, StopOpacityAndFillOpacityMultiply) {
    // Red at half opacity to opaque blue, filled at half opacity.
    Picture p = Draw(Linear("", "<stop offset=\"0\" stop-color=\"red\" stop-opacity=\"0.5\"/>"
                                "<stop offset=\"1\" stop-color=\"blue\"/>") +
                         "<rect width=\"200\" height=\"100\" fill=\"url(#g)\" "
                         "fill-opacity=\"0.5\"/>",
                     200, 100);
    EXPECT_NEAR(static_cast<int>(Picture::Alpha(p.At(0, 50))), 63, 2);
    EXPECT_NEAR(static_cast<int>(Picture::Alpha(p.At(199, 50))), 127, 2);
    EXPECT_TRUE(Near(p.At(0, 50) | 0xFF000000u, 0xFFFF0000u, 4));
}

TEST(RadialGradientRender, WhiteCentreBlackRimPaddedBeyond) {
    Picture p = Draw("<defs><radialGradient id=\"g\" gradientUnits=\"userSpaceOnUse\" "
                     "cx=\"50\" cy=\"50\" r=\"40\">"
                     "<stop offset=\"0\" stop-color=\"white\"/>"
                     "<stop offset=\"1\" stop-color=\"black\"/></radialGradient></defs>"
                     "<rect x=\"5\" y=\"5\" width=\"90\" height=\"90\" fill=\"url(#g)\"/>",
                     100, 100);
    ExpectPixels(p, {{50, 50, 0xFFFFFFFF}, {70, 50, 0xFF7F7F7F}}, 8); // the centre, half way out
    EXPECT_EQ(p.At(30, 50), p.At(50, 30));                            // alike in every direction
    // Beyond the circle the rim colour; outside the rectangle nothing.
    ExpectPixels(p, {{7, 7, 0xFF000000}, {92, 50, 0xFF000000}, {2, 50, 0}}, 1);
}

TEST(RadialGradientRender, DefaultsFitTheBoxAndTheFocusMoves) {
    const std::string stops = "<stop offset=\"0\" stop-color=\"white\"/>"
                              "<stop offset=\"1\" stop-color=\"black\"/>";
    // The circle of a 200 × 100 box is an ellipse filling it.
    Picture plain =
        Draw("<radialGradient id=\"g\">" + stops + "</radialGradient>" + kFullRect, 200, 100);
    EXPECT_TRUE(Near(plain.At(100, 50), 0xFFFFFFFF, 8));
    EXPECT_TRUE(Near(plain.At(150, 50), plain.At(100, 75), 4));
    EXPECT_TRUE(Near(plain.At(1, 50), 0xFF000000, 12));
    // The focus at a quarter of the width: the brightest point moves there,
    // and the rim stays black.
    Picture focus =
        Draw("<radialGradient id=\"g\" fx=\"0.25\">" + stops + "</radialGradient>" + kFullRect, 200,
             100);
    EXPECT_TRUE(Near(focus.At(50, 50), 0xFFFFFFFF, 12));
    EXPECT_LT(Picture::Red(focus.At(100, 50)), Picture::Red(focus.At(50, 50)));
    EXPECT_TRUE(Near(focus.At(198, 50), 0xFF000000, 12));
}

TEST(RadialGradientRender, StopsInsideTheCircleKeepTheirColours) {
    // Stops only at 0.2 and 0.8: yellow to green, never a white disc.
    Picture p = Draw("<radialGradient id=\"g\" gradientUnits=\"userSpaceOnUse\" cx=\"50\" "
                     "cy=\"50\" r=\"50\"><stop offset=\"0.2\" stop-color=\"yellow\"/>"
                     "<stop offset=\"0.8\" stop-color=\"green\"/></radialGradient>"
                     "<rect width=\"100\" height=\"100\" fill=\"url(#g)\"/>",
                     100, 100);
    ExpectPixels(
        p, {{50, 50, 0xFFFFFF00}, {55, 50, 0xFFFFFF00}, {95, 50, 0xFF008000}, {1, 1, 0xFF008000}},
        2);
}

TEST(GradientStroke, StrokesPaintWithGradients) {
    Picture p = Draw(Linear("gradientUnits=\"userSpaceOnUse\" x2=\"200\"") +
                         "<line x1=\"0\" y1=\"20\" x2=\"200\" y2=\"20\" stroke=\"url(#g)\" "
                         "stroke-width=\"10\"/>"
                         // box units on a box without height: nothing
                         "<linearGradient id=\"box\">" +
                         kRedBlue +
                         "</linearGradient>"
                         "<line x1=\"0\" y1=\"50\" x2=\"200\" y2=\"50\" "
                         "stroke=\"url(#box)\" stroke-width=\"10\"/>"
                         "<rect x=\"20\" y=\"70\" width=\"160\" height=\"20\" fill=\"none\" "
                         "stroke=\"url(#box)\" stroke-width=\"4\"/>"
                         "<line x1=\"0\" y1=\"95\" x2=\"200\" y2=\"95\" "
                         "stroke=\"url(#missing) lime\" stroke-width=\"4\"/>",
                     200, 100);
    for (int x : {10, 100, 190})
        EXPECT_TRUE(Near(p.At(x, 20), RedBlue((x + 0.5) / 200))) << x;
    // The rectangle's box runs from x 20 to 180.
    ExpectPixels(p, {{20, 80, RedBlue(0)}, {180, 80, RedBlue(1)}}, 12);
    ExpectPixels(p, {{100, 50, 0}, {100, 70, RedBlue(0.5)}, {100, 95, 0xFF00FF00}}, 4);
}

TEST(GradientFill, FallbackColourOnlyWithoutStopsOrGradient) {
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
                     "<rect y=\"80\" width=\"100\" height=\"10\" fill=\"url(#shape)\"/>"
                     // A circle without area paints the last stop, not the fallback.
                     "<radialGradient id=\"flat\" r=\"0\"><stop offset=\"0\" stop-color=\"white\"/>"
                     "<stop offset=\"1\" stop-color=\"blue\"/></radialGradient>"
                     "<rect y=\"90\" width=\"100\" height=\"10\" fill=\"url(#flat) lime\"/>",
                     100, 100);
    const uint32_t rows[] = {0xFF00FF00, 0,          0xFF0000FF, 0,         0xFF00FF00,
                             0,          0xFF0000FF, 0,          0xFF0000FF};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(p.At(50, 15 + 10 * i), rows[i]) << "row " << i;
}

TEST(GradientFill, HugeGeometryDrawsWithoutHarm) {
    // Sizes far beyond the picture (or beyond float range once doubled) must
    // neither crash nor spoil the shapes drawn after them.
    const char* gradients[] = {
        "<radialGradient id=\"g\" cx=\"50\" cy=\"50\" r=\"1e30\">",
        "<radialGradient id=\"g\" cx=\"-3e38\" cy=\"50\" r=\"3e38\">",
        "<linearGradient id=\"g\" x1=\"-3e38\" x2=\"3e38\" y2=\"1e38\">",
        "<linearGradient id=\"g\" x1=\"2147483000\" x2=\"2147483647\" y2=\"1\">",
        "<linearGradient id=\"g\" x2=\"1e-30\" spreadMethod=\"repeat\">",
        "<linearGradient id=\"g\" gradientTransform=\"scale(1e38) rotate(45)\">",
        "<linearGradient id=\"g\" gradientUnits=\"userSpaceOnUse\" x2=\"3e38%\">",
        "<radialGradient id=\"g\" r=\"1e-30\" spreadMethod=\"reflect\">",
        "<radialGradient id=\"g\" fx=\"3e38\" fy=\"-3e38\" spreadMethod=\"repeat\">",
        "<radialGradient id=\"g\" gradientTransform=\"matrix(1e-30 0 0 1e30 0 0)\">",
    };
    for (const char* gradient : gradients) {
        SCOPED_TRACE(gradient);
        bool linear = std::string(gradient).find("linear") != std::string::npos;
        Picture p = Draw(std::string(gradient) + kRedBlue +
                             (linear ? "</linearGradient>" : "</radialGradient>") +
                             "<rect width=\"50\" height=\"100\" fill=\"url(#g)\" "
                             "stroke=\"url(#g)\" stroke-width=\"3\"/>"
                             "<rect x=\"50\" width=\"50\" height=\"100\" fill=\"lime\"/>",
                         100, 100);
        EXPECT_EQ(p.At(75, 50), 0xFF00FF00u);
    }
}
