// How structure carries style and geometry: style given on svg and symbol,
// copies made by use, hidden content.

#include "SvgTestSupport.h"

#include <gtest/gtest.h>

namespace {

const uint32_t kClear = 0;

::testing::AssertionResult Near(uint32_t actual, uint32_t expected) {
    return NearArgb(actual, expected, 1);
}

} // namespace

TEST(StructureStyle, RootSvgStyleIsInherited) {
    // As stroke icon sets write it: everything on the root.
    Picture p = RenderSvg(Svg("width=\"100\" height=\"100\" fill=\"none\" stroke=\"currentColor\" "
                              "stroke-width=\"4\" style=\"stroke-linecap:round\"",
                              "<path d=\"M20 50 H80\"/><circle cx=\"50\" cy=\"50\" r=\"30\"/>"),
                          100, 100);
    EXPECT_TRUE(Near(p.At(50, 50), 0xFF000000)); // currentColor with no color: black
    EXPECT_TRUE(Near(p.At(50, 20), 0xFF000000));
    EXPECT_EQ(p.At(50, 35), kClear); // no fill
    EXPECT_EQ(p.At(50, 46), kClear); // 4 wide, not a blob
    EXPECT_NE(p.At(81, 50), kClear); // the round cap reaches past the end
}

TEST(StructureStyle, NestedSvgAndSymbolStyleIsInherited) {
    Picture p = Draw("<svg x=\"0\" width=\"50\" height=\"50\" fill=\"green\" color=\"blue\">"
                     "<rect width=\"20\" height=\"20\"/>"
                     "<rect y=\"25\" width=\"20\" height=\"20\" fill=\"currentColor\"/></svg>"
                     "<symbol id=\"s\" fill=\"red\"><rect width=\"20\" height=\"20\"/></symbol>"
                     "<use xlink:href=\"#s\" x=\"50\"/>");
    EXPECT_TRUE(Near(p.At(10, 10), 0xFF008000));
    EXPECT_TRUE(Near(p.At(10, 35), 0xFF0000FF));
    EXPECT_TRUE(Near(p.At(60, 10), 0xFFFF0000));
}

TEST(UseCopies, KeepTheirOwnStyleAndInheritTheRestFromTheUse) {
    Picture p = Draw(
        "<defs><g fill=\"green\"><circle id=\"red\" cx=\"10\" cy=\"10\" r=\"8\" fill=\"red\"/></g>"
        "<rect id=\"plain\" width=\"20\" height=\"20\"/>"
        "<g id=\"group\" fill=\"red\"><rect width=\"10\" height=\"20\"/>"
        "<rect x=\"10\" width=\"10\" height=\"20\" fill=\"blue\"/></g></defs>"
        "<use xlink:href=\"#red\" fill=\"blue\"/>"
        "<use xlink:href=\"#plain\" x=\"25\" fill=\"blue\"/>"
        "<use xlink:href=\"#plain\" x=\"50\"/>"
        "<use xlink:href=\"#group\" x=\"75\" fill=\"green\"/>"
        "<g fill=\"lime\"><use xlink:href=\"#plain\" y=\"50\"/></g>");
    EXPECT_TRUE(Near(p.At(10, 10), 0xFFFF0000)); // its own fill wins
    EXPECT_TRUE(Near(p.At(35, 10), 0xFF0000FF)); // unstyled: the use's
    EXPECT_TRUE(Near(p.At(60, 10), 0xFF000000)); // nothing anywhere: black
    EXPECT_TRUE(Near(p.At(80, 10), 0xFFFF0000)); // group copies keep every own style
    EXPECT_TRUE(Near(p.At(90, 10), 0xFF0000FF));
    EXPECT_TRUE(Near(p.At(10, 60), 0xFF00FF00)); // through the use from its parent
}

TEST(UseCopies, KeepTheSourceTransformAndWhatTheSourceInheritedIsNotTaken) {
    // The source's transform applies inside the use's offset; a size in em
    // follows the font size the copy inherits, not the one the source did.
    Picture p = Draw("<g font-size=\"20\"><line id=\"l\" x1=\"0\" y1=\"0\" x2=\"40\" y2=\"0\" "
                     "stroke=\"black\" stroke-width=\"1em\" transform=\"translate(0 50)\"/></g>"
                     "<use xlink:href=\"#l\" x=\"50\" font-size=\"4\"/>");
    EXPECT_NE(p.At(20, 42), kClear); // the source: 20 wide around y 50
    EXPECT_EQ(p.At(70, 42), kClear); // the copy: 4 wide
    EXPECT_NE(p.At(70, 50), kClear);
    EXPECT_EQ(p.At(70, 10), kClear);
}

TEST(UseCopies, KeepTheGeometryOfEveryShape) {
    Picture p = Draw("<defs><path id=\"a\" d=\"M0 0 h20 v20 h-20 z\"/>"
                     "<polygon id=\"b\" points=\"0,0 20,0 20,20 0,20\"/>"
                     "<polyline id=\"c\" points=\"0,0 20,0 20,20 0,20\"/>"
                     "<line id=\"d\" x1=\"0\" y1=\"10\" x2=\"20\" y2=\"10\" stroke-width=\"6\"/>"
                     "</defs>"
                     "<use xlink:href=\"#a\" x=\"5\" y=\"5\" fill=\"red\"/>"
                     "<use xlink:href=\"#b\" x=\"30\" y=\"5\" fill=\"red\"/>"
                     "<use xlink:href=\"#c\" x=\"55\" y=\"5\" fill=\"red\"/>"
                     "<use xlink:href=\"#d\" x=\"5\" y=\"50\" stroke=\"red\"/>");
    EXPECT_TRUE(Near(p.At(15, 15), 0xFFFF0000));
    EXPECT_TRUE(Near(p.At(40, 15), 0xFFFF0000));
    EXPECT_TRUE(Near(p.At(65, 15), 0xFFFF0000));
    EXPECT_TRUE(Near(p.At(15, 60), 0xFFFF0000));
    EXPECT_EQ(p.At(90, 90), kClear);
}

TEST(UseCopies, NestedUsesAndSvgsKeepTheirPlaceInACopiedGroup) {
    // As flags draw rows of stars: a group of uses, used again.
    Picture p = Draw("<g id=\"row\"><rect id=\"dot\" width=\"10\" height=\"10\" fill=\"red\"/>"
                     "<use xlink:href=\"#dot\" x=\"20\"/>"
                     "<svg x=\"40\" width=\"10\" height=\"10\" viewBox=\"0 0 1 1\">"
                     "<rect width=\"1\" height=\"1\" fill=\"blue\"/></svg></g>"
                     "<use xlink:href=\"#row\" y=\"50\"/>");
    EXPECT_TRUE(Near(p.At(5, 55), 0xFFFF0000));
    EXPECT_TRUE(Near(p.At(25, 55), 0xFFFF0000));
    EXPECT_TRUE(Near(p.At(45, 55), 0xFF0000FF));
    EXPECT_EQ(p.At(15, 55), kClear);
}

TEST(HiddenContent, DisplayNoneHidesTheSubtree) {
    Picture p = Draw("<rect width=\"20\" height=\"20\" fill=\"red\" display=\"none\"/>"
                     "<g style=\"display:none\"><rect x=\"25\" width=\"20\" height=\"20\"/></g>"
                     "<rect id=\"r\" x=\"50\" width=\"20\" height=\"20\" display=\"none\"/>"
                     "<use xlink:href=\"#r\" y=\"25\" display=\"inline\"/>"
                     "<use xlink:href=\"#r\" x=\"-50\" y=\"50\" display=\"none\"/>"
                     "<svg y=\"75\" width=\"20\" height=\"20\" display=\"none\">"
                     "<rect width=\"20\" height=\"20\"/></svg>"
                     "<symbol id=\"s\" display=\"none\"><rect width=\"20\" height=\"20\"/></symbol>"
                     "<use xlink:href=\"#s\" x=\"75\" fill=\"blue\"/>");
    EXPECT_EQ(p.At(10, 10), kClear);
    EXPECT_EQ(p.At(35, 10), kClear);
    EXPECT_EQ(p.At(60, 10), kClear);
    EXPECT_EQ(p.At(60, 35), kClear); // the copy keeps the source's display
    EXPECT_EQ(p.At(10, 60), kClear);
    EXPECT_EQ(p.At(10, 85), kClear);
    EXPECT_TRUE(Near(p.At(85, 10), 0xFF0000FF)); // display does not apply to symbol
}

TEST(HiddenContent, VisibilityIsInheritedAndHidesOnlyOwnPainting) {
    Picture p = Draw("<rect width=\"20\" height=\"20\" visibility=\"hidden\"/>"
                     "<g visibility=\"hidden\"><rect x=\"25\" width=\"20\" height=\"20\"/>"
                     "<rect x=\"50\" width=\"20\" height=\"20\" visibility=\"visible\" "
                     "fill=\"green\"/></g>"
                     "<g style=\"visibility:collapse\"><rect y=\"25\" width=\"20\" height=\"20\" "
                     "visibility=\"inherit\"/></g>");
    EXPECT_EQ(p.At(10, 10), kClear);
    EXPECT_EQ(p.At(35, 10), kClear);
    EXPECT_TRUE(Near(p.At(60, 10), 0xFF008000));
    EXPECT_EQ(p.At(10, 35), kClear);
}
