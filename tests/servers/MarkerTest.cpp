// Markers, paint-order and context paints as SVG viewers draw them, and the
// directions markers take at the vertices of paths.

#include "SvgTestSupport.h"

#include "document/SvgMarkerPlacement.h"
#include "style/SvgPaintOrder.h"
#include "syntax/SvgPathBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF008000, kBlack = 0xFF000000,
               kClear = 0;

// A square of the given size and colour around the vertex, in user units; and
// a bar 16 long and 4 wide from the vertex along the marker's x axis.
std::string Square(const char* id, int size, const char* colour) {
    std::string s = std::to_string(size), half = std::to_string(size / 2.0);
    return "<marker id='" + std::string(id) + "' markerWidth='" + s + "' markerHeight='" + s +
           "' refX='" + half + "' refY='" + half + "' markerUnits='userSpaceOnUse'><rect width='" +
           s + "' height='" + s + "' fill='" + colour + "'/></marker>";
}
std::string Bar(const char* id, const char* orient) {
    return "<marker id='" + std::string(id) +
           "' markerWidth='16' markerHeight='4' refY='2' markerUnits='userSpaceOnUse' orient='" +
           orient + "'><rect width='16' height='4' fill='blue'/></marker>";
}

const std::vector<PictureRow> kRows = {
    {"start, mid and end markers on the vertices; the shorthand only in style",
     "<defs>" + Square("s", 6, "red") + Square("m", 10, "green") + Square("e", 6, "blue") +
         "</defs><path d='M20 20 L50 20 L80 20' marker-start='url(#s)' marker-mid='url(#m)' "
         "marker-end='url(#e)'/><path d='M20 50 H80' style='marker:url(#m)'/>"
         "<path d='M20 80 H80' marker='url(#s)'/>",
     {Px(20, 18, kRed), Px(50, 18, kGreen), Px(54, 20, kGreen), Px(80, 18, kBlue),
      Px(84, 20, kClear), Px(20, 25, kClear), Px(20, 48, kGreen), Px(80, 48, kGreen),
      Px(20, 78, kClear)}},
    {"orient auto: along the path, halfway at corners, bisecting a closed subpath's ends",
     "<defs>" + Bar("a", "auto") +
         "</defs><path d='M10 40 L50 40 L50 90' fill='none' marker-start='url(#a)' "
         "marker-mid='url(#a)' marker-end='url(#a)'/><path d='M70 20 H90 V40 H70 Z' "
         "fill='none' marker-end='url(#a)'/>",
     {Px(18, 40, kBlue), Px(55, 45, kBlue), Px(58, 40, kClear), Px(50, 98, kBlue),
      Px(75, 14, kBlue), Px(70, 12, kClear), Px(78, 20, kClear)}},
    {"fixed angles in every unit, and auto-start-reverse",
     "<defs>" + Bar("t", "0.25turn") + Bar("r", "3.14159rad") + Bar("g", "-100grad") +
         Bar("v", "auto-start-reverse") +
         "</defs><path d='M20 20 H30' marker-start='url(#t)'/><path d='M70 20 H80' "
         "marker-start='url(#r)'/><path d='M20 80 H30' marker-start='url(#g)'/>"
         "<path d='M70 60 H90' marker-start='url(#v)' marker-end='url(#v)'/>",
     {Px(20, 30, kBlue), Px(62, 20, kBlue), Px(20, 70, kBlue), Px(62, 60, kBlue), Px(98, 60, kBlue),
      Px(76, 60, kClear)}},
    {"markerUnits: the stroke width scales the marker unless userSpaceOnUse",
     "<defs><marker id='w' markerWidth='4' markerHeight='4' refX='2' refY='2'>"
     "<rect width='4' height='4' fill='red'/></marker>" +
         Square("u", 4, "blue") +
         "</defs><path d='M20 20 H80' stroke='black' stroke-width='5' marker-start='url(#w)' "
         "marker-end='url(#u)'/>",
     {Px(12, 12, kRed), Px(28, 28, kRed), Px(31, 20, kBlack), Px(81, 21, kBlue),
      Px(83, 20, kClear)}},
    {"viewBox, refX and refY; the viewport cuts the content unless overflow is visible",
     "<defs><marker id='c' markerWidth='20' markerHeight='20' viewBox='0 0 10 10' refX='5' "
     "refY='5' markerUnits='userSpaceOnUse'><circle cx='5' cy='5' r='8' fill='green'/></marker>"
     "<marker id='o' markerWidth='20' markerHeight='20' viewBox='0 0 10 10' refX='5' refY='5' "
     "markerUnits='userSpaceOnUse' overflow='visible'><circle cx='5' cy='5' r='8' fill='blue'/>"
     "</marker></defs><path d='M30 30 H31' marker-start='url(#c)'/>"
     "<path d='M30 70 H31' marker-start='url(#o)'/>",
     {Px(38, 30, kGreen), Px(42, 30, kClear), Px(42, 70, kBlue)}},
    {"content takes its style from the marker's ancestors, not from the shape",
     "<g fill='green'><defs><marker id='m' markerWidth='10' markerHeight='10' refX='5' refY='5' "
     "markerUnits='userSpaceOnUse'><rect width='10' height='10'/></marker></defs></g>"
     "<path d='M20 50 H80' fill='red' stroke='red' marker-end='url(#m)'/>",
     {Px(83, 47, kGreen)}},
    {"a marker inside its own content ends",
     "<defs><marker id='m' markerWidth='10' markerHeight='10' refX='5' refY='5' "
     "markerUnits='userSpaceOnUse'><path d='M0 5 H10' stroke='red' stroke-width='10' "
     "marker-end='url(#m)'/></marker></defs><path d='M20 50 H80' marker-end='url(#m)'/>",
     {Px(82, 50, kRed), Px(89, 50, kClear)}},
    {"paint-order: stroke under the fill, markers under both; inherited; bad values ignored",
     "<defs>" + Square("m", 20, "red") +
         "</defs><rect x='10' y='10' width='30' height='30' fill='green' stroke='black' "
         "stroke-width='10' paint-order='stroke'/><g paint-order='markers'>"
         "<path d='M60 25 H90' stroke='blue' stroke-width='10' marker-end='url(#m)'/></g>"
         "<g paint-order='stroke'><rect x='10' y='60' width='30' height='30' fill='green' "
         "stroke='black' stroke-width='10' paint-order='fill fill'/></g>",
     {Px(12, 25, kGreen), Px(7, 25, kBlack), Px(88, 25, kBlue), Px(88, 33, kRed),
      Px(12, 75, kGreen)}},
    {"context-fill and context-stroke in markers and use; none outside them",
     "<defs><marker id='m' markerWidth='16' markerHeight='16' refX='8' refY='8' "
     "markerUnits='userSpaceOnUse'><rect x='2' y='2' width='12' height='12' fill='context-stroke'"
     " stroke='context-fill' stroke-width='4' fill-opacity='0.5'/></marker>"
     "<rect id='r' width='20' height='20' fill='context-fill' stroke='context-stroke' "
     "stroke-width='4'/></defs><path d='M20 20 H50' fill='green' stroke='blue' "
     "stroke-opacity='0.2' marker-start='url(#m)'/>"
     "<use xlink:href='#r' x='60' y='10' fill='green' stroke='red'/>"
     "<rect x='20' y='60' width='20' height='20' fill='blue'/>"
     "<use xlink:href='#r' x='60' y='60'/><rect x='20' y='60' width='20' height='20' "
     "fill='context-fill' stroke='context-stroke'/>",
     {Px(15, 20, kGreen), Px(20, 17, 0x800000FF), Px(70, 20, kGreen), Px(60, 20, kRed),
      Px(70, 70, kBlack), Px(30, 70, kBlue)}},
};

} // namespace

TEST(Markers, MarkersPaintOrderAndContextPaintDrawAsSvgViewersDo) {
    ExpectRows(kRows, 2);
}

// The vertices and directions of path data: an arc is one segment however many
// curves it is built of, a subpath that only moves has none, a curve's
// direction skips control points on its end points, segments of no length go
// on in the direction before them, and a closed subpath's ends bisect.
TEST(Markers, VerticesOfPathData) {
    struct Case {
        const char* d;
        std::vector<float> angles; // one per vertex
    } cases[] = {
        {"M0 0 A10 10 0 0 1 20 0", {-90, 90}},
        {"M0 0 L10 0 M20 20", {0, 0}},
        {"M5 5 M0 0 L0 10", {90, 90}},
        {"M0 0 C0 0 10 10 10 0 L20 0", {45, -45, 0}},
        {"M0 0 L10 0 L10 0 L10 10", {0, 0, 45, 90}},
        {"M0 0 L0 10 L0 10", {90, 90, 90}},
        {"M0 0 L0 0 L10 0", {0, 0, 0}},
        {"M0 0 H10 V10 Z", {-67.5, 45, 157.5, -67.5}},
    };
    for (const Case& c : cases) {
        SvgPathData data;
        SvgPathBuilder(&data).parseData(c.d);
        std::vector<SvgMarkerVertex> vertices = SvgMarkerPlacement::PathVertices(data);
        ASSERT_EQ(vertices.size(), c.angles.size()) << c.d;
        for (size_t i = 0; i < vertices.size(); ++i)
            EXPECT_NEAR(std::fmod(vertices[i].angle - c.angles[i] + 720, 360), 0, 0.01)
                << c.d << " vertex " << i;
    }
}

TEST(PaintOrder, ReadsTheOrdersAndRefusesOthers) {
    const std::pair<const char*, int> cases[] = {
        {"normal", 0},
        {"fill", 0},
        {" stroke ", 2},
        {"markers", 4},
        {"fill markers", 1},
        {"stroke markers", 3},
        {"markers stroke", 5},
        {"stroke fill", 2},
        {"fill fill", -1},
        {"fill paint", -1},
        {"", -1},
    };
    for (auto [text, number] : cases) {
        SvgEnumValue value;
        SvgPaintOrder::Read(value, text);
        EXPECT_EQ(value.set ? int(value.value) : -1, number) << text;
    }
    SvgPaintLayer layers[3];
    SvgPaintOrder::Layers(5, layers);
    EXPECT_EQ(layers[0], SvgPaintLayer::Markers);
    EXPECT_EQ(layers[1], SvgPaintLayer::Stroke);
    EXPECT_EQ(layers[2], SvgPaintLayer::Fill);
}
