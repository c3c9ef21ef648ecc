// Clips and layers of the back end: clips belong to the graphics state, layers
// composite once with their opacity, masks multiply by alpha or luminance.

#include "Canvas.h"

#include <gtest/gtest.h>

namespace {

void NearColor(ARGB actual, ARGB expected, int tolerance = 1) {
    for (int shift : {24, 16, 8, 0}) {
        int a = int((actual >> shift) & 0xFF), e = int((expected >> shift) & 0xFF);
        EXPECT_LE(std::abs(a - e), tolerance) << std::hex << actual << " vs " << expected;
    }
}

TEST(BackendClip, IntersectsAndIsRestoredWithTheState) {
    Canvas c(40, 20, 0);
    GraphicsState outer = 0;
    GdipSaveGraphics(c.graphics, &outer);
    EXPECT_EQ(Ok, GdipSetClipRect(c.graphics, 0, 0, 30, 20, CombineModeIntersect));
    {
        Path triangle(FillModeWinding);
        GpPointF points[] = {{0, 0}, {40, 0}, {0, 20}};
        GdipAddPathPolygon(triangle, points, 3);
        GdipTranslateWorldTransform(c.graphics, 10, 0, MatrixOrderPrepend); // clips in world units
        EXPECT_EQ(Ok, GdipSetClipPath(c.graphics, triangle, CombineModeIntersect));
    }
    c.FillRect(-10, 0, 40, 20, kRed);
    EXPECT_EQ(c.Pixel(12, 2), kRed);
    EXPECT_EQ(c.Pixel(5, 2), 0u);   // left of the translated triangle
    EXPECT_EQ(c.Pixel(25, 18), 0u); // below its edge
    EXPECT_EQ(c.Pixel(32, 1), 0u);  // outside the first rectangle
    GdipRestoreGraphics(c.graphics, outer);
    c.FillRect(0, 0, 40, 20, kBlue);
    EXPECT_EQ(c.CountNot(kBlue, 0, 0, 40, 20), 0);

    // Replace, reset, and the modes that are not supported.
    EXPECT_EQ(Ok, GdipSetClipRect(c.graphics, 0, 0, 10, 10, CombineModeIntersect));
    EXPECT_EQ(Ok, GdipSetClipRect(c.graphics, 20, 0, 10, 10, CombineModeReplace));
    BOOL empty = TRUE;
    EXPECT_EQ(Ok, GdipIsClipEmpty(c.graphics, &empty));
    EXPECT_FALSE(empty);
    c.FillRect(0, 0, 40, 20, kRed);
    EXPECT_EQ(c.Pixel(5, 5), kBlue);
    EXPECT_EQ(c.Pixel(25, 5), kRed);
    EXPECT_EQ(NotImplemented, GdipSetClipRect(c.graphics, 0, 0, 1, 1, CombineModeUnion));
    EXPECT_EQ(Ok, GdipSetClipRect(c.graphics, 0, 15, 1, 1, CombineModeIntersect));
    EXPECT_EQ(Ok, GdipIsClipEmpty(c.graphics, &empty));
    EXPECT_TRUE(empty);
    EXPECT_EQ(Ok, GdipResetClip(c.graphics));
    c.FillRect(0, 0, 40, 20, kBlack);
    EXPECT_EQ(c.CountNot(kBlack, 0, 0, 40, 20), 0);
    Path path;
    EXPECT_EQ(InvalidParameter, GdipSetClipPath(nullptr, path, CombineModeIntersect));
    EXPECT_EQ(InvalidParameter, GdipSetClipPath(c.graphics, nullptr, CombineModeIntersect));
}

TEST(BackendLayer, CompositesOnceWithItsOpacityAndNests) {
    Canvas c(40, 20, kWhite);
    EXPECT_EQ(Ok, KelBeginLayer(c.graphics, 0.5f, nullptr));
    c.FillRect(0, 0, 20, 20, kRed);
    c.FillRect(10, 0, 20, 20, kBlue); // covers the red inside the layer
    EXPECT_EQ(Ok, KelBeginLayer(c.graphics, 0.5f, nullptr));
    c.FillRect(30, 0, 10, 20, kBlack);
    EXPECT_EQ(Ok, KelEndLayer(c.graphics));
    EXPECT_EQ(Ok, KelEndLayer(c.graphics));
    NearColor(c.Pixel(5, 5), 0xFFFF8080);
    NearColor(c.Pixel(15, 5), 0xFF8080FF);
    NearColor(c.Pixel(35, 5), 0xFFBFBFBF); // a quarter of black
    EXPECT_EQ(WrongState, KelEndLayer(c.graphics));

    // Bounds cut the layer; a restore ends the layer, and the clip set in it.
    GraphicsState state = 0;
    GdipSaveGraphics(c.graphics, &state);
    RectF bounds(0, 0, 10.5f, 20);
    EXPECT_EQ(Ok, KelBeginLayer(c.graphics, 1.0f, &bounds));
    GdipSetClipRect(c.graphics, 0, 0, 40, 10, CombineModeIntersect);
    c.FillRect(0, 0, 40, 20, kBlack);
    GdipRestoreGraphics(c.graphics, state);
    EXPECT_EQ(c.Pixel(10, 5), kBlack);
    EXPECT_NE(c.Pixel(11, 5), kBlack);
    EXPECT_NE(c.Pixel(5, 15), kBlack);
    c.FillRect(0, 10, 40, 10, kBlack);
    EXPECT_EQ(c.Pixel(35, 15), kBlack);
}

TEST(BackendLayer, MasksMultiplyByAlphaOrLuminance) {
    struct Case {
        KelMaskMode mode;
        ARGB maskColor;
        ARGB expected; // red through the mask, over white
    } cases[] = {
        {KelMaskAlpha, 0x80000000, 0xFFFF7F7F},     {KelMaskLuminance, 0xFFFFFFFF, 0xFFFF0000},
        {KelMaskLuminance, 0xFFFF0000, 0xFFFFC8C8}, // 0.2125 of red
        {KelMaskLuminance, 0x8000FF00, 0xFFFFA4A4}, // 0.7154 of green, half
        {KelMaskLuminance, 0xFF000000, 0xFFFFFFFF}, // black hides
    };
    for (const Case& k : cases) {
        Canvas c(20, 10, kWhite);
        ASSERT_EQ(Ok, KelBeginLayer(c.graphics, 1.0f, nullptr));
        c.FillRect(0, 0, 20, 10, kRed);
        GdipSetClipRect(c.graphics, 0, 0, 1, 1, CombineModeIntersect); // ends with the mask's begin
        ASSERT_EQ(Ok, KelBeginLayerMask(c.graphics));
        c.FillRect(0, 0, 10, 10, k.maskColor);
        ASSERT_EQ(Ok, KelEndLayerMask(c.graphics, k.mode));
        ASSERT_EQ(Ok, KelEndLayer(c.graphics));
        NearColor(c.Pixel(5, 5), k.expected, 2);
        EXPECT_EQ(c.Pixel(15, 5), kWhite); // nothing of the mask there
    }
    // Without a layer, a mask hides its drawing and masks nothing.
    Canvas c(10, 10, kWhite);
    EXPECT_EQ(WrongState, KelBeginLayerMask(c.graphics));
    c.FillRect(0, 0, 10, 10, kRed);
    EXPECT_EQ(Ok, KelEndLayerMask(c.graphics, KelMaskAlpha));
    EXPECT_EQ(c.Pixel(5, 5), kWhite);
    EXPECT_EQ(WrongState, KelEndLayerMask(c.graphics, KelMaskAlpha));
}

TEST(BackendLayer, LiveLayersAreLimitedAndDrawingGoesOn) {
    Canvas c(1000, 1000, kWhite);
    int refused = 0;
    for (int i = 0; i < 1000; ++i)
        refused += KelBeginLayer(c.graphics, 0.999f, nullptr) == OutOfMemory;
    EXPECT_GT(refused, 900);
    c.FillRect(0, 0, 10, 10, kBlack);
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(Ok, KelEndLayer(c.graphics));
    EXPECT_LT(Red(c.Pixel(5, 5)), 40); // the refused layers' opacity is lost
    EXPECT_EQ(c.Pixel(50, 50), kWhite);
}

} // namespace
