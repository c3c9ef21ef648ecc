// Small documents drawn through the library, checked pixel by pixel. Points
// are chosen away from anti-aliased edges unless an edge is the point.

#include "SvgTestSupport.h"

#include <gtest/gtest.h>

namespace {

const uint32_t kClear = 0, kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF008000,
               kBlue = 0xFF0000FF;

} // namespace

TEST(RenderFill, ColoursAndOpacities) {
    Picture p = Draw("<rect x=\"0\" y=\"0\" width=\"20\" height=\"20\" fill=\"#ff0000\"/>"
                     "<rect x=\"20\" y=\"0\" width=\"20\" height=\"20\" fill=\"blue\" "
                     "fill-opacity=\"0.5\"/>"
                     "<rect x=\"40\" y=\"0\" width=\"20\" height=\"20\" "
                     "style=\"fill:rgb(0,255,0);fill-opacity:0.25\"/>"
                     "<rect x=\"60\" y=\"0\" width=\"20\" height=\"20\" fill=\"red\" "
                     "fill-opacity=\"0\"/>"
                     "<rect x=\"0\" y=\"20\" width=\"20\" height=\"20\"/>"
                     "<rect x=\"20\" y=\"20\" width=\"60\" height=\"60\" fill=\"none\" "
                     "stroke=\"lime\" stroke-width=\"4\"/>"
                     "<rect x=\"85\" width=\"10\" height=\"10\" fill=\"url(#nowhere)\"/>"
                     "<rect x=\"85\" y=\"20\" width=\"10\" height=\"10\" fill=\"url(#no) blue\"/>");
    // No fill property: black; fill none: only the outline; a reference to
    // nothing: no fill, but its fallback when given.
    ExpectPixels(p, {Px(10, 10, kRed), Px(30, 10, 0x7F0000FF), Px(50, 10, 0x3F00FF00),
                     Px(70, 10, kClear), Px(10, 30, kBlack), Px(50, 50, kClear),
                     Px(20, 50, 0xFF00FF00), Px(50, 79, 0xFF00FF00), Px(90, 90, kClear),
                     Px(90, 5, kClear), Px(90, 25, kBlue)});
}

TEST(RenderStroke, ColourOpacityAndReferences) {
    // A reference alone draws no outline, nor does none or no stroke at all.
    Picture p = Draw("<line x1=\"10\" y1=\"10\" x2=\"90\" y2=\"10\" stroke=\"blue\" "
                     "stroke-width=\"6\" stroke-opacity=\"0.5\"/>"
                     "<line x1=\"10\" y1=\"30\" x2=\"90\" y2=\"30\" stroke=\"url(#g)\" "
                     "stroke-width=\"6\"/>"
                     "<line x1=\"10\" y1=\"50\" x2=\"90\" y2=\"50\" stroke=\"url(#g) red\" "
                     "stroke-width=\"6\"/>"
                     "<line x1=\"10\" y1=\"70\" x2=\"90\" y2=\"70\" stroke=\"none\" "
                     "stroke-width=\"6\"/>"
                     "<line x1=\"10\" y1=\"90\" x2=\"90\" y2=\"90\" stroke-width=\"6\"/>");
    ExpectPixels(p, {Px(50, 10, 0x7F0000FF), Px(50, 30, kClear), Px(50, 50, kRed),
                     Px(50, 70, kClear), Px(50, 90, kClear)});
}

TEST(RenderStyle, InheritedColourAndCurrentColor) {
    Picture p = Draw("<g fill=\"green\"><rect width=\"20\" height=\"20\"/></g>"
                     "<g color=\"green\"><rect x=\"40\" width=\"20\" height=\"20\" fill=\"none\" "
                     "stroke=\"currentColor\" stroke-width=\"6\"/>"
                     "<rect x=\"0\" y=\"40\" width=\"20\" height=\"20\" fill=\"currentColor\"/></g>"
                     "<rect x=\"40\" y=\"40\" width=\"20\" height=\"20\" fill=\"currentColor\"/>");
    // currentColor with no parent style gets no colour: black, the paint's reset colour.
    ExpectPixels(p, {Px(10, 10, kGreen), Px(40, 10, kGreen), Px(50, 10, kClear), Px(10, 50, kGreen),
                     Px(50, 50, kBlack)});
}

TEST(RenderStroke, Caps) {
    // Horizontal lines from x 20 to 80, 10 wide: butt, square and round caps,
    // the last two reaching 5 beyond the ends.
    Picture p = Draw("<line x1=\"20\" y1=\"20\" x2=\"80\" y2=\"20\" stroke=\"red\" "
                     "stroke-width=\"10\"/>"
                     "<line x1=\"20\" y1=\"50\" x2=\"80\" y2=\"50\" stroke=\"red\" "
                     "stroke-width=\"10\" stroke-linecap=\"square\"/>"
                     "<line x1=\"20\" y1=\"80\" x2=\"80\" y2=\"80\" stroke=\"red\" "
                     "stroke-width=\"10\" stroke-linecap=\"round\"/>");
    ExpectPixels(p, {Px(16, 20, kClear), Px(21, 20, kRed), Px(16, 50, kRed), Px(15, 45, kRed),
                     Px(16, 80, kRed), Px(15, 75, kClear), Px(83, 80, kRed)});
}

TEST(RenderStroke, Joins) {
    // Squares stroked 20 wide: the outer corner (21, 21) lies only inside a miter.
    std::string square = "x=\"30\" y=\"30\" width=\"40\" height=\"40\" fill=\"none\" "
                         "stroke=\"red\" stroke-width=\"20\"";
    ExpectPixels(Draw("<rect " + square + "/>"), {Px(21, 21, kRed), Px(24, 24, kRed)});
    Picture bevel = Draw("<rect " + square + " stroke-linejoin=\"bevel\"/>");
    ExpectPixels(bevel, {Px(21, 21, kClear), Px(50, 25, kRed)});
    EXPECT_LE(Picture::Alpha(bevel.At(23, 23)), 8u);
    ExpectPixels(Draw("<rect " + square + " stroke-linejoin=\"round\"/>"),
                 {Px(21, 21, kClear), Px(24, 24, kRed)});
    // A limit below the right angle's ratio of 1.41 bevels it.
    ExpectPixels(Draw("<rect " + square + " stroke-miterlimit=\"1.2\"/>"), {Px(21, 21, kClear)});
}

TEST(RenderStroke, DashesInUserUnitsWithOffsetAndCaps) {
    // 10 wide, dashes 10 on 10 off: from x 0 (y 20); from x 5, the offset 5
    // shifting the pattern back (y 40); from x 5 with -5, shifting it on (y 60).
    // Dashes of length 0 with round caps are dots 10 across, 20 apart (y 85).
    Picture p = Draw("<line x1=\"0\" y1=\"20\" x2=\"100\" y2=\"20\" stroke=\"red\" "
                     "stroke-width=\"10\" stroke-dasharray=\"10,10\"/>"
                     "<g stroke-dasharray=\"10\" stroke-dashoffset=\"5\"><line x1=\"0\" "
                     "y1=\"40\" x2=\"100\" y2=\"40\" stroke=\"red\" stroke-width=\"10\"/></g>"
                     "<line x1=\"0\" y1=\"60\" x2=\"100\" y2=\"60\" stroke=\"red\" "
                     "stroke-width=\"10\" stroke-dasharray=\"10 10\" stroke-dashoffset=\"-5\"/>"
                     "<line x1=\"10\" y1=\"85\" x2=\"100\" y2=\"85\" stroke=\"red\" "
                     "stroke-width=\"10\" stroke-dasharray=\"0 20\" stroke-linecap=\"round\"/>");
    ExpectPixels(p, {Px(2, 20, kRed), Px(8, 20, kRed), Px(22, 20, kRed), Px(28, 20, kRed),
                     Px(12, 20, kClear), Px(18, 20, kClear), Px(32, 20, kClear), Px(2, 40, kRed),
                     Px(10, 40, kClear), Px(20, 40, kRed), Px(2, 60, kClear), Px(10, 60, kRed),
                     Px(10, 85, kRed), Px(30, 85, kRed), Px(50, 85, kRed), Px(20, 85, kClear),
                     Px(6, 80, kClear)});
}

TEST(RenderStroke, MiterLimit) {
    // A sharp corner at (50, 50), 25° wide: its miter is 4.6 times the width
    // of 10, reaching up to y 27. The default limit 4 bevels it; 30 keeps it.
    std::string corner = "points=\"40,95 50,50 60,95\" fill=\"none\" stroke=\"red\" "
                         "stroke-width=\"10\"";
    ExpectPixels(Draw("<polyline " + corner + "/>"), {Px(50, 32, kClear)});
    ExpectPixels(Draw("<polyline " + corner + " stroke-miterlimit=\"30\"/>"), {Px(50, 32, kRed)});
}

TEST(RenderStroke, PenWidthsAreAsComputed) {
    // A 24-unit icon drawn at 240 px: a 1.5-wide line is 15 px wide, rows 45
    // to 59; 0.26 units are 2.6 px, rows 118.7 to 121.3; width 0 draws nothing.
    Picture icon =
        Draw("<svg viewBox=\"0 0 24 24\" width=\"240\" height=\"240\"><line x1=\"2\" y1=\"5.2\" "
             "x2=\"22\" y2=\"5.2\" stroke=\"red\" stroke-width=\"1.5\"/>"
             "<line x1=\"2\" y1=\"12\" x2=\"22\" y2=\"12\" stroke=\"red\" stroke-width=\"0.26\"/>"
             "<line x1=\"2\" y1=\"18\" x2=\"22\" y2=\"18\" stroke=\"red\" stroke-width=\"0\"/>"
             "</svg>",
             240, 240);
    ExpectPixels(icon, {Px(100, 45, kRed), Px(100, 58, kRed), Px(100, 43, kClear),
                        Px(100, 60, kClear), Px(100, 119, kRed), Px(100, 120, kRed),
                        Px(100, 117, kClear), Px(100, 122, kClear)});
    for (int y = 175; y < 185; ++y)
        EXPECT_EQ(icon.At(100, y), kClear) << y;
    // sqrt(300² + 400²) × 0.1 / sqrt(2) = 35.36: a pen 35 wide, y 182.5 to 217.5.
    ExpectPixels(
        Draw("<line x1=\"50\" y1=\"200\" x2=\"250\" y2=\"200\" stroke=\"red\" "
             "stroke-width=\"10%\"/>",
             300, 400),
        {Px(150, 183, kRed), Px(150, 216, kRed), Px(150, 181, kClear), Px(150, 218, kClear)});
}

TEST(RenderShapes, RoundedRectangles) {
    std::string box = "x=\"10\" y=\"10\" width=\"100\" height=\"50\" fill=\"red\"";
    // rx or ry alone: both 10; a 30 × 10 corner (not a circle's); radii larger than half the
    // size: both 25, the ends half circles.
    for (const char* radius : {" rx=\"10\"", " ry=\"10\""})
        ExpectPixels(Draw("<rect " + box + radius + "/>", 120, 70),
                     {Px(10, 10, kClear), Px(17, 11, kRed), Px(60, 35, kRed)});
    ExpectPixels(Draw("<rect " + box + " rx=\"30\" ry=\"10\"/>", 120, 70),
                 {Px(17, 11, kClear), Px(40, 11, kRed), Px(108, 25, kRed), Px(12, 25, kRed)});
    ExpectPixels(Draw("<rect " + box + " rx=\"80\"/>", 120, 70),
                 {Px(10, 15, kClear), Px(12, 35, kRed), Px(35, 11, kRed)});
}

TEST(RenderShapes, CircleEllipseAndRadiusInEm) {
    // Radius 1em: 20 with font-size 20, 12 by default.
    Picture p = Draw("<circle cx=\"25\" cy=\"25\" r=\"1em\" fill=\"blue\" font-size=\"20\"/>"
                     "<circle cx=\"75\" cy=\"25\" r=\"1em\" fill=\"blue\"/>"
                     "<ellipse cx=\"50\" cy=\"75\" rx=\"40\" ry=\"10\" fill=\"blue\"/>");
    ExpectPixels(p, {Px(25, 7, kBlue), Px(75, 7, kClear), Px(75, 15, kBlue), Px(15, 75, kBlue),
                     Px(50, 63, kClear)});
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
    ExpectPixels(p, {Px(85, 85, kRed)}); // later shapes are still drawn
}
