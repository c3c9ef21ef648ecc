// Every back-end function given a null handle answers InvalidParameter.

#include "Canvas.h"

namespace {

TEST(BackendNullHandles, EveryFunctionRefusesNull) {
    REAL r = 0, elements[6];
    INT n = 0;
    BOOL b = FALSE;
    ARGB argb = 0;
    UINT u = 0;
    BYTE types[4];
    GpPointF pts[4] = {};
    GpRectF rectF;
    GpRect rect(0, 0, 10, 10);
    GraphicsState state = 0;
    SmoothingMode smoothing;
    FillMode fill;
    LineCap cap;
    LineJoin join;
    DashStyle dash;
    WrapMode wrap;
    BrushType brushType;
    PixelFormat format;
    BitmapData data{};
    const ARGB blend[2] = {0, 0};
    const REAL positions[2] = {0, 1};
    GpMatrix* matrix = nullptr;
    GpPath* path = nullptr;
    GpPen* pen = nullptr;
    GpBrush* brush = nullptr;
    GpBitmap* bitmap = nullptr;
    GpImage* image = nullptr;
    GpGraphics* graphics = nullptr;

    // Grouped by kind of object; a failure names the call's place in the list.
    const Status statuses[] = {
        GdiplusStartup(nullptr, nullptr, nullptr),
        // Graphics.
        GdipCreateFromHDC(nullptr, &graphics), GdipCreateFromHDC(nullptr, nullptr),
        GdipGetImageGraphicsContext(nullptr, &graphics), GdipDeleteGraphics(nullptr),
        GdipSaveGraphics(nullptr, &state), GdipRestoreGraphics(nullptr, 1),
        GdipSetWorldTransform(nullptr, nullptr), GdipGetWorldTransform(nullptr, nullptr),
        GdipResetWorldTransform(nullptr),
        GdipMultiplyWorldTransform(nullptr, nullptr, MatrixOrderPrepend),
        GdipTranslateWorldTransform(nullptr, 1, 1, MatrixOrderPrepend),
        GdipScaleWorldTransform(nullptr, 1, 1, MatrixOrderPrepend),
        GdipRotateWorldTransform(nullptr, 1, MatrixOrderPrepend),
        GdipSetSmoothingMode(nullptr, SmoothingModeAntiAlias),
        GdipGetSmoothingMode(nullptr, &smoothing), GdipGraphicsClear(nullptr, 0),
        // Matrices.
        GdipCreateMatrix(nullptr), GdipCreateMatrix2(1, 0, 0, 1, 0, 0, nullptr),
        GdipCloneMatrix(nullptr, &matrix), GdipDeleteMatrix(nullptr),
        GdipSetMatrixElements(nullptr, 1, 0, 0, 1, 0, 0), GdipGetMatrixElements(nullptr, elements),
        GdipMultiplyMatrix(nullptr, nullptr, MatrixOrderPrepend),
        GdipTranslateMatrix(nullptr, 1, 1, MatrixOrderPrepend),
        GdipScaleMatrix(nullptr, 1, 1, MatrixOrderPrepend),
        GdipRotateMatrix(nullptr, 1, MatrixOrderPrepend), GdipInvertMatrix(nullptr),
        GdipTransformMatrixPoints(nullptr, pts, 1), GdipIsMatrixInvertible(nullptr, &b),
        GdipIsMatrixIdentity(nullptr, &b),
        // Paths.
        GdipCreatePath(FillModeAlternate, nullptr), GdipClonePath(nullptr, &path),
        GdipDeletePath(nullptr), GdipResetPath(nullptr), GdipGetPointCount(nullptr, &n),
        GdipGetPathTypes(nullptr, types, 4), GdipGetPathPoints(nullptr, pts, 4),
        GdipGetPathFillMode(nullptr, &fill), GdipSetPathFillMode(nullptr, FillModeWinding),
        GdipStartPathFigure(nullptr), GdipClosePathFigure(nullptr), GdipClosePathFigures(nullptr),
        GdipAddPathLine(nullptr, 0, 0, 1, 1), GdipAddPathLine2(nullptr, pts, 2),
        GdipAddPathBezier(nullptr, 0, 0, 1, 1, 2, 2, 3, 3), GdipAddPathBeziers(nullptr, pts, 4),
        GdipAddPathArc(nullptr, 0, 0, 10, 10, 0, 90), GdipAddPathEllipse(nullptr, 0, 0, 10, 10),
        GdipAddPathRectangle(nullptr, 0, 0, 10, 10), GdipAddPathRectangleI(nullptr, 0, 0, 10, 10),
        GdipAddPathPolygon(nullptr, pts, 3), GdipAddPathPath(nullptr, nullptr, FALSE),
        GdipTransformPath(nullptr, nullptr),
        GdipGetPathWorldBounds(nullptr, &rectF, nullptr, nullptr),
        // Brushes.
        GdipCreateSolidFill(0, nullptr), GdipGetSolidFillColor(nullptr, &argb),
        GdipSetSolidFillColor(nullptr, 0), GdipCloneBrush(nullptr, &brush),
        GdipDeleteBrush(nullptr), GdipGetBrushType(nullptr, &brushType),
        GdipCreateLineBrushFromRect(nullptr, 0, 0, LinearGradientModeHorizontal, WrapModeTile,
                                    nullptr),
        GdipCreateLineBrushFromRectI(&rect, 0, 0, LinearGradientModeHorizontal, WrapModeTile,
                                     nullptr),
        GdipGetLineRect(nullptr, &rectF), GdipGetLineRectI(nullptr, &rect),
        GdipGetLineColors(nullptr, &argb), GdipSetLineWrapMode(nullptr, WrapModeTile),
        GdipGetLineWrapMode(nullptr, &wrap), GdipSetLinePresetBlend(nullptr, blend, positions, 2),
        GdipGetLinePresetBlendCount(nullptr, &n),
        GdipGetLinePresetBlend(nullptr, nullptr, nullptr, 2),
        GdipCreateLineBrush(nullptr, nullptr, 0, 0, WrapModeTile, nullptr),
        GdipCreateLineBrush(pts, pts + 1, 0, 0, WrapModeTile, nullptr),
        GdipSetLineTransform(nullptr, nullptr), GdipGetLineTransform(nullptr, nullptr),
        KelSetGradientSpread(nullptr, KelSpreadPad), KelGetGradientSpread(nullptr, nullptr),
        GdipCreatePathGradientFromPath(nullptr, nullptr),
        GdipSetPathGradientWrapMode(nullptr, WrapModeTile),
        GdipGetPathGradientWrapMode(nullptr, &wrap), GdipSetPathGradientCenterColor(nullptr, 0),
        GdipGetPathGradientCenterColor(nullptr, &argb),
        GdipGetPathGradientCenterPoint(nullptr, pts), GdipGetPathGradientRect(nullptr, &rectF),
        GdipSetPathGradientPresetBlend(nullptr, blend, positions, 2),
        GdipGetPathGradientPresetBlendCount(nullptr, &n),
        GdipGetPathGradientPresetBlend(nullptr, nullptr, nullptr, 2),
        GdipSetPathGradientCenterPoint(nullptr, pts),
        GdipSetPathGradientTransform(nullptr, nullptr),
        GdipGetPathGradientTransform(nullptr, nullptr),
        // Pens.
        GdipCreatePen1(0, 1, UnitWorld, nullptr), GdipClonePen(nullptr, &pen),
        GdipDeletePen(nullptr), GdipSetPenWidth(nullptr, 1), GdipGetPenWidth(nullptr, &r),
        GdipSetPenColor(nullptr, 0), GdipGetPenColor(nullptr, &argb),
        GdipSetPenStartCap(nullptr, LineCapRound), GdipGetPenStartCap(nullptr, &cap),
        GdipSetPenEndCap(nullptr, LineCapRound), GdipGetPenEndCap(nullptr, &cap),
        GdipSetPenLineJoin(nullptr, LineJoinRound), GdipGetPenLineJoin(nullptr, &join),
        GdipSetPenMiterLimit(nullptr, 4), GdipGetPenMiterLimit(nullptr, &r),
        GdipSetPenDashStyle(nullptr, DashStyleDash), GdipGetPenDashStyle(nullptr, &dash),
        GdipSetPenDashOffset(nullptr, 1), GdipGetPenDashOffset(nullptr, &r),
        GdipSetPenDashArray(nullptr, positions + 1, 1), GdipGetPenDashCount(nullptr, &n),
        GdipGetPenDashArray(nullptr, &r, 1), GdipCreatePen2(nullptr, 1, UnitWorld, &pen),
        GdipSetPenDashCap197819(nullptr, DashCapRound), GdipGetPenDashCap197819(nullptr, nullptr),
        // Painting.
        GdipFillPath(nullptr, nullptr, nullptr), GdipDrawPath(nullptr, nullptr, nullptr),
        GdipFillRectangle(nullptr, nullptr, 0, 0, 1, 1),
        GdipFillRectangleI(nullptr, nullptr, 0, 0, 1, 1),
        GdipDrawLine(nullptr, nullptr, 0, 0, 1, 1),
        GdipDrawImageRectI(nullptr, nullptr, 0, 0, 1, 1),
        GdipDrawImageRect(nullptr, nullptr, 0, 0, 1, 1),
        // Images.
        GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat32bppARGB, nullptr, nullptr),
        GdipCloneBitmapAreaI(0, 0, 1, 1, PixelFormat32bppARGB, nullptr, &bitmap),
        GdipCloneImage(nullptr, &image), GdipDisposeImage(nullptr), GdipGetImageWidth(nullptr, &u),
        GdipGetImageHeight(nullptr, &u), GdipGetImagePixelFormat(nullptr, &format),
        GdipBitmapGetPixel(nullptr, 0, 0, &argb), GdipBitmapSetPixel(nullptr, 0, 0, 0),
        GdipBitmapLockBits(nullptr, nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data),
        GdipBitmapUnlockBits(nullptr, &data), GdipCreateBitmapFromFile(nullptr, &bitmap),
        GdipSaveImageToFile(nullptr, nullptr, nullptr, nullptr),
        GdipSaveImageToPngFileA(nullptr, "x.png"), GdipCreateBitmapFromPngFileA(nullptr, &bitmap)};
    for (size_t i = 0; i < sizeof statuses / sizeof statuses[0]; ++i)
        EXPECT_EQ(InvalidParameter, statuses[i]) << "call number " << i;
    EXPECT_EQ(nullptr, graphics);
    EXPECT_EQ(nullptr, bitmap);
}

TEST(BackendNullHandles, NullArgumentsAndHandlesOfOtherKindsAreRefused) {
    Canvas c(4, 4);
    Path path;
    GpPen* pen = nullptr;
    GdipCreatePen1(kRed, 1, UnitWorld, &pen);
    GpSolidFill* fill = nullptr;
    GdipCreateSolidFill(kRed, &fill);
    GpMatrix* matrix = nullptr;
    GdipCreateMatrix(&matrix);
    EXPECT_EQ(InvalidParameter, GdipFillPath(c.graphics, fill, nullptr));
    EXPECT_EQ(InvalidParameter, GdipFillPath(c.graphics, nullptr, path));
    EXPECT_EQ(InvalidParameter, GdipDrawPath(c.graphics, nullptr, path));
    EXPECT_EQ(InvalidParameter, GdipDrawPath(c.graphics, pen, nullptr));
    EXPECT_EQ(InvalidParameter, GdipSaveGraphics(c.graphics, nullptr));
    EXPECT_EQ(InvalidParameter,
              GdipMultiplyWorldTransform(c.graphics, nullptr, MatrixOrderPrepend));
    EXPECT_EQ(InvalidParameter, GdipDrawImageRectI(c.graphics, nullptr, 0, 0, 1, 1));
    EXPECT_EQ(InvalidParameter, GdipGetSolidFillColor(fill, nullptr));
    EXPECT_EQ(InvalidParameter, GdipGetPenWidth(pen, nullptr));
    EXPECT_EQ(InvalidParameter, GdipGetPointCount(path, nullptr));
    EXPECT_EQ(InvalidParameter, GdipBitmapGetPixel(c.bitmap, 0, 0, nullptr));
    EXPECT_EQ(InvalidParameter, GdipDeletePath(reinterpret_cast<GpPath*>(pen)));
    ARGB two[2];
    EXPECT_EQ(InvalidParameter, GdipGetLineColors(reinterpret_cast<GpLineGradient*>(fill), two));
    for (void* other : {static_cast<void*>(pen), static_cast<void*>(path.p),
                        static_cast<void*>(matrix), static_cast<void*>(c.bitmap)}) {
        auto* brush = static_cast<GpBrush*>(other);
        ARGB colors[2] = {0, 0};
        REAL positions[2] = {0, 1};
        GpBrush* copy = nullptr;
        GpBrushType type;
        GpPen* made = nullptr;
        const Status statuses[] = {
            GdipCloneBrush(brush, &copy),
            GdipDeleteBrush(brush),
            GdipGetBrushType(brush, &type),
            GdipGetSolidFillColor(static_cast<GpSolidFill*>(other), colors),
            GdipGetLineColors(static_cast<GpLineGradient*>(other), colors),
            GdipSetLinePresetBlend(static_cast<GpLineGradient*>(other), colors, positions, 2),
            GdipSetPathGradientWrapMode(static_cast<GpPathGradient*>(other), WrapModeTile),
            GdipFillPath(c.graphics, brush, path),
            GdipCreatePen2(brush, 1, UnitWorld, &made),
            KelSetGradientSpread(brush, KelSpreadPad),
        };
        for (size_t i = 0; i < sizeof statuses / sizeof statuses[0]; ++i)
            EXPECT_EQ(InvalidParameter, statuses[i]) << "call " << i;
    }
    // Nothing was drawn, and every object survived.
    EXPECT_EQ(kWhite, c.Pixel(1, 1));
    EXPECT_EQ(Ok, GdipDrawPath(c.graphics, pen, path));
    GdipDeleteMatrix(matrix);
    GdipDeleteBrush(fill);
    GdipDeletePen(pen);
}

} // namespace
