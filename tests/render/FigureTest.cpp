// Figures on their own: rectangle radii, the pen made from a style record,
// and the bounds of curved paths.

#include "HostBitmap.h"

#include "render/SvgPathBounds.h"
#include "render/SvgRectFigure.h"
#include "style/SvgColorReaders.h"
#include "style/SvgStyle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <memory>
#include <vector>

using namespace Gdiplus;

namespace {

size_t PointCount(const SvgFigure& figure) {
    INT count = 0;
    GdipGetPointCount(figure.GetPath()->Get(), &count);
    return size_t(count);
}

// A width × 50 rectangle at (10, 10), its path built.
std::unique_ptr<SvgRectFigure> MakeRect(float width = 100, float rx = -1, float ry = -1) {
    std::unique_ptr<SvgRectFigure> figure(new SvgRectFigure());
    figure->x = 10;
    figure->y = 10;
    figure->width = width;
    figure->height = 50;
    figure->rx = rx;
    figure->ry = ry;
    figure->BuildPath();
    return figure;
}

} // namespace

TEST(RectRadii, AreAdjustedAndRebuiltTheSame) {
    const struct {
        float rx, ry;                 // as given (negative: absent)
        float expectedRx, expectedRy; // after building
    } rows[] = {
        {10, -1, 10, 10}, // rx only
        {-1, 10, 10, 10}, // ry only
        {80, -1, 25, 25}, // cut to half the height
        {30, 10, 30, 10}, // both, no adjustment
        {80, 40, 50, 25}, // each to its half
        {0, -1, 0, 0},    // a zero radius alone
        {-1, 0, 0, 0},    // likewise
    };
    for (const auto& row : rows) {
        std::unique_ptr<SvgRectFigure> rect = MakeRect(100, row.rx, row.ry);
        EXPECT_FLOAT_EQ(rect->rx, row.expectedRx) << row.rx << " " << row.ry;
        EXPECT_FLOAT_EQ(rect->ry, row.expectedRy) << row.rx << " " << row.ry;
        RectF box = SvgPathBounds::Of(rect->GetPath()->Get());
        EXPECT_NEAR(box.Width * 1000 + box.Height, 100 * 1000 + 50, 1e-2);
        size_t once = PointCount(*rect);
        rect->BuildPath(); // a second build replaces the path
        EXPECT_EQ(PointCount(*rect), once);
    }
}

TEST(FigureStroke, DashArraysThatDrawSolidOrAreCut) {
    // Lists with a negative value or no length draw solid; long ones keep 64 dashes.
    const struct {
        std::vector<double> dashes;
        INT count;
    } rows[] = {{{5, -1}, 0}, {{0, 0}, 0}, {std::vector<double>(100, 2.0), 64}};
    for (const auto& row : rows) {
        HostBitmap canvas(50, 50, 0);
        std::unique_ptr<GdiGraphics> graphics(GdiGraphics::FromImage(canvas.bitmap()));
        std::unique_ptr<SvgRectFigure> square = MakeRect(20);
        SvgStyle& style = *square->GetStyle();
        ReadPaint(style.stroke, "red");
        style.strokeDash.setDashes(row.dashes.data(), int(row.dashes.size()));
        style.strokeDash.dasharraySet = 1;
        square->Stroke(*graphics);
        ASSERT_NE(square->GetStrokePen(), nullptr);
        INT count = -1;
        GdipGetPenDashCount(square->GetStrokePen()->Get(), &count);
        EXPECT_EQ(count, row.count) << row.dashes.size();
    }
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
