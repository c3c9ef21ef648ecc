// Brushes: linear gradients across a rectangle, preset blends, path
// gradients on an ellipse and their wrapping, in pixels.

#include <cstdlib>

#include "tests/platform/Canvas.h"

namespace {

GpLineGradient* RedToBlue(int x, int y, int w, int h) {
    GpRect rect(x, y, w, h);
    GpLineGradient* brush = nullptr;
    EXPECT_EQ(Ok, GdipCreateLineBrushFromRectI(&rect, kRed, kBlue, LinearGradientModeHorizontal,
                                               WrapModeTile, &brush));
    return brush;
}

void FillAll(Canvas& c, GpBrush* brush, int w, int h) {
    Path path;
    GdipAddPathRectangle(path, 0, 0, REAL(w), REAL(h));
    EXPECT_EQ(Ok, GdipFillPath(c.graphics, brush, path));
}

bool Near(ARGB a, ARGB b, int tolerance) {
    return std::abs(Red(a) - Red(b)) <= tolerance && std::abs(Green(a) - Green(b)) <= tolerance &&
           std::abs(Blue(a) - Blue(b)) <= tolerance && std::abs(Alpha(a) - Alpha(b)) <= tolerance;
}

TEST(BackendBrush, LinearRunsHorizontallyAcrossItsRectangleAndTiles) {
    Canvas c(200, 40);
    GpLineGradient* brush = RedToBlue(0, 10, 100, 10);
    FillAll(c, brush, 200, 40);
    EXPECT_TRUE(Near(kRed, c.Pixel(0, 15), 4));
    EXPECT_TRUE(Near(kBlue, c.Pixel(99, 15), 4));
    EXPECT_TRUE(Near(0xFF800080, c.Pixel(50, 15), 4));
    // Along y nothing changes, inside or outside the rectangle.
    EXPECT_EQ(c.Pixel(30, 0), c.Pixel(30, 39));
    EXPECT_EQ(c.Pixel(30, 0), c.Pixel(30, 15));
    // Beyond its right edge the gradient starts again.
    EXPECT_EQ(c.Pixel(20, 15), c.Pixel(120, 15));
    EXPECT_GT(Red(c.Pixel(101, 15)), 240);
    GdipDeleteBrush(brush);
}

TEST(BackendBrush, LinearPresetBlend) {
    Canvas c(100, 10);
    GpLineGradient* brush = RedToBlue(0, 0, 100, 10);
    const ARGB colors[3] = {kRed, 0xFF00FF00, kBlue};
    const REAL positions[3] = {0, 0.5f, 1};
    ASSERT_EQ(Ok, GdipSetLinePresetBlend(brush, colors, positions, 3));
    FillAll(c, brush, 100, 10);
    EXPECT_TRUE(Near(0xFF00FF00, c.Pixel(50, 5), 6));
    EXPECT_TRUE(Near(kRed, c.Pixel(0, 5), 6));
    INT count = 0;
    GdipGetLinePresetBlendCount(brush, &count);
    EXPECT_EQ(3, count);
    GdipDeleteBrush(brush);
}

TEST(BackendBrush, LinearPresetBlendMustSpanZeroToOne) {
    GpLineGradient* brush = RedToBlue(0, 0, 100, 10);
    const ARGB colors[2] = {0xFF00FF00, 0xFF00FF00};
    const REAL inner[2] = {0.2f, 0.8f};
    const REAL one[1] = {0};
    EXPECT_EQ(InvalidParameter, GdipSetLinePresetBlend(brush, colors, inner, 2));
    EXPECT_EQ(InvalidParameter, GdipSetLinePresetBlend(brush, colors, one, 1));
    const REAL open[2] = {0, 0.9f};
    EXPECT_EQ(InvalidParameter, GdipSetLinePresetBlend(brush, colors, open, 2));
    // The brush keeps its two colours.
    Canvas c(100, 10);
    FillAll(c, brush, 100, 10);
    EXPECT_TRUE(Near(kRed, c.Pixel(0, 5), 4));
    INT count = -1;
    GdipGetLinePresetBlendCount(brush, &count);
    EXPECT_EQ(0, count);
    GdipDeleteBrush(brush);
}

TEST(BackendBrush, LinearOnEmptyRectangleIsRefused) {
    for (GpRect rect : {GpRect(0, 0, 0, 10), GpRect(0, 0, 10, 0), GpRect(0, 0, 0, 0)}) {
        GpLineGradient* brush = reinterpret_cast<GpLineGradient*>(1);
        EXPECT_EQ(OutOfMemory,
                  GdipCreateLineBrushFromRectI(&rect, kRed, kBlue, LinearGradientModeHorizontal,
                                               WrapModeTile, &brush));
        EXPECT_EQ(nullptr, brush);
    }
    GpRect rect(0, 0, 10, 10);
    GpLineGradient* brush = nullptr;
    EXPECT_EQ(InvalidParameter,
              GdipCreateLineBrushFromRectI(&rect, kRed, kBlue, LinearGradientModeHorizontal,
                                           WrapModeClamp, &brush));
    // Filling with the null brush fails without drawing.
    Canvas c(10, 10);
    Path path;
    GdipAddPathRectangle(path, 0, 0, 10, 10);
    EXPECT_EQ(InvalidParameter, GdipFillPath(c.graphics, nullptr, path));
    EXPECT_EQ(kWhite, c.Pixel(5, 5));
}

struct EllipseGradient {
    // Ellipse (10, 10, 80, 80); blend black on the rim, white at the centre.
    explicit EllipseGradient(WrapMode wrap) {
        Path path;
        GdipAddPathEllipse(path, 10, 10, 80, 80);
        EXPECT_EQ(Ok, GdipCreatePathGradientFromPath(path, &brush));
        EXPECT_EQ(Ok, GdipSetPathGradientWrapMode(brush, wrap));
        const ARGB colors[2] = {kBlack, kWhite};
        const REAL positions[2] = {0, 1};
        EXPECT_EQ(Ok, GdipSetPathGradientPresetBlend(brush, colors, positions, 2));
    }
    ~EllipseGradient() { GdipDeleteBrush(brush); }
    GpPathGradient* brush = nullptr;
};

TEST(BackendBrush, PathGradientLastColourAtCentreFirstOnRim) {
    EllipseGradient g(WrapModeClamp);
    Canvas c(200, 100, kRed);
    FillAll(c, g.brush, 200, 100);
    EXPECT_TRUE(Near(kWhite, c.Pixel(50, 50), 8));
    EXPECT_LT(Red(c.Pixel(12, 50)), 40);                // just inside the rim
    EXPECT_TRUE(Near(0xFF808080, c.Pixel(30, 50), 12)); // half way
    EXPECT_EQ(kRed, c.Pixel(12, 12));                   // box corner, outside the ellipse
    EXPECT_EQ(kRed, c.Pixel(150, 50));                  // clamp: nothing outside the box
    GpRectF rect;
    GdipGetPathGradientRect(g.brush, &rect);
    EXPECT_FLOAT_EQ(80, rect.Width);
    GpPointF centre;
    GdipGetPathGradientCenterPoint(g.brush, &centre);
    EXPECT_FLOAT_EQ(50, centre.X);
}

TEST(BackendBrush, PathGradientMirrorsItsTileOutsideTheBox) {
    EllipseGradient g(WrapModeTileFlipXY);
    Canvas c(200, 200, kRed);
    FillAll(c, g.brush, 200, 200);
    // Mirrored across x = 90 and y = 90: pixel 90 + d shows pixel 89 - d.
    auto mirror = [](int v) { return 179 - v; };
    EXPECT_TRUE(Near(c.Pixel(50, 50), c.Pixel(mirror(50), 50), 2));
    EXPECT_TRUE(Near(c.Pixel(70, 40), c.Pixel(mirror(70), 40), 2));
    EXPECT_TRUE(Near(c.Pixel(30, 60), c.Pixel(mirror(30), mirror(60)), 2));
    EXPECT_TRUE(Near(kWhite, c.Pixel(mirror(50), 50), 8));
    // The corners outside the ellipse stay unpainted in the mirrored tiles too.
    EXPECT_EQ(kRed, c.Pixel(168, 12));
}

TEST(BackendBrush, PathGradientMirrorsAnAsymmetricTile) {
    Path path;
    PointF triangle[3] = {PointF(0, 0), PointF(100, 0), PointF(0, 100)};
    GdipAddPathLine2(path, triangle, 3);
    GpPathGradient* brush = nullptr;
    ASSERT_EQ(Ok, GdipCreatePathGradientFromPath(path, &brush));
    GdipSetPathGradientCenterColor(brush, kBlack);
    ASSERT_EQ(Ok, GdipSetPathGradientWrapMode(brush, WrapModeTileFlipXY));
    Canvas c(200, 200, kRed);
    FillAll(c, brush, 200, 200);
    // Pixel 100 + d shows pixel 99 - d, in x and in y.
    EXPECT_TRUE(Near(c.Pixel(79, 10), c.Pixel(120, 10), 2));
    EXPECT_TRUE(Near(c.Pixel(10, 79), c.Pixel(10, 120), 2));
    EXPECT_TRUE(Near(c.Pixel(30, 40), c.Pixel(169, 159), 2));
    EXPECT_FALSE(Near(c.Pixel(20, 10), c.Pixel(120, 10), 2)) << "mirrored, not repeated";
    EXPECT_EQ(kRed, c.Pixel(120, 90)); // shows (79, 90), outside the triangle
    GdipDeleteBrush(brush);
}

TEST(BackendBrush, PathGradientOnGeneralPathAndClones) {
    Path path;
    PointF square[4] = {PointF(0, 0), PointF(100, 0), PointF(100, 100), PointF(0, 100)};
    GdipAddPathLine2(path, square, 4);
    GdipClosePathFigure(path);
    GpPathGradient* brush = nullptr;
    ASSERT_EQ(Ok, GdipCreatePathGradientFromPath(path, &brush));
    GdipSetPathGradientCenterColor(brush, kBlack);
    GpBrush* clone = nullptr;
    ASSERT_EQ(Ok, GdipCloneBrush(brush, &clone));
    GdipDeleteBrush(brush);
    BrushType type;
    GdipGetBrushType(clone, &type);
    EXPECT_EQ(BrushTypePathGradient, type);
    Canvas c(100, 100, kRed);
    FillAll(c, clone, 100, 100);
    EXPECT_LT(Red(c.Pixel(50, 50)), 20); // black centre
    EXPECT_GT(Red(c.Pixel(1, 50)), 235); // white outline
    EXPECT_TRUE(Near(c.Pixel(25, 50), c.Pixel(50, 25), 3));
    GdipDeleteBrush(clone);

    Path single;
    GdipAddPathLine2(single, square, 1);
    GpPathGradient* none = nullptr;
    EXPECT_EQ(OutOfMemory, GdipCreatePathGradientFromPath(single, &none));
    EXPECT_EQ(nullptr, none);
}

TEST(BackendBrush, SolidAlphaBlendsOverTheBackground) {
    Canvas c(10, 10, kWhite);
    c.FillRect(0, 0, 10, 10, 0x7F000000);
    ARGB p = c.Pixel(5, 5);
    EXPECT_EQ(255, Alpha(p));
    EXPECT_NEAR(128, Red(p), 1);
}

} // namespace
