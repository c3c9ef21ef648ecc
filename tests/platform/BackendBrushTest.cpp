// Brushes: linear gradients across a rectangle, refused blends, path gradients
// and their wrapping, in pixels (what documents use: the gradient drawing tests).

#include <cstdlib>

#include "Canvas.h"
#include "SvgTestSupport.h"

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
    EXPECT_TRUE(NearArgb(kRed, c.Pixel(0, 5), 4));
    GdipDeleteBrush(brush);
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
    EXPECT_TRUE(NearArgb(kWhite, c.Pixel(50, 50), 8));
    EXPECT_LT(Red(c.Pixel(12, 50)), 40);                    // just inside the rim
    EXPECT_TRUE(NearArgb(0xFF808080, c.Pixel(30, 50), 12)); // half way
    EXPECT_EQ(kRed, c.Pixel(12, 12));                       // box corner, outside the ellipse
    EXPECT_EQ(kRed, c.Pixel(150, 50));                      // clamp: nothing outside the box
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
    EXPECT_TRUE(NearArgb(c.Pixel(79, 10), c.Pixel(120, 10), 2));
    EXPECT_TRUE(NearArgb(c.Pixel(10, 79), c.Pixel(10, 120), 2));
    EXPECT_TRUE(NearArgb(c.Pixel(30, 40), c.Pixel(169, 159), 2));
    EXPECT_FALSE(NearArgb(c.Pixel(20, 10), c.Pixel(120, 10), 2)) << "mirrored, not repeated";
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
    Canvas c(100, 100, kRed);
    FillAll(c, clone, 100, 100);
    EXPECT_LT(Red(c.Pixel(50, 50)), 20); // black centre
    EXPECT_GT(Red(c.Pixel(1, 50)), 235); // white outline
    EXPECT_TRUE(NearArgb(c.Pixel(25, 50), c.Pixel(50, 25), 3));
    GdipDeleteBrush(clone);

    Path single;
    GdipAddPathLine2(single, square, 1);
    GpPathGradient* none = nullptr;
    EXPECT_EQ(OutOfMemory, GdipCreatePathGradientFromPath(single, &none));
    EXPECT_EQ(nullptr, none);
}

GpLineGradient* RedToBlueFrom(PointF a, PointF b) {
    GpLineGradient* brush = nullptr;
    EXPECT_EQ(Ok, GdipCreateLineBrush(&a, &b, kRed, kBlue, WrapModeTile, &brush));
    return brush;
}

TEST(BackendBrush, DegenerateGradientSettingsAreRefused) {
    // Blends, spreads and transforms the documents use are checked by the
    // gradient drawing tests; these are the refusals.
    PointF same(5, 5);
    GpLineGradient* none = nullptr;
    EXPECT_EQ(OutOfMemory, GdipCreateLineBrush(&same, &same, kRed, kBlue, WrapModeTile, &none));
    EXPECT_EQ(nullptr, none);
    GpLineGradient* brush = RedToBlueFrom(PointF(0, 0), PointF(10, 0));
    GpMatrix* singular = nullptr;
    GdipCreateMatrix2(1, 0, 0, 0, 0, 0, &singular);
    EXPECT_EQ(InvalidParameter, GdipSetLineTransform(brush, singular));
    GdipDeleteMatrix(singular);
    GdipDeleteBrush(brush);
    Path square; // spreads are for ellipses only
    GdipAddPathRectangle(square, 0, 0, 10, 10);
    GpPathGradient* general = nullptr;
    GdipCreatePathGradientFromPath(square, &general);
    EXPECT_EQ(InvalidParameter, KelSetGradientSpread(general, KelSpreadPad));
    GdipDeleteBrush(general);
    // Filling with the null brush fails without drawing.
    Canvas c(10, 10);
    EXPECT_EQ(InvalidParameter, GdipFillPath(c.graphics, nullptr, square));
    EXPECT_EQ(kWhite, c.Pixel(5, 5));
}

TEST(BackendBrush, PenPaintsWithACopyOfItsBrush) {
    GpLineGradient* brush = RedToBlueFrom(PointF(0, 0), PointF(100, 0));
    GpPen* pen = nullptr;
    ASSERT_EQ(Ok, GdipCreatePen2(brush, 10, UnitWorld, &pen));
    GdipDeleteBrush(brush); // the pen keeps its own copy
    GpPen* clone = nullptr;
    ASSERT_EQ(Ok, GdipClonePen(pen, &clone));
    GdipDeletePen(pen);
    Canvas c(100, 20);
    Path line;
    GdipAddPathLine(line, 0, 10, 100, 10);
    EXPECT_EQ(Ok, GdipDrawPath(c.graphics, clone, line));
    EXPECT_TRUE(NearArgb(0xFF800080, c.Pixel(50, 10), 4));
    EXPECT_EQ(kWhite, c.Pixel(50, 2));
    GdipDeletePen(clone);
}

TEST(BackendBrush, GradientsBeyondTheRasteriserRangeLeaveTheBitmapUsable) {
    // Squeezed far below a pixel, or filled far from where they lie: whatever
    // such a fill or stroke paints, later drawing still works.
    const REAL transforms[][6] = {
        {1e-30f, 0, 0, 1e30f, 0, 0}, {1, 0, 0, 1e-6f, 0, 0}, {1000, 0, 0, 1, 1e9f, 0}};
    for (const auto& e : transforms) {
        GpLineGradient* brush = RedToBlueFrom(PointF(0, 0), PointF(1, 0));
        GpMatrix* m = nullptr;
        GdipCreateMatrix2(e[0], e[1], e[2], e[3], e[4], e[5], &m);
        EXPECT_EQ(Ok, GdipSetLineTransform(brush, m));
        Canvas c(20, 20);
        Path box;
        GdipAddPathRectangle(box, 0, 0, 10, 20);
        GdipFillPath(c.graphics, brush, box);
        GpPen* pen = nullptr;
        GdipCreatePen2(brush, 4, UnitWorld, &pen);
        GdipDrawPath(c.graphics, pen, box);
        c.FillRect(10, 0, 10, 20, kRed);
        EXPECT_EQ(kRed, c.Pixel(15, 10)) << e[0];
        GdipDeletePen(pen);
        GdipDeleteMatrix(m);
        GdipDeleteBrush(brush);
    }
}

} // namespace

// Texture brushes: a copy of the image, taken when the brush is made,
// repeated as the wrap mode says under the brush's transform (here each image
// pixel covers 10 units).
TEST(BackendBrush, TextureRepeatsItsImageByTheWrapMode) {
    GpBitmap* image = nullptr;
    ASSERT_EQ(Ok, GdipCreateBitmapFromScan0(2, 1, 0, PixelFormat32bppARGB, nullptr, &image));
    GdipBitmapSetPixel(image, 0, 0, kRed);
    GdipBitmapSetPixel(image, 1, 0, kBlue);
    GpTexture *tile = nullptr, *flip = nullptr, *clamp = nullptr, *part = nullptr;
    ASSERT_EQ(Ok, GdipCreateTexture(image, WrapModeTile, &tile));
    ASSERT_EQ(Ok, GdipCreateTexture(image, WrapModeTileFlipX, &flip));
    ASSERT_EQ(Ok, GdipCreateTexture(image, WrapModeClamp, &clamp));
    ASSERT_EQ(Ok, GdipCreateTexture2(image, WrapModeTile, 1, 0, 1, 1, &part));
    GpTexture* none = nullptr;
    EXPECT_EQ(InvalidParameter, GdipCreateTexture2(image, WrapModeTile, 1, 0, 2, 1, &none));
    EXPECT_EQ(nullptr, none);
    GdipBitmapSetPixel(image, 0, 0, 0xFF00FF00); // the brushes keep their copy
    GpMatrix* scale = nullptr;
    GdipCreateMatrix2(10, 0, 0, 10, 0, 0, &scale);
    for (GpTexture* t : {tile, flip, part})
        EXPECT_EQ(Ok, GdipSetTextureTransform(t, scale));
    GdipSetMatrixElements(scale, 10, 0, 0, 10, 0, 20); // the clamped image on its row
    EXPECT_EQ(Ok, GdipSetTextureTransform(clamp, scale));
    Canvas c(60, 40, kWhite);
    GdipFillRectangle(c.graphics, tile, 0, 0, 60, 10);
    GdipFillRectangle(c.graphics, flip, 0, 10, 60, 10);
    GdipFillRectangle(c.graphics, clamp, 0, 20, 60, 10);
    GdipFillRectangle(c.graphics, part, 0, 30, 60, 10);
    const struct {
        int x, y;
        ARGB colour;
    } probes[] = {{5, 5, kRed},    {15, 5, kBlue},   {25, 5, kRed},  {5, 15, kRed},
                  {15, 15, kBlue}, {25, 15, kBlue},  {35, 15, kRed}, {5, 25, kRed},
                  {15, 25, kBlue}, {35, 25, kWhite}, {5, 35, kBlue}, {25, 35, kBlue}};
    for (const auto& p : probes)
        EXPECT_TRUE(NearArgb(c.Pixel(p.x, p.y), p.colour, 28)) << p.x << ", " << p.y;
    // The transform reads back; appending a shift moves the tiles.
    GpMatrix* read = nullptr;
    GdipCreateMatrix(&read);
    EXPECT_EQ(Ok, GdipGetTextureTransform(tile, read));
    REAL e[6];
    GdipGetMatrixElements(read, e);
    EXPECT_EQ(e[0], 10);
    GdipSetMatrixElements(read, 1, 0, 0, 1, 10, 0);
    EXPECT_EQ(Ok, GdipMultiplyTextureTransform(tile, read, MatrixOrderAppend));
    GdipFillRectangle(c.graphics, tile, 0, 0, 60, 10);
    EXPECT_TRUE(NearArgb(c.Pixel(15, 5), kRed, 16));
    GpBrushType type;
    EXPECT_EQ(Ok, GdipGetBrushType(tile, &type));
    EXPECT_EQ(BrushTypeTextureFill, type);
    WrapMode wrap;
    EXPECT_EQ(Ok, GdipGetTextureWrapMode(flip, &wrap));
    EXPECT_EQ(WrapModeTileFlipX, wrap);
    for (GpTexture* t : {tile, flip, clamp, part})
        GdipDeleteBrush(t);
    GdipDeleteMatrix(scale);
    GdipDeleteMatrix(read);
    GdipDisposeImage(image);
}
