// Small documents drawn through the library, checked pixel by pixel. Points
// are chosen away from anti-aliased edges unless an edge is the point.

#include "SvgTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

const uint32_t kClear = 0;

// Within one step per channel (premultiplied storage rounds).
::testing::AssertionResult Near(uint32_t actual, uint32_t expected) {
    return NearArgb(actual, expected, 1);
}

} // namespace

TEST(RenderFill, ColoursAndOpacities) {
    Picture p = Draw("<rect x=\"0\" y=\"0\" width=\"20\" height=\"20\" fill=\"#ff0000\"/>"
                     "<rect x=\"20\" y=\"0\" width=\"20\" height=\"20\" fill=\"blue\" "
                     "fill-opacity=\"0.5\"/>"
                     "<rect x=\"40\" y=\"0\" width=\"20\" height=\"20\" "
                     "style=\"fill:rgb(0,255,0);fill-opacity:0.25\"/>"
                     "<rect x=\"60\" y=\"0\" width=\"20\" height=\"20\" fill=\"red\" "
                     "fill-opacity=\"0\"/>"
                     "<rect x=\"0\" y=\"20\" width=\"20\" height=\"20\"/>");
    EXPECT_TRUE(Near(p.At(10, 10), 0xFFFF0000));
    EXPECT_TRUE(Near(p.At(30, 10), 0x7F0000FF));
    EXPECT_TRUE(Near(p.At(50, 10), 0x3F00FF00));
    EXPECT_EQ(Picture::Alpha(p.At(70, 10)), 0u);
    EXPECT_TRUE(Near(p.At(10, 30), 0xFF000000)); // no fill property: black
    EXPECT_EQ(p.At(90, 90), kClear);
}

TEST(RenderFill, NoneDrawsOnlyTheOutline) {
    Picture p = Draw("<rect x=\"20\" y=\"20\" width=\"60\" height=\"60\" fill=\"none\" "
                     "stroke=\"lime\" stroke-width=\"4\"/>");
    EXPECT_EQ(p.At(50, 50), kClear);
    EXPECT_TRUE(Near(p.At(20, 50), 0xFF00FF00));
    EXPECT_TRUE(Near(p.At(50, 79), 0xFF00FF00));
}

TEST(RenderStroke, ColourOpacityAndReferences) {
    Picture p = Draw("<line x1=\"10\" y1=\"10\" x2=\"90\" y2=\"10\" stroke=\"blue\" "
                     "stroke-width=\"6\" stroke-opacity=\"0.5\"/>"
                     "<line x1=\"10\" y1=\"30\" x2=\"90\" y2=\"30\" stroke=\"url(#g)\" "
                     "stroke-width=\"6\"/>"
                     "<line x1=\"10\" y1=\"50\" x2=\"90\" y2=\"50\" stroke=\"url(#g) red\" "
                     "stroke-width=\"6\"/>"
                     "<line x1=\"10\" y1=\"70\" x2=\"90\" y2=\"70\" stroke=\"none\" "
                     "stroke-width=\"6\"/>"
                     "<line x1=\"10\" y1=\"90\" x2=\"90\" y2=\"90\" stroke-width=\"6\"/>");
    EXPECT_TRUE(Near(p.At(50, 10), 0x7F0000FF));
    EXPECT_EQ(p.At(50, 30), kClear); // a reference alone: no outline
    EXPECT_TRUE(Near(p.At(50, 50), 0xFFFF0000));
    EXPECT_EQ(p.At(50, 70), kClear);
    EXPECT_EQ(p.At(50, 90), kClear);
}

TEST(RenderStyle, InheritedColourAndCurrentColor) {
    Picture p = Draw("<g fill=\"green\"><rect width=\"20\" height=\"20\"/></g>"
                     "<g color=\"green\"><rect x=\"40\" width=\"20\" height=\"20\" fill=\"none\" "
                     "stroke=\"currentColor\" stroke-width=\"6\"/>"
                     "<rect x=\"0\" y=\"40\" width=\"20\" height=\"20\" fill=\"currentColor\"/></g>"
                     "<rect x=\"40\" y=\"40\" width=\"20\" height=\"20\" fill=\"currentColor\"/>");
    EXPECT_TRUE(Near(p.At(10, 10), 0xFF008000));
    EXPECT_TRUE(Near(p.At(40, 10), 0xFF008000));
    EXPECT_EQ(p.At(50, 10), kClear);
    EXPECT_TRUE(Near(p.At(10, 50), 0xFF008000));
    // currentColor with no parent style gets no colour: black, the paint's reset colour.
    EXPECT_TRUE(Near(p.At(50, 50), 0xFF000000));
}

TEST(RenderStroke, Caps) {
    // Horizontal lines from x 20 to 80, 10 wide: the caps reach 5 beyond the ends.
    Picture p = Draw("<line x1=\"20\" y1=\"20\" x2=\"80\" y2=\"20\" stroke=\"red\" "
                     "stroke-width=\"10\"/>"
                     "<line x1=\"20\" y1=\"50\" x2=\"80\" y2=\"50\" stroke=\"red\" "
                     "stroke-width=\"10\" stroke-linecap=\"square\"/>"
                     "<line x1=\"20\" y1=\"80\" x2=\"80\" y2=\"80\" stroke=\"red\" "
                     "stroke-width=\"10\" stroke-linecap=\"round\"/>");
    EXPECT_EQ(p.At(16, 20), kClear); // butt
    EXPECT_TRUE(Near(p.At(21, 20), 0xFFFF0000));
    EXPECT_TRUE(Near(p.At(16, 50), 0xFFFF0000)); // square
    EXPECT_TRUE(Near(p.At(15, 45), 0xFFFF0000));
    EXPECT_TRUE(Near(p.At(16, 80), 0xFFFF0000)); // round
    EXPECT_EQ(p.At(15, 75), kClear);
    EXPECT_TRUE(Near(p.At(83, 80), 0xFFFF0000));
}

TEST(RenderStroke, Joins) {
    // Squares stroked 20 wide: the outer corner (21, 21) lies only inside a miter.
    std::string square = "x=\"30\" y=\"30\" width=\"40\" height=\"40\" fill=\"none\" "
                         "stroke=\"red\" stroke-width=\"20\"";
    Picture miter = Draw("<rect " + square + "/>");
    Picture bevel = Draw("<rect " + square + " stroke-linejoin=\"bevel\"/>");
    Picture round = Draw("<rect " + square + " stroke-linejoin=\"round\"/>");
    EXPECT_TRUE(Near(miter.At(21, 21), 0xFFFF0000));
    EXPECT_TRUE(Near(miter.At(24, 24), 0xFFFF0000));
    EXPECT_EQ(Picture::Alpha(bevel.At(21, 21)), 0u);
    EXPECT_LE(Picture::Alpha(bevel.At(23, 23)), 8u);
    EXPECT_EQ(Picture::Alpha(round.At(21, 21)), 0u);
    EXPECT_TRUE(Near(round.At(24, 24), 0xFFFF0000));
    EXPECT_TRUE(Near(bevel.At(50, 25), 0xFFFF0000)); // the sides are there
}

TEST(RenderStroke, DashesInUserUnitsWithOffsetAndCaps) {
    // 10 wide, dashes 10 on 10 off: from x 0, from x 5 (offset 5), and from
    // x 5 with -5 (the pattern starts half way); round caps reach 5 beyond.
    Picture p = Draw("<line x1=\"0\" y1=\"20\" x2=\"100\" y2=\"20\" stroke=\"red\" "
                     "stroke-width=\"10\" stroke-dasharray=\"10,10\"/>"
                     "<g stroke-dasharray=\"10\" stroke-dashoffset=\"5\"><line x1=\"0\" "
                     "y1=\"40\" x2=\"100\" y2=\"40\" stroke=\"red\" stroke-width=\"10\"/></g>"
                     "<line x1=\"0\" y1=\"60\" x2=\"100\" y2=\"60\" stroke=\"red\" "
                     "stroke-width=\"10\" stroke-dasharray=\"10 10\" stroke-dashoffset=\"-5\"/>"
                     "<line x1=\"10\" y1=\"85\" x2=\"100\" y2=\"85\" stroke=\"red\" "
                     "stroke-width=\"10\" stroke-dasharray=\"0 20\" stroke-linecap=\"round\"/>");
    for (int x : {2, 8, 22, 28})
        EXPECT_TRUE(Near(p.At(x, 20), 0xFFFF0000)) << x;
    for (int x : {12, 18, 32})
        EXPECT_EQ(p.At(x, 20), kClear) << x;
    // The offset shifts the pattern back: on from 0 to 5, off 5 to 15.
    EXPECT_TRUE(Near(p.At(2, 40), 0xFFFF0000));
    EXPECT_EQ(p.At(10, 40), kClear);
    EXPECT_TRUE(Near(p.At(20, 40), 0xFFFF0000));
    // A negative offset shifts it on: off from 0 to 5, on 5 to 15.
    EXPECT_EQ(p.At(2, 60), kClear);
    EXPECT_TRUE(Near(p.At(10, 60), 0xFFFF0000));
    // Dashes of length 0 with round caps are dots 10 across, 20 apart.
    for (int x : {10, 30, 50})
        EXPECT_TRUE(Near(p.At(x, 85), 0xFFFF0000)) << x;
    EXPECT_EQ(p.At(20, 85), kClear);
    EXPECT_EQ(p.At(6, 80), kClear); // round, not square
}

TEST(RenderStroke, MiterLimit) {
    // A sharp corner at (50, 50), 25° wide: its miter is 4.6 times the width
    // of 10, reaching up to y 27. The default limit 4 bevels it; 30 keeps it.
    std::string corner = "points=\"40,95 50,50 60,95\" fill=\"none\" stroke=\"red\" "
                         "stroke-width=\"10\"";
    Picture cut = Draw("<polyline " + corner + "/>");
    Picture kept = Draw("<polyline " + corner + " stroke-miterlimit=\"30\"/>");
    EXPECT_EQ(cut.At(50, 32), kClear);
    EXPECT_TRUE(Near(kept.At(50, 32), 0xFFFF0000));
}

TEST(RenderStroke, PenWidthsAreAsComputed) {
    // A 24-unit icon drawn at 240 px: a 1.5-wide line is 15 px wide, rows 45 to 59.
    Picture icon =
        Draw("<svg viewBox=\"0 0 24 24\" width=\"240\" height=\"240\"><line x1=\"2\" y1=\"5.2\" "
             "x2=\"22\" y2=\"5.2\" stroke=\"red\" stroke-width=\"1.5\"/>"
             "<line x1=\"2\" y1=\"12\" x2=\"22\" y2=\"12\" stroke=\"red\" stroke-width=\"0.26\"/>"
             "<line x1=\"2\" y1=\"18\" x2=\"22\" y2=\"18\" stroke=\"red\" stroke-width=\"0\"/>"
             "</svg>",
             240, 240);
    EXPECT_TRUE(Near(icon.At(100, 45), 0xFFFF0000));
    EXPECT_TRUE(Near(icon.At(100, 58), 0xFFFF0000));
    EXPECT_EQ(icon.At(100, 43), kClear);
    EXPECT_EQ(icon.At(100, 60), kClear);
    // 0.26 units: 2.6 px, rows 118.7 to 121.3.
    EXPECT_TRUE(Near(icon.At(100, 119), 0xFFFF0000));
    EXPECT_TRUE(Near(icon.At(100, 120), 0xFFFF0000));
    EXPECT_EQ(icon.At(100, 117), kClear);
    EXPECT_EQ(icon.At(100, 122), kClear);
    // Width 0: nothing at all.
    for (int y = 175; y < 185; ++y)
        EXPECT_EQ(icon.At(100, y), kClear) << y;
}

TEST(RenderStroke, PercentWidthAgainstTheViewport) {
    // sqrt(300² + 400²) × 0.1 / sqrt(2) = 35.36: a pen 35 wide, y 182.5 to 217.5.
    Picture p = Draw("<line x1=\"50\" y1=\"200\" x2=\"250\" y2=\"200\" stroke=\"red\" "
                     "stroke-width=\"10%\"/>",
                     300, 400);
    EXPECT_TRUE(Near(p.At(150, 183), 0xFFFF0000));
    EXPECT_TRUE(Near(p.At(150, 216), 0xFFFF0000));
    EXPECT_EQ(p.At(150, 181), kClear);
    EXPECT_EQ(p.At(150, 218), kClear);
}

TEST(RenderShapes, RoundedRectangles) {
    std::string box = "x=\"10\" y=\"10\" width=\"100\" height=\"50\" fill=\"red\"";
    Picture rxOnly = Draw("<rect " + box + " rx=\"10\"/>", 120, 70);
    Picture ryOnly = Draw("<rect " + box + " ry=\"10\"/>", 120, 70);
    Picture both = Draw("<rect " + box + " rx=\"30\" ry=\"10\"/>", 120, 70);
    Picture large = Draw("<rect " + box + " rx=\"80\"/>", 120, 70);
    for (const Picture* p : {&rxOnly, &ryOnly}) {
        EXPECT_EQ(Picture::Alpha(p->At(10, 10)), 0u);
        EXPECT_TRUE(Near(p->At(17, 11), 0xFFFF0000)); // inside a 10 × 10 corner
        EXPECT_TRUE(Near(p->At(60, 35), 0xFFFF0000));
    }
    EXPECT_EQ(Picture::Alpha(both.At(17, 11)), 0u); // outside a 30 × 10 corner
    EXPECT_TRUE(Near(both.At(40, 11), 0xFFFF0000));
    // Radii larger than half the size: both become 25, the ends are half circles.
    EXPECT_EQ(Picture::Alpha(large.At(10, 15)), 0u);
    EXPECT_TRUE(Near(large.At(12, 35), 0xFFFF0000));
    EXPECT_TRUE(Near(large.At(35, 11), 0xFFFF0000));
}

TEST(RenderShapes, CircleEllipseAndRadiusInEm) {
    Picture p = Draw("<circle cx=\"25\" cy=\"25\" r=\"1em\" fill=\"blue\" font-size=\"20\"/>"
                     "<circle cx=\"75\" cy=\"25\" r=\"1em\" fill=\"blue\"/>"
                     "<ellipse cx=\"50\" cy=\"75\" rx=\"40\" ry=\"10\" fill=\"blue\"/>");
    EXPECT_TRUE(Near(p.At(25, 7), 0xFF0000FF)); // radius 20
    EXPECT_EQ(p.At(75, 7), kClear);             // radius 12
    EXPECT_TRUE(Near(p.At(75, 15), 0xFF0000FF));
    EXPECT_TRUE(Near(p.At(15, 75), 0xFF0000FF));
    EXPECT_EQ(p.At(50, 63), kClear);
}

TEST(RenderCache, SecondRenderGivesTheSamePixels) {
    std::string svg = SvgDocument(
        100, 100,
        "<g fill=\"green\" stroke=\"blue\" stroke-width=\"3\"><circle cx=\"30\" cy=\"30\" "
        "r=\"20\" fill-opacity=\"0.5\"/><rect x=\"50\" y=\"50\" width=\"40\" height=\"30\" "
        "rx=\"5\" stroke-dasharray=\"2,1\"/><line x1=\"0\" y1=\"95\" x2=\"100\" y2=\"90\" "
        "stroke-linecap=\"round\"/></g>");
    std::vector<Picture> pictures = RenderSvgTimes(svg, 100, 100, 2);
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].pixels, pictures[1].pixels);
    EXPECT_NE(pictures[0].At(30, 30), kClear);
}

TEST(RenderRobustness, ExtremeGeometryDrawsWhatItCan) {
    Picture p =
        Draw("<circle cx=\"50\" cy=\"50\" r=\"1e38\" stroke=\"blue\" stroke-width=\"1e38\"/>"
             "<rect x=\"-1e38\" width=\"1e38\" height=\"1e38\" rx=\"1e38\" stroke=\"blue\"/>"
             "<rect x=\"1e30\" y=\"-1e30\" width=\"-1e30\" height=\"1e30\"/>"
             "<rect rx=\"-5\" ry=\"-5\" width=\"-10\" height=\"-10\" stroke=\"red\"/>"
             "<line x2=\"1e38\" y2=\"1e38\" stroke=\"blue\" stroke-dasharray=\"0.001\"/>"
             "<line x2=\"1e6\" stroke=\"blue\" stroke-dasharray=\"1e-7,1e-7\"/>"
             "<polygon points=\"0,0 1e39,0 0,1e39 5\" fill=\"green\"/>"
             "<polyline points=\"nan,inf 1,2\" stroke=\"red\"/>"
             "<path d=\"M0 0 L 1e38 1e38 A 1e38 1e38 0 0 1 0 5\" stroke=\"red\"/>"
             "<rect x=\"80\" y=\"80\" width=\"10\" height=\"10\" fill=\"red\"/>");
    EXPECT_TRUE(Near(p.At(85, 85), 0xFFFF0000)); // later shapes are still drawn
}
