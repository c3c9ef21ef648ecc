// Polygons, polylines and paths: the points parser, the replay of damaged path
// data, and what the elements draw.

#include "SvgTestSupport.h"

#include "render/SvgPathFigure.h"
#include "render/SvgPointsFigure.h"
#include "syntax/SvgPathBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace Gdiplus;

namespace {

std::vector<GpPointF> Contents(const SvgFigure& figure) {
    INT count = 0;
    GdipGetPointCount(figure.GetPath()->Get(), &count);
    std::vector<GpPointF> points(count);
    if (count > 0)
        GdipGetPathPoints(figure.GetPath()->Get(), points.data(), count);
    return points;
}

std::vector<std::pair<float, float>> Parse(const char* text) {
    SvgPointList list;
    list.appendFromText(text);
    std::vector<std::pair<float, float>> out;
    for (size_t i = 0; i < list.numberOfItems(); ++i)
        out.emplace_back(list.getItem(i)->getX(), list.getItem(i)->getY());
    return out;
}

using Points = std::vector<std::pair<float, float>>;

} // namespace

TEST(PointsParser, PairsSeparatorsAndNumbers) {
    const struct {
        const char* text;
        Points points;
    } rows[] = {
        {"10,20 30,40 50,60", {{10, 20}, {30, 40}, {50, 60}}},
        {" 10 , 20,,30 40 ,50", {{10, 20}, {30, 40}}},
        {"1\t2\r\n3\n4", {{1, 2}, {3, 4}}},
        {"1e1,2", {{10, 2}}},
        {"10-5 3", {{10, 3}}}, // a sign starts no new number
        {"a,b 2.5,x", {{0, 0}, {2.5f, 0}}},
        {"", {}},
        {", ,\t", {}},
        // A number too large for a float ends the list; the points before it stay.
        {"10,20 30,1e39 50,60", {{10, 20}}},
        {"-1e39,0 1,2", {}},
        {"0x10,inf", {{0, 0}}}, // hexadecimal and inf are no numbers
    };
    for (const auto& row : rows)
        EXPECT_EQ(Parse(row.text), row.points) << row.text;
}

TEST(PathFigure, DamagedRecordsAreReplayedSafely) {
    SvgPathFigure figure;
    // Kinds: move, an unknown 7, line, cubic, but coordinates only for the first two.
    figure.pathData.data = new float[4 + 4]{0, 7, 1, 2, 1, 1, 5, 5};
    figure.pathData.segmentCount = 4;
    figure.pathData.coordinateCount = 4;
    figure.BuildPath();
    std::vector<GpPointF> points = Contents(figure);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1].X, 5);

    SvgPathFigure empty;
    EXPECT_EQ(empty.BuildPath(), Ok);
    EXPECT_TRUE(Contents(empty).empty());
}

TEST(RenderPaths, PolygonPolylineAndPath) {
    // The polyline is open: no fill, no closing side.
    Picture p = Draw("<polygon points=\"10,10 40,10 40,40 10,40\" fill=\"red\"/>"
                     "<polyline points=\"60,10 90,10 90,40\" fill=\"none\" stroke=\"blue\" "
                     "stroke-width=\"4\"/>"
                     "<path d=\"M10 60 h30 v30 h-30 z\" fill=\"lime\"/>"
                     "<path fill=\"red\"/><polygon fill=\"red\"/>");
    ExpectPixels(p,
                 {Px(25, 25, 0xFFFF0000), Px(75, 10, 0xFF0000FF), Px(90, 25, 0xFF0000FF),
                  Px(75, 25, 0), Px(25, 75, 0xFF00FF00), Px(0, 0, 0)},
                 0);
}

TEST(RenderPaths, FillRulesOnASelfIntersectingPath) {
    // Two nested squares drawn the same way round: the inner one is a hole
    // only with the even-odd rule.
    std::string squares = "d=\"M10 10 h80 v80 h-80 z M30 30 h40 v40 h-40 z\" fill=\"red\"";
    ExpectPixels(Draw("<path " + squares + " fill-rule=\"evenodd\"/>"),
                 {Px(50, 50, 0), Px(20, 50, 0xFFFF0000)}, 0);
    ExpectPixels(Draw("<path " + squares + " fill-rule=\"nonzero\"/>"), {Px(50, 50, 0xFFFF0000)},
                 0);
}

TEST(RenderPaths, ZeroLengthSubpathsTakeTheirCaps) {
    // What a 20-wide stroke draws around (30, 30): nothing, a dot or a square.
    enum { None, Dot, Square };
    struct {
        const char *cap, *d;
        int drawn;
    } rows[] = {{"round", "M30 30 z", Dot},     {"round", "M30 30 l0 0", Dot},
                {"square", "M30 30 z", Square}, {"square", "M30 30 l0 0", Square},
                {"butt", "M30 30 l0 0", None},  {"round", "M30 30", None}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.cap) + " " + row.d);
        Picture p = Draw(std::string("<path d=\"") + row.d + "\" stroke=\"black\" " +
                         "stroke-width=\"20\" stroke-linecap=\"" + row.cap + "\"/>");
        InkBox ink = FindInk(p);
        EXPECT_EQ(ink.Width(), row.drawn == None ? 0 : 20);
        EXPECT_EQ(ink.Height(), row.drawn == None ? 0 : 20);
        EXPECT_EQ(Picture::Alpha(p.At(30, 30)), row.drawn == None ? 0u : 255u);
        EXPECT_EQ(Picture::Alpha(p.At(21, 21)), row.drawn == Square ? 255u : 0u); // a corner
    }
}
