// Graphics contexts: saved states, world transforms, smoothing, clearing and
// drawing images (refused transforms: the degenerate-transform drawing test).

#include "Canvas.h"
#include "platform/win32/Win32.h"

namespace {

void WorldElements(GpGraphics* g, REAL out[6]) {
    GpMatrix* m = nullptr;
    GdipCreateMatrix(&m);
    EXPECT_EQ(Ok, GdipGetWorldTransform(g, m));
    GdipGetMatrixElements(m, out);
    GdipDeleteMatrix(m);
}

TEST(BackendGraphics, SaveAndRestoreNest) {
    Canvas c(100, 100);
    GraphicsState outer = 0, inner = 0;
    GdipTranslateWorldTransform(c.graphics, 10, 0, MatrixOrderPrepend);
    ASSERT_EQ(Ok, GdipSaveGraphics(c.graphics, &outer));
    GdipTranslateWorldTransform(c.graphics, 20, 0, MatrixOrderPrepend);
    ASSERT_EQ(Ok, GdipSaveGraphics(c.graphics, &inner));
    GdipTranslateWorldTransform(c.graphics, 30, 0, MatrixOrderPrepend);
    REAL e[6];
    WorldElements(c.graphics, e);
    EXPECT_FLOAT_EQ(60, e[4]);

    ASSERT_EQ(Ok, GdipRestoreGraphics(c.graphics, inner));
    WorldElements(c.graphics, e);
    EXPECT_FLOAT_EQ(30, e[4]);

    // Restoring the outer state drops the inner one.
    GdipSaveGraphics(c.graphics, &inner);
    ASSERT_EQ(Ok, GdipRestoreGraphics(c.graphics, outer));
    WorldElements(c.graphics, e);
    EXPECT_FLOAT_EQ(10, e[4]);
    ASSERT_EQ(Ok, GdipRestoreGraphics(c.graphics, inner));
    WorldElements(c.graphics, e);
    EXPECT_FLOAT_EQ(10, e[4]);

    c.FillRect(0, 0, 5, 5, kBlack);
    EXPECT_EQ(kBlack, c.Pixel(12, 2));
    EXPECT_EQ(kWhite, c.Pixel(2, 2));
}

TEST(BackendGraphics, WorldTransformsComposeInPrependOrder) {
    Canvas c(200, 50);
    GdipTranslateWorldTransform(c.graphics, 50, 0, MatrixOrderPrepend);
    GpMatrix* scale = nullptr;
    GdipCreateMatrix2(2, 0, 0, 2, 0, 0, &scale);
    ASSERT_EQ(Ok, GdipMultiplyWorldTransform(c.graphics, scale, MatrixOrderPrepend));
    // (10, 5) is scaled first, then translated: (70, 10).
    c.FillRect(10, 5, 5, 5, kBlack);
    EXPECT_EQ(kBlack, c.Pixel(72, 12));
    EXPECT_EQ(kBlack, c.Pixel(79, 19));
    EXPECT_EQ(kWhite, c.Pixel(81, 12));
    EXPECT_EQ(kWhite, c.Pixel(68, 12));

    // Append applies the new matrix after the existing transform.
    GdipResetWorldTransform(c.graphics);
    GdipTranslateWorldTransform(c.graphics, 50, 0, MatrixOrderPrepend);
    ASSERT_EQ(Ok, GdipMultiplyWorldTransform(c.graphics, scale, MatrixOrderAppend));
    REAL e[6];
    WorldElements(c.graphics, e);
    EXPECT_FLOAT_EQ(100, e[4]);
    // A positive angle turns x towards y, clockwise on the screen.
    GpPointF p{1, 0};
    GdipRotateMatrix(scale, 90, MatrixOrderAppend);
    GdipTransformMatrixPoints(scale, &p, 1);
    EXPECT_NEAR(0, p.X, 1e-5);
    EXPECT_NEAR(2, p.Y, 1e-5);
    GdipDeleteMatrix(scale);
}

TEST(BackendGraphics, AntiAliasLeavesPartlyCoveredEdgePixels) {
    auto partial = [](SmoothingMode mode) {
        Canvas c(100, 100);
        EXPECT_EQ(Ok, GdipSetSmoothingMode(c.graphics, mode));
        Path path;
        GdipAddPathEllipse(path, 10.3f, 10.3f, 70, 60);
        c.Fill(path, kBlack);
        int n = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) {
                ARGB p = c.Pixel(x, y);
                n += p != kWhite && p != kBlack;
            }
        EXPECT_EQ(kBlack, c.Pixel(45, 40));
        return n;
    };
    EXPECT_EQ(0, partial(SmoothingModeHighSpeed));
    EXPECT_GT(partial(SmoothingModeAntiAlias), 20);
}

TEST(BackendGraphics, IntegerRectanglesHaveCrispEdgesEvenAntiAliased) {
    Canvas c(20, 20);
    GdipSetSmoothingMode(c.graphics, SmoothingModeAntiAlias);
    c.FillRect(5, 5, 10, 10, kBlack);
    EXPECT_EQ(100, c.CountNot(kWhite, 0, 0, 20, 20));
    EXPECT_EQ(0, c.CountNot(kBlack, 5, 5, 15, 15));
}

TEST(BackendGraphics, ClearSetsEveryPixelIgnoringTheTransform) {
    Canvas c(10, 10);
    GdipScaleWorldTransform(c.graphics, 0.5f, 0.5f, MatrixOrderPrepend);
    ASSERT_EQ(Ok, GdipGraphicsClear(c.graphics, 0x80FF0000));
    EXPECT_EQ(0, c.CountNot(0x80FF0000, 0, 0, 10, 10));
}

TEST(BackendGraphics, DrawImageCopiesAndStretches) {
    GpBitmap* image = nullptr;
    ASSERT_EQ(Ok, GdipCreateBitmapFromScan0(4, 2, 0, PixelFormat32bppARGB, nullptr, &image));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            GdipBitmapSetPixel(image, x, y, 0x00FFFFFF); // transparent white
    GdipBitmapSetPixel(image, 0, 0, kBlue);

    Canvas c(20, 20, kRed);
    ASSERT_EQ(Ok, GdipDrawImageRectI(c.graphics, image, 5, 5, 4, 2));
    EXPECT_EQ(kBlue, c.Pixel(5, 5));
    EXPECT_EQ(kRed, c.Pixel(6, 5)); // the window shows through
    EXPECT_EQ(kRed, c.Pixel(4, 5));

    // Twice the size: the blue pixel covers a 2 × 2 block's inside.
    Canvas big(20, 20, kRed);
    GdipSetSmoothingMode(big.graphics, SmoothingModeHighSpeed);
    ASSERT_EQ(Ok, GdipDrawImageRectI(big.graphics, image, 0, 0, 8, 4));
    EXPECT_EQ(kBlue, big.Pixel(0, 0));
    EXPECT_EQ(kRed, big.Pixel(7, 3));
    EXPECT_EQ(kRed, big.Pixel(9, 0));

    // A bitmap drawn onto itself, and a zero-sized destination.
    GpGraphics* own = nullptr;
    ASSERT_EQ(Ok, GdipGetImageGraphicsContext(image, &own));
    EXPECT_EQ(Ok, GdipDrawImageRectI(own, image, 1, 0, 4, 2));
    EXPECT_EQ(Ok, GdipDrawImageRectI(own, image, 0, 0, 0, 2));
    ARGB p = 0;
    GdipBitmapGetPixel(image, 1, 0, &p);
    EXPECT_EQ(kBlue, p);
    GdipDeleteGraphics(own);
    GdipDisposeImage(image);
}

TEST(BackendGraphics, DeviceContextOverBitmap) {
    GpBitmap* bitmap = nullptr;
    ASSERT_EQ(Ok, GdipCreateBitmapFromScan0(10, 10, 0, PixelFormat32bppARGB, nullptr, &bitmap));
    HDC dc = CreateBitmapDC(bitmap);
    ASSERT_NE(nullptr, dc);
    EXPECT_EQ(nullptr, CreateBitmapDC(nullptr));

    EXPECT_EQ(1, SaveDC(dc));
    EXPECT_EQ(2, SaveDC(dc));
    EXPECT_EQ(3, SaveDC(dc));
    EXPECT_TRUE(RestoreDC(dc, 2)); // drops saves 2 and 3
    EXPECT_FALSE(RestoreDC(dc, 2));
    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_FALSE(RestoreDC(dc, -1));

    GpGraphics* g = nullptr;
    ASSERT_EQ(Ok, GdipCreateFromHDC(dc, &g));
    GdipGraphicsClear(g, kBlue);
    ARGB p = 0;
    GdipBitmapGetPixel(bitmap, 3, 3, &p);
    EXPECT_EQ(kBlue, p);

    // The context keeps the pixels alive after the bitmap is gone.
    GdipDisposeImage(bitmap);
    EXPECT_EQ(Ok, GdipGraphicsClear(g, kRed));
    GdipDeleteGraphics(g);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(nullptr));
}

TEST(BackendGraphics, HostGraphicsClass) {
    // A status read clears it; a graphics made of nothing refuses to draw.
    Graphics broken(static_cast<GpImage*>(nullptr));
    EXPECT_EQ(nullptr, broken.GetNativeGraphics());
    EXPECT_EQ(InvalidParameter, broken.Clear(Color(0)));
    EXPECT_EQ(InvalidParameter, broken.GetLastStatus());
    EXPECT_EQ(Ok, broken.GetLastStatus());
}

// A band draws in the whole picture's world transform, only into its rows;
// rectangles outside it (a pixel of margin aside) are not visible there.
TEST(BackendGraphics, BandsDrawTheirRowsOfTheWholePicture) {
    Canvas c(20, 30, 0);
    GdipTranslateWorldTransform(c.graphics, 2, 1, MatrixOrderPrepend);
    GpGraphics* band = nullptr;
    ASSERT_EQ(Ok, KelCreateBandGraphics(c.graphics, 1, 3, &band)); // rows 10 to 19
    GpSolidFill* red = nullptr;
    GdipCreateSolidFill(0xFFFF0000, &red);
    EXPECT_EQ(Ok, GdipFillRectangle(band, red, 0, 0, 10, 28));
    EXPECT_EQ(0u, c.Pixel(5, 9));
    EXPECT_EQ(0xFFFF0000, c.Pixel(2, 10));
    EXPECT_EQ(0xFFFF0000, c.Pixel(11, 19));
    EXPECT_EQ(0u, c.Pixel(1, 15));
    EXPECT_EQ(0u, c.Pixel(5, 20));
    BOOL visible = FALSE;
    EXPECT_EQ(Ok, GdipIsVisibleRect(band, 0, 9.5f, 3, 1, &visible));
    EXPECT_TRUE(visible);
    EXPECT_EQ(Ok, GdipIsVisibleRect(band, 0, 20, 3, 8, &visible));
    EXPECT_FALSE(visible);
    EXPECT_EQ(Ok, GdipIsVisibleRect(band, 0, 0, 3, 7, &visible));
    EXPECT_FALSE(visible);
    GdipDeleteGraphics(band);
    GdipDeleteBrush(red);
    // No band of a graphics with a clip open, and none out of range.
    EXPECT_EQ(InvalidParameter, KelCreateBandGraphics(c.graphics, 3, 3, &band));
    GdipSetClipRect(c.graphics, 0, 0, 5, 5, CombineModeReplace);
    EXPECT_EQ(NotImplemented, KelCreateBandGraphics(c.graphics, 0, 2, &band));
    EXPECT_EQ(nullptr, band);
}

} // namespace
