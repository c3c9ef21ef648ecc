// Figures on their own: path building, brush and pen made from a style record.

#include "render/SvgCircleFigure.h"
#include "render/SvgEllipseFigure.h"
#include "render/SvgFigure.h"
#include "render/SvgLineFigure.h"
#include "render/SvgPathBounds.h"
#include "render/SvgRectFigure.h"
#include "style/SvgColorReaders.h"
#include "style/SvgStyle.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

using namespace Gdiplus;

namespace {

std::vector<GpPointF> PathPoints(const SvgFigure& figure) {
    INT count = 0;
    GdipGetPointCount(figure.GetPath()->Get(), &count);
    std::vector<GpPointF> points(count);
    if (count > 0)
        GdipGetPathPoints(figure.GetPath()->Get(), points.data(), count);
    return points;
}

struct Bounds {
    float left, top, right, bottom;
};

Bounds PathBounds(const SvgFigure& figure) {
    Bounds b{1e9f, 1e9f, -1e9f, -1e9f};
    for (const GpPointF& p : PathPoints(figure)) {
        b.left = std::min(b.left, p.X);
        b.top = std::min(b.top, p.Y);
        b.right = std::max(b.right, p.X);
        b.bottom = std::max(b.bottom, p.Y);
    }
    return b;
}

void ExpectBounds(const SvgFigure& figure, float left, float top, float right, float bottom) {
    Bounds b = PathBounds(figure);
    EXPECT_NEAR(b.left, left, 1e-3);
    EXPECT_NEAR(b.top, top, 1e-3);
    EXPECT_NEAR(b.right, right, 1e-3);
    EXPECT_NEAR(b.bottom, bottom, 1e-3);
}

// A small bitmap and a graphics on it for the figures to paint onto.
class Canvas {
public:
    Canvas() {
        GdipCreateBitmapFromScan0(50, 50, 0, PixelFormat32bppARGB, nullptr, &bitmap);
        graphics = GdiGraphics::FromImage(bitmap);
    }
    ~Canvas() {
        delete graphics;
        GdipDisposeImage(bitmap);
    }
    GdiGraphics& Get() { return *graphics; }
    ARGB Pixel(int x, int y) {
        ARGB argb = 0;
        GdipBitmapGetPixel(bitmap, x, y, &argb);
        return argb;
    }

private:
    GpBitmap* bitmap = nullptr;
    GdiGraphics* graphics = nullptr;
};

// A 20 × 20 square at (10, 10) with the given style set up by the caller.
SvgRectFigure* Square() {
    SvgRectFigure* figure = new SvgRectFigure();
    figure->x = 10;
    figure->y = 10;
    figure->width = 20;
    figure->height = 20;
    figure->BuildPath();
    return figure;
}

REAL PenWidth(const GdiPen* pen) {
    REAL width = -1;
    if (pen)
        GdipGetPenWidth(pen->Get(), &width);
    return width;
}

void SetStrokeColor(SvgStyle& style, const char* text) {
    ReadPaint(style.stroke, text);
}

} // namespace

TEST(ShapePaths, CircleEllipseAndLine) {
    SvgCircleFigure circle;
    circle.cx = 50;
    circle.cy = 50;
    circle.r = 20;
    EXPECT_EQ(circle.BuildPath(), Ok);
    ExpectBounds(circle, 30, 30, 70, 70);

    SvgEllipseFigure ellipse;
    ellipse.cx = 50;
    ellipse.cy = 40;
    ellipse.rx = 30;
    ellipse.ry = 10;
    ellipse.BuildPath();
    ExpectBounds(ellipse, 20, 30, 80, 50);

    SvgLineFigure line;
    line.x2 = 30;
    line.y2 = 40;
    line.BuildPath();
    std::vector<GpPointF> points = PathPoints(line);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1].X, 30);
    EXPECT_EQ(points[1].Y, 40);
}

TEST(ShapePaths, EmptyCircleDrawsNothingAndRebuildingStartsOver) {
    Canvas canvas;
    SvgCircleFigure circle;
    circle.BuildPath();
    ReadPaint(circle.GetStyle()->stroke, "red");
    circle.Paint(canvas.Get()); // nothing visible
    EXPECT_EQ(canvas.Pixel(0, 0), 0u);
    circle.r = 5;
    circle.BuildPath();
    size_t once = PathPoints(circle).size();
    circle.BuildPath();
    EXPECT_EQ(PathPoints(circle).size(), once);
}

TEST(ShapePaths, RectangleWithoutRadiiIsExact) {
    SvgRectFigure rect;
    rect.x = 10.7f;
    rect.y = 10;
    rect.width = 100.9f;
    rect.height = 50;
    rect.BuildPath();
    std::vector<GpPointF> points = PathPoints(rect);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0].X, 10.7f);
    EXPECT_EQ(points[0].Y, 10);
    EXPECT_EQ(points[2].X, 10.7f + 100.9f);
    EXPECT_EQ(points[2].Y, 60);
}

TEST(ShapePaths, HugeOrUndefinedRectangleIsSafe) {
    SvgRectFigure rect;
    rect.x = 1e30f;
    rect.width = -1e30f;
    rect.height = 10;
    rect.BuildPath(); // reversed: nothing
    EXPECT_TRUE(PathPoints(rect).empty());
    rect.x = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(rect.BuildPath(), InvalidParameter);
    EXPECT_TRUE(PathPoints(rect).empty());
}

struct RadiusCase {
    float rx, ry;                 // as given (negative: absent)
    float expectedRx, expectedRy; // after building
};

class RectRadii : public ::testing::TestWithParam<RadiusCase> {};

TEST_P(RectRadii, AreAdjustedAndStored) {
    const RadiusCase& c = GetParam();
    SvgRectFigure rect;
    rect.x = 10;
    rect.y = 10;
    rect.width = 100;
    rect.height = 50;
    rect.rx = c.rx;
    rect.ry = c.ry;
    rect.BuildPath();
    EXPECT_FLOAT_EQ(rect.rx, c.expectedRx);
    EXPECT_FLOAT_EQ(rect.ry, c.expectedRy);
    ExpectBounds(rect, 10, 10, 110, 60);
    // A second build gives the same path.
    size_t once = PathPoints(rect).size();
    rect.BuildPath();
    EXPECT_EQ(PathPoints(rect).size(), once);
}

INSTANTIATE_TEST_SUITE_P(Figures, RectRadii,
                         ::testing::Values(RadiusCase{10, -1, 10, 10}, // rx only
                                           RadiusCase{-1, 10, 10, 10}, // ry only
                                           RadiusCase{80, -1, 25, 25}, // cut to half the height
                                           RadiusCase{30, 10, 30, 10}, // both, no adjustment
                                           RadiusCase{80, 40, 50, 25}, // each to its half
                                           RadiusCase{0, -1, 0, 0},    // a zero radius alone
                                           RadiusCase{-1, 0, 0, 0}));  // likewise

TEST(ShapePaths, ZeroRadiusRectangleIsTheRectangle) {
    SvgRectFigure rect;
    rect.x = 10;
    rect.y = 10;
    rect.width = 100;
    rect.height = 50;
    rect.rx = 0;
    rect.BuildPath();
    ExpectBounds(rect, 10, 10, 110, 60);
    EXPECT_NE(rect.GetPath()->GetLastStatus(), Ok); // the empty arcs were refused
}

TEST(FigureCopy, TakesGeometryPathAndOwnStyleButNotWhatWasInherited) {
    SvgStyle parentStyle;
    ReadPaint(parentStyle.stroke, "green");
    parentStyle.stroke.set = 1;

    TiXmlElement xml("circle");
    xml.SetAttribute("fill", "red");
    SvgCircleFigure source;
    source.cx = 10;
    source.cy = 20;
    source.r = 5;
    source.GetStyle()->parent = &parentStyle;
    source.GetStyle()->ReadFromElement(&xml);
    source.BuildPath();
    ASSERT_TRUE(source.GetStyle()->stroke.colorSet);

    // Without an owner the copy has no parent to inherit from.
    SvgCircleFigure copy;
    copy.CopyFrom(&source);
    EXPECT_EQ(copy.cx, 10);
    EXPECT_EQ(copy.cy, 20);
    EXPECT_EQ(copy.r, 5);
    EXPECT_EQ(PathPoints(copy).size(), PathPoints(source).size());
    EXPECT_EQ(copy.GetStyle()->parent, nullptr);
    EXPECT_EQ(ToArgb(copy.GetStyle()->fill.color, 255), 0xFFFF0000u);
    EXPECT_FALSE(copy.GetStyle()->stroke.colorSet);
    EXPECT_EQ(copy.GetFillBrush(), nullptr);

    SvgRectFigure rectSource;
    rectSource.width = 7;
    rectSource.rx = 2;
    SvgRectFigure rectCopy;
    rectCopy.CopyFrom(&rectSource);
    EXPECT_EQ(rectCopy.width, 7);
    EXPECT_EQ(rectCopy.rx, 2);
    EXPECT_EQ(rectCopy.ry, -1);
}

TEST(FigureFill, DefaultStyleFillsBlackAndCachesTheBrush) {
    Canvas canvas;
    std::unique_ptr<SvgRectFigure> square(Square());
    square->Paint(canvas.Get());
    EXPECT_EQ(canvas.Pixel(20, 20), 0xFF000000u);
    const GdiBrush* brush = square->GetFillBrush();
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(square->GetStrokePen(), nullptr); // no stroke by default

    // Later changes to the style do not reach a figure already painted.
    ReadPaint(square->GetStyle()->fill, "red");
    square->Paint(canvas.Get());
    EXPECT_EQ(square->GetFillBrush(), brush);
    EXPECT_EQ(canvas.Pixel(20, 20), 0xFF000000u);
}

TEST(FigureFill, NoneOrAReferenceWithoutPaintServerMakesNoBrush) {
    const struct {
        const char* fill;
        bool brush;
        ARGB pixel;
    } rows[] = {{"none", false, 0},
                {"url(#nowhere)", false, 0},
                {"url(#nowhere) blue", true, 0xFF0000FFu}}; // the fallback only
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fill);
        Canvas canvas;
        std::unique_ptr<SvgRectFigure> square(Square());
        ReadPaint(square->GetStyle()->fill, row.fill);
        square->Paint(canvas.Get());
        EXPECT_EQ(square->GetFillBrush() != nullptr, row.brush);
        EXPECT_EQ(canvas.Pixel(20, 20), row.pixel);
    }
}

TEST(FigureStroke, PenFromTheStrokeProperties) {
    Canvas canvas;
    std::unique_ptr<SvgRectFigure> square(Square());
    SvgStyle& style = *square->GetStyle();
    SetStrokeColor(style, "lime");
    style.strokeOpacity.value = 8355840; // 0.5
    style.strokeWidth.computed = 2.5f;
    style.strokeLinecap.computed = 1;
    style.strokeLinejoin.computed = 2;
    style.strokeMiterlimit.value = 7;
    double dashes[] = {5, 1.25, 0};
    style.strokeDash.setDashes(dashes, 3);
    style.strokeDash.dasharraySet = 1;
    style.strokeDash.dashOffset = -2;
    square->Paint(canvas.Get());

    const GdiPen* pen = square->GetStrokePen();
    ASSERT_NE(pen, nullptr);
    EXPECT_EQ(PenWidth(pen), 2.5f);
    ARGB color = 0;
    GdipGetPenColor(pen->Get(), &color);
    EXPECT_EQ(color, 0x7F00FF00u);
    GpLineCap start, end;
    GdipGetPenStartCap(pen->Get(), &start);
    GdipGetPenEndCap(pen->Get(), &end);
    EXPECT_EQ(start, LineCapRound);
    EXPECT_EQ(end, LineCapRound);
    GpLineJoin join;
    GdipGetPenLineJoin(pen->Get(), &join);
    EXPECT_EQ(join, LineJoinBevel);
    REAL limit = 0;
    GdipGetPenMiterLimit(pen->Get(), &limit);
    EXPECT_EQ(limit, 7.0f);
    // User units as multiples of the width; the odd list repeated; a dash of
    // length 0 kept very short; the offset likewise.
    INT count = 0;
    GdipGetPenDashCount(pen->Get(), &count);
    ASSERT_EQ(count, 6);
    std::vector<REAL> got(6);
    GdipGetPenDashArray(pen->Get(), got.data(), 6);
    EXPECT_EQ(got, (std::vector<REAL>{2, 0.5f, 0.001f, 2, 0.5f, 0.001f}));
    REAL offset = 0;
    GdipGetPenDashOffset(pen->Get(), &offset);
    EXPECT_EQ(offset, -0.8f);

    square->Paint(canvas.Get());
    EXPECT_EQ(square->GetStrokePen(), pen); // made once
}

TEST(FigureStroke, OnlyAColourIsStroked) {
    Canvas canvas;
    for (const char* text : {"none", "url(#g)", "currentColor"}) {
        std::unique_ptr<SvgRectFigure> square(Square());
        ReadPaint(square->GetStyle()->stroke, text);
        square->Stroke(canvas.Get());
        EXPECT_EQ(square->GetStrokePen(), nullptr) << text;
    }
    std::unique_ptr<SvgRectFigure> fallback(Square());
    ReadPaint(fallback->GetStyle()->stroke, "url(#g) red");
    fallback->Stroke(canvas.Get());
    ASSERT_NE(fallback->GetStrokePen(), nullptr);
    ARGB color = 0;
    GdipGetPenColor(fallback->GetStrokePen()->Get(), &color);
    EXPECT_EQ(color, 0xFFFF0000u);
}

TEST(FigureStroke, DashArraysThatDrawSolid) {
    const std::vector<double> lists[] = {{5, -1}, {0, 0}};
    for (const auto& list : lists) {
        Canvas canvas;
        std::unique_ptr<SvgRectFigure> square(Square());
        SvgStyle& style = *square->GetStyle();
        SetStrokeColor(style, "red");
        style.strokeDash.setDashes(list.data(), int(list.size()));
        style.strokeDash.dasharraySet = 1;
        square->Stroke(canvas.Get());
        ASSERT_NE(square->GetStrokePen(), nullptr);
        INT count = -1;
        GdipGetPenDashCount(square->GetStrokePen()->Get(), &count);
        EXPECT_EQ(count, 0) << list[0] << "," << list[1];
    }
}

TEST(FigureStroke, EmWidthAndLongDashArrays) {
    Canvas canvas;
    std::unique_ptr<SvgRectFigure> square(Square());
    SvgStyle& style = *square->GetStyle();
    SetStrokeColor(style, "red");
    style.fontSize.computed = 20;
    style.strokeWidth.unit = SvgUnitEm;
    style.strokeWidth.value = 1;
    std::vector<double> dashes(100, 2.0);
    style.strokeDash.setDashes(dashes.data(), 100);
    style.strokeDash.dasharraySet = 1;
    square->Stroke(canvas.Get());
    ASSERT_NE(square->GetStrokePen(), nullptr);
    EXPECT_EQ(PenWidth(square->GetStrokePen()), 20.0f);
    EXPECT_EQ(style.strokeWidth.computed, 20.0f);
    INT count = 0;
    GdipGetPenDashCount(square->GetStrokePen()->Get(), &count);
    EXPECT_EQ(count, 64);
}

TEST(FigureStroke, PercentWidthWithoutViewportDrawsNothing) {
    Canvas canvas;
    std::unique_ptr<SvgRectFigure> square(Square());
    SvgStyle& style = *square->GetStyle();
    SetStrokeColor(style, "red");
    style.strokeWidth.unit = SvgUnitPercent;
    style.strokeWidth.value = 0.1f;
    square->Stroke(canvas.Get());
    EXPECT_EQ(square->GetStrokePen(), nullptr);
    EXPECT_EQ(canvas.Pixel(10, 20), 0u);
}

TEST(FigureBase, PlainFigureHoldsAStyleAndPaintsNothing) {
    Canvas canvas;
    SvgFigure figure;
    EXPECT_EQ(figure.PeekStyle(), nullptr);
    SvgStyle* style = figure.GetStyle();
    EXPECT_EQ(figure.GetStyle(), style);
    EXPECT_EQ(figure.BuildPath(), Ok);
    figure.Paint(canvas.Get()); // empty path: nothing drawn
    EXPECT_EQ(canvas.Pixel(0, 0), 0u);
}

TEST(FigureBounds, CurvesCountByTheirPointsNotTheirControlPoints) {
    const struct {
        const char* name;
        void (*add)(GpPath*);
        RectF box;
    } rows[] = {
        {"arch", [](GpPath* p) { GdipAddPathBezier(p, 0, 0, 0, 100, 100, 100, 100, 0); },
         RectF(0, 0, 100, 75)},
        {"lines then a curve",
         [](GpPath* p) {
             GdipAddPathLine(p, -5, 50, 0, 0);
             GdipAddPathBezier(p, 0, 0, 40, -40, 60, 40, 100, 0);
         },
         RectF(-5, -11.547f, 105, 61.547f)},
        {"huge", [](GpPath* p) { GdipAddPathLine(p, -3e38f, 0, 3e38f, 1); },
         RectF(-3e38f, 0, FLT_MAX, 1)},
    };
    for (const auto& row : rows) {
        GpPath* path = nullptr;
        GdipCreatePath(FillModeAlternate, &path);
        row.add(path);
        RectF box = SvgPathBounds::Of(path);
        EXPECT_NEAR(box.X, row.box.X, 1e-3) << row.name;
        EXPECT_NEAR(box.Y, row.box.Y, 1e-3) << row.name;
        EXPECT_FLOAT_EQ(box.Width, row.box.Width) << row.name;
        EXPECT_NEAR(box.Height, row.box.Height, 1e-3) << row.name;
        GdipDeletePath(path);
    }
    EXPECT_EQ(SvgPathBounds::Of(nullptr).Width, 0);
}
