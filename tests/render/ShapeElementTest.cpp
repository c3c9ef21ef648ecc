// The shape elements as loaded from a file: lengths into their figures, and
// what of the cascade their pens and paths take.

#include "SvgTestSupport.h"

#include "render/SvgCircleFigure.h"
#include "render/SvgEllipseFigure.h"
#include "render/SvgRectFigure.h"
#include "style/SvgStyle.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

using namespace Gdiplus;

namespace {

// Paints one figure onto a scratch bitmap, so that its brush and pen exist.
void PaintOnce(SvgFigure* figure) {
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(10, 10, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    std::unique_ptr<GdiGraphics> graphics(GdiGraphics::FromImage(bitmap));
    figure->Fill(*graphics);
    figure->Stroke(*graphics);
    graphics.reset();
    GdipDisposeImage(bitmap);
}

float PenWidthOf(SvgFigure* figure) {
    PaintOnce(figure);
    REAL width = -1;
    if (figure->GetStrokePen())
        GdipGetPenWidth(figure->GetStrokePen()->Get(), &width);
    return width;
}

} // namespace

TEST(ShapeElements, LengthsInUnitsEmAndPercent) {
    ParsedDocument doc("<circle cx=\"1in\" cy=\"2pc\" r=\"1em\"/>"
                       "<circle r=\"1em\" style=\"font-size:20px\"/>"
                       "<rect x=\"50%\" y=\"-10%\" width=\"50%\" height=\"25%\" rx=\"2mm\"/>"
                       "<circle r=\"10%\"/><ellipse cx=\"10%\" cy=\"10%\" rx=\"10%\" ry=\"10%\"/>",
                       "width=\"300\" height=\"400\" viewBox=\"0 0 200 100\"");
    auto* circle = doc.FigureAt<SvgCircleFigure>({0});
    ASSERT_NE(circle, nullptr);
    EXPECT_FLOAT_EQ(circle->cx, 96);
    EXPECT_FLOAT_EQ(circle->cy, 32);
    EXPECT_FLOAT_EQ(circle->r, 12);
    auto* big = doc.FigureAt<SvgCircleFigure>({1});
    ASSERT_NE(big, nullptr);
    EXPECT_FLOAT_EQ(big->r, 20);
    auto* rect = doc.FigureAt<SvgRectFigure>({2});
    ASSERT_NE(rect, nullptr);
    // Percentages of the viewBox: x and width of its width, y and height of
    // its height, a radius of its diagonal over sqrt(2).
    EXPECT_FLOAT_EQ(rect->x, 100);
    EXPECT_FLOAT_EQ(rect->y, -10);
    EXPECT_FLOAT_EQ(rect->width, 100);
    EXPECT_FLOAT_EQ(rect->height, 25);
    EXPECT_NEAR(rect->rx, 7.5591f, 1e-3); // 2 / 25.4 * 96
    EXPECT_NEAR(rect->ry, 7.5591f, 1e-3); // set by the path building
    auto* ring = doc.FigureAt<SvgCircleFigure>({3});
    ASSERT_NE(ring, nullptr);
    EXPECT_NEAR(ring->r, 15.811f, 1e-3);
    auto* ellipse = doc.FigureAt<SvgEllipseFigure>({4});
    ASSERT_NE(ellipse, nullptr);
    // Vertical lengths of the height, horizontal ones of the width.
    EXPECT_FLOAT_EQ(ellipse->cx, 20);
    EXPECT_FLOAT_EQ(ellipse->cy, 10);
    EXPECT_FLOAT_EQ(ellipse->rx, 20);
    EXPECT_FLOAT_EQ(ellipse->ry, 10);
}

TEST(ShapeElements, FillRuleCapAndJoinInForceWhereverGiven) {
    ParsedDocument doc(
        "<g fill-rule=\"evenodd\" stroke-linecap=\"round\" stroke-linejoin=\"bevel\" "
        "stroke=\"red\"><rect width=\"10\" height=\"10\"/>"
        "<rect width=\"10\" height=\"10\" fill-rule=\"nonzero\" stroke-linecap=\"square\" "
        "stroke-linejoin=\"round\"/><g><rect width=\"10\" height=\"10\"/></g></g>");
    const struct {
        std::initializer_list<size_t> at;
        GpFillMode mode;
        LineCap cap;
        DashCap dashCap;
        LineJoin join;
    } rows[] = {{{0, 0}, FillModeAlternate, LineCapRound, DashCapRound, LineJoinBevel},
                {{0, 1}, FillModeWinding, LineCapSquare, KelDashCapSquare, LineJoinRound},
                {{0, 2, 0}, FillModeAlternate, LineCapRound, DashCapRound, LineJoinBevel}};
    for (const auto& row : rows) {
        auto* figure = doc.FigureAt<SvgRectFigure>(row.at);
        ASSERT_NE(figure, nullptr);
        PaintOnce(figure);
        GpFillMode mode;
        GdipGetPathFillMode(figure->GetPath()->Get(), &mode);
        EXPECT_EQ(mode, row.mode);
        ASSERT_NE(figure->GetStrokePen(), nullptr); // the colour is inherited
        GpPen* pen = figure->GetStrokePen()->Get();
        LineCap start, end;
        DashCap dashCap;
        LineJoin join;
        GdipGetPenStartCap(pen, &start);
        GdipGetPenEndCap(pen, &end);
        GdipGetPenDashCap197819(pen, &dashCap);
        GdipGetPenLineJoin(pen, &join);
        EXPECT_EQ(std::make_tuple(start, end, dashCap, join),
                  std::make_tuple(row.cap, row.cap, row.dashCap, row.join));
    }
}

TEST(ShapeElements, StrokeWidthsResolvedForThePen) {
    ParsedDocument doc(
        "<line stroke=\"red\" stroke-width=\"10%\"/>"
        "<g stroke-width=\"10%\"><line stroke=\"red\"/></g>"
        "<line stroke=\"red\" stroke-width=\"2.9\"/>"
        "<line stroke=\"red\" stroke-width=\"0.5\"/>"
        "<line stroke=\"red\" stroke-width=\"1em\" font-size=\"20\"/>"
        "<svg width=\"30\" height=\"40\"><line stroke=\"red\" stroke-width=\"10%\"/></svg>"
        "<line stroke=\"red\" stroke-width=\"0\"/>"
        "<line stroke=\"red\" stroke-width=\"-2\"/>",
        "width=\"300\" height=\"400\"");
    // As computed, not cut to whole numbers.
    EXPECT_FLOAT_EQ(PenWidthOf(doc.At({0})->GetFigure()), 35.355339f);
    EXPECT_FLOAT_EQ(PenWidthOf(doc.At({1, 0})->GetFigure()), 35.355339f);
    EXPECT_FLOAT_EQ(PenWidthOf(doc.At({2})->GetFigure()), 2.9f);
    EXPECT_FLOAT_EQ(PenWidthOf(doc.At({3})->GetFigure()), 0.5f);
    EXPECT_FLOAT_EQ(PenWidthOf(doc.At({4})->GetFigure()), 20.0f);
    EXPECT_FLOAT_EQ(PenWidthOf(doc.At({5, 0})->GetFigure()), 3.5355339f); // the nearest viewport
    // No width, no stroke (and no pen).
    EXPECT_EQ(PenWidthOf(doc.At({6})->GetFigure()), -1.0f);
    EXPECT_EQ(PenWidthOf(doc.At({7})->GetFigure()), -1.0f);
}
