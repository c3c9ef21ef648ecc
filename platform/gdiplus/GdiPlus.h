#pragma once

// The GDI+ flat interface subset the library draws with, implemented over Cairo
// (and, for text, FreeType, fontconfig and HarfBuzz). Names, argument order,
// status codes and enum values are GDI+'s; everything lives in namespace
// Gdiplus. Handles are opaque pointers: a null handle, or a handle of the wrong
// kind, gives InvalidParameter and never a crash.
//
// Behaviour worth knowing:
// - GdiplusStartup is optional here: every function works without it.
// - Coordinates are floats in world units; pixel squares span integer
//   coordinates, so an axis-aligned integer rectangle has crisp edges.
// - Paths keep GDI+'s figure model: lines, Béziers and arcs join the open
//   figure; after GdipClosePathFigure (or GdipStartPathFigure) the next
//   addition starts a new figure; ellipses and rectangles are closed figures
//   of their own. Non-finite coordinates are refused with InvalidParameter.
// - Bitmaps hold straight-alpha ARGB as seen through GdipBitmapGetPixel /
//   GdipBitmapSetPixel; a set colour with alpha 0 reads back unchanged.
// - A singular or non-finite world transform is refused with InvalidParameter
//   and hides all drawing until the GdipRestoreGraphics of the enclosing save.

#include "interface/KelSvgExport.h"
#include "platform/win32/Win32.h"

#define GDIPCONST const
#define WINGDIPAPI

namespace Gdiplus {

using ::BOOL;
using ::BYTE;
using ::CLSID;
using ::DWORD;
using ::INT;
using ::UINT;
using ::UINT32;
using ::ULONG_PTR;
using ::WCHAR;
using ::WORD;

typedef float REAL;
typedef DWORD ARGB;
typedef WORD LANGID;

// Every enumeration has a fixed int type: a caller may pass any number, and
// the functions check the value themselves.
enum Status : int {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
    ProfileNotFound = 21
};
typedef Status GpStatus;

enum FillMode : int { FillModeAlternate = 0, FillModeWinding = 1 };
typedef FillMode GpFillMode;

enum QualityMode : int {
    QualityModeInvalid = -1,
    QualityModeDefault = 0,
    QualityModeLow = 1,
    QualityModeHigh = 2
};

enum SmoothingMode : int {
    SmoothingModeInvalid = QualityModeInvalid,
    SmoothingModeDefault = QualityModeDefault,
    SmoothingModeHighSpeed = QualityModeLow,
    SmoothingModeHighQuality = QualityModeHigh,
    SmoothingModeNone = 3,
    SmoothingModeAntiAlias = 4,
    SmoothingModeAntiAlias8x4 = SmoothingModeAntiAlias,
    SmoothingModeAntiAlias8x8 = 5
};

enum MatrixOrder : int { MatrixOrderPrepend = 0, MatrixOrderAppend = 1 };
typedef MatrixOrder GpMatrixOrder;

enum Unit : int {
    UnitWorld = 0,
    UnitDisplay = 1,
    UnitPixel = 2,
    UnitPoint = 3,
    UnitInch = 4,
    UnitDocument = 5,
    UnitMillimeter = 6
};
typedef Unit GpUnit;

enum LineCap : int {
    LineCapFlat = 0,
    LineCapSquare = 1,
    LineCapRound = 2,
    LineCapTriangle = 3,
    LineCapNoAnchor = 0x10,
    LineCapSquareAnchor = 0x11,
    LineCapRoundAnchor = 0x12,
    LineCapDiamondAnchor = 0x13,
    LineCapArrowAnchor = 0x14,
    LineCapCustom = 0xff
};
typedef LineCap GpLineCap;

enum DashCap : int { DashCapFlat = 0, DashCapRound = 2, DashCapTriangle = 3 };
typedef DashCap GpDashCap;

enum LineJoin : int {
    LineJoinMiter = 0,
    LineJoinBevel = 1,
    LineJoinRound = 2,
    LineJoinMiterClipped = 3
};
typedef LineJoin GpLineJoin;

enum DashStyle : int {
    DashStyleSolid,
    DashStyleDash,
    DashStyleDot,
    DashStyleDashDot,
    DashStyleDashDotDot,
    DashStyleCustom
};
typedef DashStyle GpDashStyle;

enum WrapMode : int {
    WrapModeTile = 0,
    WrapModeTileFlipX = 1,
    WrapModeTileFlipY = 2,
    WrapModeTileFlipXY = 3,
    WrapModeClamp = 4
};
typedef WrapMode GpWrap;

enum LinearGradientMode : int {
    LinearGradientModeHorizontal = 0,
    LinearGradientModeVertical = 1,
    LinearGradientModeForwardDiagonal = 2,
    LinearGradientModeBackwardDiagonal = 3
};

enum BrushType : int {
    BrushTypeSolidColor = 0,
    BrushTypeHatchFill = 1,
    BrushTypeTextureFill = 2,
    BrushTypePathGradient = 3,
    BrushTypeLinearGradient = 4
};
typedef BrushType GpBrushType;

enum PathPointType : int {
    PathPointTypeStart = 0,
    PathPointTypeLine = 1,
    PathPointTypeBezier = 3,
    PathPointTypePathTypeMask = 0x07,
    PathPointTypeDashMode = 0x10,
    PathPointTypePathMarker = 0x20,
    PathPointTypeCloseSubpath = 0x80,
    PathPointTypeBezier3 = 3
};

enum StringAlignment : int {
    StringAlignmentNear = 0,
    StringAlignmentCenter = 1,
    StringAlignmentFar = 2
};

enum FontStyle : int {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleBoldItalic = 3,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8
};

enum StringFormatFlags : int {
    StringFormatFlagsDirectionRightToLeft = 0x00000001,
    StringFormatFlagsDirectionVertical = 0x00000002,
    StringFormatFlagsNoFitBlackBox = 0x00000004,
    StringFormatFlagsDisplayFormatControl = 0x00000020,
    StringFormatFlagsNoFontFallback = 0x00000400,
    StringFormatFlagsMeasureTrailingSpaces = 0x00000800,
    StringFormatFlagsNoWrap = 0x00001000,
    StringFormatFlagsLineLimit = 0x00002000,
    StringFormatFlagsNoClip = 0x00004000
};

enum InterpolationMode : int {
    InterpolationModeInvalid = QualityModeInvalid,
    InterpolationModeDefault = QualityModeDefault,
    InterpolationModeLowQuality = QualityModeLow,
    InterpolationModeHighQuality = QualityModeHigh,
    InterpolationModeBilinear = 3,
    InterpolationModeBicubic = 4,
    InterpolationModeNearestNeighbor = 5,
    InterpolationModeHighQualityBilinear = 6,
    InterpolationModeHighQualityBicubic = 7
};

enum CompositingMode : int { CompositingModeSourceOver = 0, CompositingModeSourceCopy = 1 };

enum CombineMode : int {
    CombineModeReplace = 0,
    CombineModeIntersect = 1,
    CombineModeUnion = 2,
    CombineModeXor = 3,
    CombineModeExclude = 4,
    CombineModeComplement = 5
};

enum ImageLockMode : int {
    ImageLockModeRead = 1,
    ImageLockModeWrite = 2,
    ImageLockModeUserInputBuf = 4
};

typedef INT PixelFormat;
#define PixelFormatIndexed 0x00010000
#define PixelFormatGDI 0x00020000
#define PixelFormatAlpha 0x00040000
#define PixelFormatPAlpha 0x00080000
#define PixelFormatExtendedColors 0x00100000
#define PixelFormatCanonical 0x00200000
#define PixelFormatUndefined 0
#define PixelFormatDontCare 0
#define PixelFormat32bppRGB (9 | (32 << 8) | PixelFormatGDI)
#define PixelFormat32bppARGB                                                                       \
    (10 | (32 << 8) | PixelFormatAlpha | PixelFormatGDI | PixelFormatCanonical)
#define PixelFormat32bppPARGB                                                                      \
    (11 | (32 << 8) | PixelFormatAlpha | PixelFormatPAlpha | PixelFormatGDI)

typedef UINT GraphicsState;
typedef UINT GraphicsContainer;

// ---- Geometry records ----------------------------------------------------

class PointF {
public:
    PointF() : X(0), Y(0) {}
    PointF(REAL x, REAL y) : X(x), Y(y) {}
    REAL X, Y;
};

class Point {
public:
    Point() : X(0), Y(0) {}
    Point(INT x, INT y) : X(x), Y(y) {}
    INT X, Y;
};

class RectF {
public:
    RectF() : X(0), Y(0), Width(0), Height(0) {}
    RectF(REAL x, REAL y, REAL width, REAL height) : X(x), Y(y), Width(width), Height(height) {}
    REAL X, Y, Width, Height;
};

class Rect {
public:
    Rect() : X(0), Y(0), Width(0), Height(0) {}
    Rect(INT x, INT y, INT width, INT height) : X(x), Y(y), Width(width), Height(height) {}
    INT X, Y, Width, Height;
};

typedef PointF GpPointF;
typedef Point GpPoint;
typedef RectF GpRectF;
typedef Rect GpRect;

// ARGB colour value with GDI+'s helpers.
class Color {
public:
    Color() : Argb(0xFF000000) {}
    Color(ARGB argb) : Argb(argb) {}
    Color(BYTE r, BYTE g, BYTE b) : Argb(MakeARGB(255, r, g, b)) {}
    Color(BYTE a, BYTE r, BYTE g, BYTE b) : Argb(MakeARGB(a, r, g, b)) {}
    BYTE GetA() const { return BYTE(Argb >> 24); }
    BYTE GetR() const { return BYTE(Argb >> 16); }
    BYTE GetG() const { return BYTE(Argb >> 8); }
    BYTE GetB() const { return BYTE(Argb); }
    ARGB GetValue() const { return Argb; }
    void SetValue(ARGB argb) { Argb = argb; }
    static ARGB MakeARGB(BYTE a, BYTE r, BYTE g, BYTE b) {
        return (ARGB(a) << 24) | (ARGB(r) << 16) | (ARGB(g) << 8) | ARGB(b);
    }

protected:
    ARGB Argb;
};

// Pixels of a locked bitmap area (GdipBitmapLockBits).
class BitmapData {
public:
    UINT Width;
    UINT Height;
    INT Stride;
    Gdiplus::PixelFormat PixelFormat;
    void* Scan0;
    UINT_PTR Reserved;
};

// ---- Start-up ------------------------------------------------------------

enum DebugEventLevel : int { DebugEventLevelFatal, DebugEventLevelWarning };
typedef void (*DebugEventProc)(DebugEventLevel level, CHAR* message);
typedef Status (*NotificationHookProc)(ULONG_PTR* token);
typedef void (*NotificationUnhookProc)(ULONG_PTR token);

struct GdiplusStartupInput {
    UINT32 GdiplusVersion;
    DebugEventProc DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;

    GdiplusStartupInput(DebugEventProc debugEventCallback = nullptr,
                        BOOL suppressBackgroundThread = FALSE, BOOL suppressExternalCodecs = FALSE)
        : GdiplusVersion(1), DebugEventCallback(debugEventCallback),
          SuppressBackgroundThread(suppressBackgroundThread),
          SuppressExternalCodecs(suppressExternalCodecs) {}
};

struct GdiplusStartupOutput {
    NotificationHookProc NotificationHook;
    NotificationUnhookProc NotificationUnhook;
};

// ---- Handle types --------------------------------------------------------
// Brushes and images form GDI+'s class hierarchies so that a GpLineGradient*
// converts to GpBrush* and a GpBitmap* to GpImage*. The classes carry no public
// data; the library derives its own objects from them.

class KELSVG_API GpBrush {
public:
    GpBrush(const GpBrush&) = delete;
    GpBrush& operator=(const GpBrush&) = delete;
    virtual ~GpBrush();

protected:
    GpBrush();
};
class KELSVG_API GpSolidFill : public GpBrush {
protected:
    GpSolidFill() = default;
};
class KELSVG_API GpLineGradient : public GpBrush {
protected:
    GpLineGradient() = default;
};
class KELSVG_API GpPathGradient : public GpBrush {
protected:
    GpPathGradient() = default;
};
class KELSVG_API GpTexture : public GpBrush {
protected:
    GpTexture() = default;
};

class KELSVG_API GpImage {
public:
    GpImage(const GpImage&) = delete;
    GpImage& operator=(const GpImage&) = delete;
    virtual ~GpImage();

protected:
    GpImage();
};
class KELSVG_API GpBitmap : public GpImage {
protected:
    GpBitmap() = default;
};

class GpGraphics;
class GpImageAttributes;
class GpMatrix;
class GpPath;
class GpPen;
class GpFont;
class GpFontFamily;
class GpFontCollection;
class GpStringFormat;

struct EncoderParameters;

// Asked now and then while an image is drawn; true abandons the drawing.
typedef BOOL (*ImageAbort)(void* data);
typedef ImageAbort DrawImageAbort;

// Encoder identifier of PNG for GdipSaveImageToFile.
extern KELSVG_API const CLSID PngEncoderClsid;

// ---- Flat functions ------------------------------------------------------

extern "C" {

// Start-up. Version must be 1. Optional on this platform.
KELSVG_API Status WINGDIPAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input,
                                            GdiplusStartupOutput* output);
KELSVG_API void WINGDIPAPI GdiplusShutdown(ULONG_PTR token);

// Memory: plain allocation (null on failure).
KELSVG_API void* WINGDIPAPI GdipAlloc(size_t size);
KELSVG_API void WINGDIPAPI GdipFree(void* ptr);

// Graphics contexts.
KELSVG_API Status WINGDIPAPI GdipCreateFromHDC(HDC hdc, GpGraphics** graphics);
KELSVG_API Status WINGDIPAPI GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);
KELSVG_API Status WINGDIPAPI GdipDeleteGraphics(GpGraphics* graphics);
KELSVG_API Status WINGDIPAPI GdipSaveGraphics(GpGraphics* graphics, GraphicsState* state);
// Whether any part of the rectangle, in world coordinates, may show within
// the graphics' clip and target (a pixel of margin around it counts).
KELSVG_API Status WINGDIPAPI GdipIsVisibleRect(GpGraphics* graphics, REAL x, REAL y, REAL width,
                                               REAL height, BOOL* result);
KELSVG_API Status WINGDIPAPI GdipRestoreGraphics(GpGraphics* graphics, GraphicsState state);
KELSVG_API Status WINGDIPAPI GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
KELSVG_API Status WINGDIPAPI GdipGetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
KELSVG_API Status WINGDIPAPI GdipResetWorldTransform(GpGraphics* graphics);
KELSVG_API Status WINGDIPAPI GdipMultiplyWorldTransform(GpGraphics* graphics,
                                                        GDIPCONST GpMatrix* matrix,
                                                        GpMatrixOrder order);
KELSVG_API Status WINGDIPAPI GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy,
                                                         GpMatrixOrder order);
KELSVG_API Status WINGDIPAPI GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy,
                                                     GpMatrixOrder order);
KELSVG_API Status WINGDIPAPI GdipRotateWorldTransform(GpGraphics* graphics, REAL angle,
                                                      GpMatrixOrder order);
KELSVG_API Status WINGDIPAPI GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode);
KELSVG_API Status WINGDIPAPI GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode);
KELSVG_API Status WINGDIPAPI GdipGraphicsClear(GpGraphics* graphics, ARGB color);
// How images are sampled when drawn other than pixel for pixel: nearest
// neighbour, bilinear (LowQuality, Bilinear, HighQualityBilinear), or the
// default, a smoother filter that also averages when shrinking. Saved and
// restored with the graphics state.
KELSVG_API Status WINGDIPAPI GdipSetInterpolationMode(GpGraphics* graphics,
                                                      InterpolationMode interpolationMode);
KELSVG_API Status WINGDIPAPI GdipGetInterpolationMode(GpGraphics* graphics,
                                                      InterpolationMode* interpolationMode);

// Matrices (elements m11, m12, m21, m22, dx, dy: x' = m11·x + m21·y + dx,
// y' = m12·x + m22·y + dy).
KELSVG_API Status WINGDIPAPI GdipCreateMatrix(GpMatrix** matrix);
KELSVG_API Status WINGDIPAPI GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx,
                                               REAL dy, GpMatrix** matrix);
KELSVG_API Status WINGDIPAPI GdipCloneMatrix(GpMatrix* matrix, GpMatrix** cloneMatrix);
KELSVG_API Status WINGDIPAPI GdipDeleteMatrix(GpMatrix* matrix);
KELSVG_API Status WINGDIPAPI GdipSetMatrixElements(GpMatrix* matrix, REAL m11, REAL m12, REAL m21,
                                                   REAL m22, REAL dx, REAL dy);
KELSVG_API Status WINGDIPAPI GdipGetMatrixElements(GDIPCONST GpMatrix* matrix, REAL* matrixOut);
KELSVG_API Status WINGDIPAPI GdipMultiplyMatrix(GpMatrix* matrix, GpMatrix* matrix2,
                                                GpMatrixOrder order);
KELSVG_API Status WINGDIPAPI GdipTranslateMatrix(GpMatrix* matrix, REAL offsetX, REAL offsetY,
                                                 GpMatrixOrder order);
KELSVG_API Status WINGDIPAPI GdipScaleMatrix(GpMatrix* matrix, REAL scaleX, REAL scaleY,
                                             GpMatrixOrder order);
KELSVG_API Status WINGDIPAPI GdipRotateMatrix(GpMatrix* matrix, REAL angle, GpMatrixOrder order);
KELSVG_API Status WINGDIPAPI GdipInvertMatrix(GpMatrix* matrix);
KELSVG_API Status WINGDIPAPI GdipTransformMatrixPoints(GpMatrix* matrix, GpPointF* pts, INT count);
KELSVG_API Status WINGDIPAPI GdipIsMatrixInvertible(GDIPCONST GpMatrix* matrix, BOOL* result);
KELSVG_API Status WINGDIPAPI GdipIsMatrixIdentity(GDIPCONST GpMatrix* matrix, BOOL* result);

// Paths.
KELSVG_API Status WINGDIPAPI GdipCreatePath(GpFillMode brushMode, GpPath** path);
KELSVG_API Status WINGDIPAPI GdipClonePath(GpPath* path, GpPath** clonePath);
KELSVG_API Status WINGDIPAPI GdipDeletePath(GpPath* path);
KELSVG_API Status WINGDIPAPI GdipResetPath(GpPath* path);
KELSVG_API Status WINGDIPAPI GdipGetPointCount(GpPath* path, INT* count);
KELSVG_API Status WINGDIPAPI GdipGetPathTypes(GpPath* path, BYTE* types, INT count);
KELSVG_API Status WINGDIPAPI GdipGetPathPoints(GpPath* path, GpPointF* points, INT count);
KELSVG_API Status WINGDIPAPI GdipGetPathFillMode(GpPath* path, GpFillMode* fillmode);
KELSVG_API Status WINGDIPAPI GdipSetPathFillMode(GpPath* path, GpFillMode fillmode);
KELSVG_API Status WINGDIPAPI GdipStartPathFigure(GpPath* path);
KELSVG_API Status WINGDIPAPI GdipClosePathFigure(GpPath* path);
KELSVG_API Status WINGDIPAPI GdipClosePathFigures(GpPath* path);
KELSVG_API Status WINGDIPAPI GdipAddPathLine(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2);
KELSVG_API Status WINGDIPAPI GdipAddPathLine2(GpPath* path, GDIPCONST GpPointF* points, INT count);
KELSVG_API Status WINGDIPAPI GdipAddPathBezier(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2,
                                               REAL x3, REAL y3, REAL x4, REAL y4);
// count = 3·n + 1 points: a start point and n curves.
KELSVG_API Status WINGDIPAPI GdipAddPathBeziers(GpPath* path, GDIPCONST GpPointF* points,
                                                INT count);
// Angles in degrees, clockwise from the x axis; sweep clamped to ±360.
KELSVG_API Status WINGDIPAPI GdipAddPathArc(GpPath* path, REAL x, REAL y, REAL width, REAL height,
                                            REAL startAngle, REAL sweepAngle);
KELSVG_API Status WINGDIPAPI GdipAddPathEllipse(GpPath* path, REAL x, REAL y, REAL width,
                                                REAL height);
KELSVG_API Status WINGDIPAPI GdipAddPathRectangle(GpPath* path, REAL x, REAL y, REAL width,
                                                  REAL height);
KELSVG_API Status WINGDIPAPI GdipAddPathRectangleI(GpPath* path, INT x, INT y, INT width,
                                                   INT height);
KELSVG_API Status WINGDIPAPI GdipAddPathPolygon(GpPath* path, GDIPCONST GpPointF* points,
                                                INT count);
KELSVG_API Status WINGDIPAPI GdipAddPathPath(GpPath* path, GDIPCONST GpPath* addingPath,
                                             BOOL connect);
KELSVG_API Status WINGDIPAPI GdipTransformPath(GpPath* path, GpMatrix* matrix);
// Bounds of the path's points (curve control points included) after matrix
// (may be null); the pen, when given, widens them by half its width.
KELSVG_API Status WINGDIPAPI GdipGetPathWorldBounds(GpPath* path, GpRectF* bounds,
                                                    GDIPCONST GpMatrix* matrix,
                                                    GDIPCONST GpPen* pen);

// Brushes.
KELSVG_API Status WINGDIPAPI GdipCreateSolidFill(ARGB color, GpSolidFill** brush);
KELSVG_API Status WINGDIPAPI GdipGetSolidFillColor(GpSolidFill* brush, ARGB* color);
KELSVG_API Status WINGDIPAPI GdipSetSolidFillColor(GpSolidFill* brush, ARGB color);
KELSVG_API Status WINGDIPAPI GdipCloneBrush(GpBrush* brush, GpBrush** cloneBrush);
KELSVG_API Status WINGDIPAPI GdipDeleteBrush(GpBrush* brush);
KELSVG_API Status WINGDIPAPI GdipGetBrushType(GpBrush* brush, GpBrushType* type);

// Linear gradients: a rectangle of zero width or height gives OutOfMemory and
// a null brush. WrapModeClamp is refused.
KELSVG_API Status WINGDIPAPI GdipCreateLineBrushFromRect(GDIPCONST GpRectF* rect, ARGB color1,
                                                         ARGB color2, LinearGradientMode mode,
                                                         GpWrap wrapMode,
                                                         GpLineGradient** lineGradient);
KELSVG_API Status WINGDIPAPI GdipCreateLineBrushFromRectI(GDIPCONST GpRect* rect, ARGB color1,
                                                          ARGB color2, LinearGradientMode mode,
                                                          GpWrap wrapMode,
                                                          GpLineGradient** lineGradient);
// From point1 (color1) to point2 (color2), constant across the line between
// them; equal points give OutOfMemory and a null brush. WrapModeTile repeats
// along the line, the flipping modes mirror.
KELSVG_API Status WINGDIPAPI GdipCreateLineBrush(GDIPCONST GpPointF* point1,
                                                 GDIPCONST GpPointF* point2, ARGB color1,
                                                 ARGB color2, GpWrap wrapMode,
                                                 GpLineGradient** lineGradient);
KELSVG_API Status WINGDIPAPI GdipGetLineRect(GpLineGradient* brush, GpRectF* rect);
KELSVG_API Status WINGDIPAPI GdipGetLineRectI(GpLineGradient* brush, GpRect* rect);
KELSVG_API Status WINGDIPAPI GdipGetLineColors(GpLineGradient* brush, ARGB* colors);
KELSVG_API Status WINGDIPAPI GdipSetLineWrapMode(GpLineGradient* brush, GpWrap wrapmode);
KELSVG_API Status WINGDIPAPI GdipGetLineWrapMode(GpLineGradient* brush, GpWrap* wrapmode);
// Preset blends: at least two entries, positions starting at 0 and ending at 1.
KELSVG_API Status WINGDIPAPI GdipSetLinePresetBlend(GpLineGradient* brush, GDIPCONST ARGB* blend,
                                                    GDIPCONST REAL* positions, INT count);
KELSVG_API Status WINGDIPAPI GdipGetLinePresetBlendCount(GpLineGradient* brush, INT* count);
KELSVG_API Status WINGDIPAPI GdipGetLinePresetBlend(GpLineGradient* brush, ARGB* blend,
                                                    REAL* positions, INT count);
// The brush transform maps the brush's own space into world space; a singular
// or non-finite matrix is refused.
KELSVG_API Status WINGDIPAPI GdipSetLineTransform(GpLineGradient* brush,
                                                  GDIPCONST GpMatrix* matrix);
KELSVG_API Status WINGDIPAPI GdipGetLineTransform(GpLineGradient* brush, GpMatrix* matrix);

// Path gradients: blend position 0 on the path's outline, 1 at its centre (the
// centre of an ellipse, else the mean of the outline's points). Default wrap
// mode clamp, centre and outline colours white.
KELSVG_API Status WINGDIPAPI GdipCreatePathGradientFromPath(GDIPCONST GpPath* path,
                                                            GpPathGradient** polyGradient);
KELSVG_API Status WINGDIPAPI GdipSetPathGradientWrapMode(GpPathGradient* brush, GpWrap wrapmode);
KELSVG_API Status WINGDIPAPI GdipGetPathGradientWrapMode(GpPathGradient* brush, GpWrap* wrapmode);
KELSVG_API Status WINGDIPAPI GdipSetPathGradientCenterColor(GpPathGradient* brush, ARGB colors);
KELSVG_API Status WINGDIPAPI GdipGetPathGradientCenterColor(GpPathGradient* brush, ARGB* colors);
KELSVG_API Status WINGDIPAPI GdipGetPathGradientCenterPoint(GpPathGradient* brush, GpPointF* point);
// Moves the centre (blend position 1); on an ellipse the blend then runs along
// the rays from the new centre to the outline.
KELSVG_API Status WINGDIPAPI GdipSetPathGradientCenterPoint(GpPathGradient* brush,
                                                            GDIPCONST GpPointF* point);
KELSVG_API Status WINGDIPAPI GdipSetPathGradientTransform(GpPathGradient* brush, GpMatrix* matrix);
KELSVG_API Status WINGDIPAPI GdipGetPathGradientTransform(GpPathGradient* brush, GpMatrix* matrix);
KELSVG_API Status WINGDIPAPI GdipGetPathGradientRect(GpPathGradient* brush, GpRectF* rect);
KELSVG_API Status WINGDIPAPI GdipSetPathGradientPresetBlend(GpPathGradient* brush,
                                                            GDIPCONST ARGB* blend,
                                                            GDIPCONST REAL* positions, INT count);
KELSVG_API Status WINGDIPAPI GdipGetPathGradientPresetBlendCount(GpPathGradient* brush, INT* count);
KELSVG_API Status WINGDIPAPI GdipGetPathGradientPresetBlend(GpPathGradient* brush, ARGB* blend,
                                                            REAL* positions, INT count);

// Texture brushes: a copy of the image (or of the part x, y, width, height of
// it, in whole pixels), repeated as the wrap mode says; WrapModeClamp paints
// nothing beyond it. One pixel covers one unit of the brush's own space,
// which its transform maps into world space. The pixels are sampled
// bilinearly, or copied where they fall exactly on the target's.
KELSVG_API Status WINGDIPAPI GdipCreateTexture(GpImage* image, GpWrap wrapmode,
                                               GpTexture** texture);
KELSVG_API Status WINGDIPAPI GdipCreateTexture2(GpImage* image, GpWrap wrapmode, REAL x, REAL y,
                                                REAL width, REAL height, GpTexture** texture);
KELSVG_API Status WINGDIPAPI GdipSetTextureTransform(GpTexture* brush, GDIPCONST GpMatrix* matrix);
KELSVG_API Status WINGDIPAPI GdipGetTextureTransform(GpTexture* brush, GpMatrix* matrix);
KELSVG_API Status WINGDIPAPI GdipMultiplyTextureTransform(GpTexture* brush,
                                                          GDIPCONST GpMatrix* matrix,
                                                          GpMatrixOrder order);
KELSVG_API Status WINGDIPAPI GdipSetTextureWrapMode(GpTexture* brush, GpWrap wrapmode);
KELSVG_API Status WINGDIPAPI GdipGetTextureWrapMode(GpTexture* brush, GpWrap* wrapmode);

// Pens: width in world units (UnitWorld) or device pixels (UnitPixel); width 0
// draws a one-pixel line. Dash lengths are multiples of the width (of one
// pixel for width 0) and must be positive. Miter limit 10.
KELSVG_API Status WINGDIPAPI GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen);
// A pen that paints with a copy of brush instead of a colour.
KELSVG_API Status WINGDIPAPI GdipCreatePen2(GpBrush* brush, REAL width, GpUnit unit, GpPen** pen);
KELSVG_API Status WINGDIPAPI GdipClonePen(GpPen* pen, GpPen** clonepen);
KELSVG_API Status WINGDIPAPI GdipDeletePen(GpPen* pen);
KELSVG_API Status WINGDIPAPI GdipSetPenWidth(GpPen* pen, REAL width);
KELSVG_API Status WINGDIPAPI GdipGetPenWidth(GpPen* pen, REAL* width);
KELSVG_API Status WINGDIPAPI GdipSetPenColor(GpPen* pen, ARGB argb);
KELSVG_API Status WINGDIPAPI GdipGetPenColor(GpPen* pen, ARGB* argb);
KELSVG_API Status WINGDIPAPI GdipSetPenStartCap(GpPen* pen, GpLineCap startCap);
KELSVG_API Status WINGDIPAPI GdipGetPenStartCap(GpPen* pen, GpLineCap* startCap);
KELSVG_API Status WINGDIPAPI GdipSetPenEndCap(GpPen* pen, GpLineCap endCap);
KELSVG_API Status WINGDIPAPI GdipGetPenEndCap(GpPen* pen, GpLineCap* endCap);
KELSVG_API Status WINGDIPAPI GdipSetPenLineJoin(GpPen* pen, GpLineJoin lineJoin);
KELSVG_API Status WINGDIPAPI GdipGetPenLineJoin(GpPen* pen, GpLineJoin* lineJoin);
KELSVG_API Status WINGDIPAPI GdipSetPenMiterLimit(GpPen* pen, REAL miterLimit);
KELSVG_API Status WINGDIPAPI GdipGetPenMiterLimit(GpPen* pen, REAL* miterLimit);
KELSVG_API Status WINGDIPAPI GdipSetPenDashStyle(GpPen* pen, GpDashStyle dashstyle);
KELSVG_API Status WINGDIPAPI GdipGetPenDashStyle(GpPen* pen, GpDashStyle* dashstyle);
KELSVG_API Status WINGDIPAPI GdipSetPenDashOffset(GpPen* pen, REAL offset);
KELSVG_API Status WINGDIPAPI GdipGetPenDashOffset(GpPen* pen, REAL* offset);
KELSVG_API Status WINGDIPAPI GdipSetPenDashArray(GpPen* pen, GDIPCONST REAL* dash, INT count);
KELSVG_API Status WINGDIPAPI GdipGetPenDashCount(GpPen* pen, INT* count);
KELSVG_API Status WINGDIPAPI GdipGetPenDashArray(GpPen* pen, REAL* dash, INT count);
// The cap of both ends of every dash (of dashed lines only).
KELSVG_API Status WINGDIPAPI GdipSetPenDashCap197819(GpPen* pen, GpDashCap dashCap);
KELSVG_API Status WINGDIPAPI GdipGetPenDashCap197819(GpPen* pen, GpDashCap* dashCap);

// Painting.
KELSVG_API Status WINGDIPAPI GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path);
KELSVG_API Status WINGDIPAPI GdipDrawPath(GpGraphics* graphics, GpPen* pen, GpPath* path);
KELSVG_API Status WINGDIPAPI GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y,
                                               REAL width, REAL height);
KELSVG_API Status WINGDIPAPI GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y,
                                                INT width, INT height);
KELSVG_API Status WINGDIPAPI GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1,
                                          REAL x2, REAL y2);
KELSVG_API Status WINGDIPAPI GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y,
                                                INT width, INT height);
KELSVG_API Status WINGDIPAPI GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y,
                                               REAL width, REAL height);
// Draws the part (srcx, srcy, srcwidth, srcheight) of the image, in pixels
// (srcUnit UnitPixel), into the destination rectangle, under the world
// transform. Near the part's edges the pixels beside it are sampled as they
// lie; outside the image its edge pixels continue. Image attributes and the
// abort callback are not supported: both must be null.
KELSVG_API Status WINGDIPAPI GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, REAL dstx,
                                                   REAL dsty, REAL dstwidth, REAL dstheight,
                                                   REAL srcx, REAL srcy, REAL srcwidth,
                                                   REAL srcheight, GpUnit srcUnit,
                                                   GDIPCONST GpImageAttributes* imageAttributes,
                                                   DrawImageAbort callback, void* callbackData);

// Clipping. The clip is part of the graphics state: GdipRestoreGraphics gives
// back the clip of its save. Paths and rectangles are in world units under the
// current world transform and clip with anti-aliased edges when the smoothing
// mode does. Only CombineModeReplace and CombineModeIntersect are supported
// (the others give NotImplemented).
KELSVG_API Status WINGDIPAPI GdipSetClipPath(GpGraphics* graphics, GpPath* path,
                                             CombineMode combineMode);
KELSVG_API Status WINGDIPAPI GdipSetClipRect(GpGraphics* graphics, REAL x, REAL y, REAL width,
                                             REAL height, CombineMode combineMode);
KELSVG_API Status WINGDIPAPI GdipResetClip(GpGraphics* graphics);
KELSVG_API Status WINGDIPAPI GdipIsClipEmpty(GpGraphics* graphics, BOOL* result);

// Images: 32-bit formats (PixelFormat32bppARGB, PixelFormat32bppPARGB,
// PixelFormat32bppRGB), at most 32767 pixels a side. With scan0 the bitmap
// starts as a copy of the caller's pixels (it does not keep the buffer).
KELSVG_API Status WINGDIPAPI GdipCreateBitmapFromScan0(INT width, INT height, INT stride,
                                                       PixelFormat format, BYTE* scan0,
                                                       GpBitmap** bitmap);
KELSVG_API Status WINGDIPAPI GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height,
                                                  PixelFormat format, GpBitmap* srcBitmap,
                                                  GpBitmap** dstBitmap);
KELSVG_API Status WINGDIPAPI GdipCloneImage(GpImage* image, GpImage** cloneImage);
KELSVG_API Status WINGDIPAPI GdipDisposeImage(GpImage* image);
KELSVG_API Status WINGDIPAPI GdipGetImageWidth(GpImage* image, UINT* width);
KELSVG_API Status WINGDIPAPI GdipGetImageHeight(GpImage* image, UINT* height);
KELSVG_API Status WINGDIPAPI GdipGetImagePixelFormat(GpImage* image, PixelFormat* format);
KELSVG_API Status WINGDIPAPI GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color);
KELSVG_API Status WINGDIPAPI GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB color);
// Locks an area as straight ARGB (PixelFormat32bppARGB) in a buffer of the
// library's (or, with ImageLockModeUserInputBuf, the caller's); with
// ImageLockModeWrite the buffer is written back by GdipBitmapUnlockBits.
KELSVG_API Status WINGDIPAPI GdipBitmapLockBits(GpBitmap* bitmap, GDIPCONST GpRect* rect,
                                                UINT flags, PixelFormat format,
                                                BitmapData* lockedBitmapData);
KELSVG_API Status WINGDIPAPI GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* lockedBitmapData);
// Loads a PNG, JPEG, GIF or WebP file (as KelCreateBitmapFromMemory, up to 2^28 pixels).
KELSVG_API Status WINGDIPAPI GdipCreateBitmapFromFile(GDIPCONST WCHAR* filename, GpBitmap** bitmap);
// Writes a PNG file (clsidEncoder null or &PngEncoderClsid; params ignored).
// The file is replaced only when the whole image was written.
KELSVG_API Status WINGDIPAPI GdipSaveImageToFile(GpImage* image, GDIPCONST WCHAR* filename,
                                                 GDIPCONST CLSID* clsidEncoder,
                                                 GDIPCONST EncoderParameters* encoderParams);

// Text (fonts, families, string formats, outlines of strings).
KELSVG_API Status WINGDIPAPI GdipCreateFontFamilyFromName(GDIPCONST WCHAR* name,
                                                          GpFontCollection* fontCollection,
                                                          GpFontFamily** fontFamily);
KELSVG_API Status WINGDIPAPI GdipCloneFontFamily(GpFontFamily* fontFamily,
                                                 GpFontFamily** clonedFontFamily);
KELSVG_API Status WINGDIPAPI GdipDeleteFontFamily(GpFontFamily* fontFamily);
KELSVG_API Status WINGDIPAPI GdipGetFamilyName(GDIPCONST GpFontFamily* family, WCHAR* name,
                                               LANGID language);
// Metrics of a family's face for a style, in design units: the em height, the
// line box above and below the baseline, and the distance between baselines.
KELSVG_API Status WINGDIPAPI GdipGetEmHeight(GDIPCONST GpFontFamily* family, INT style,
                                             UINT16* emHeight);
KELSVG_API Status WINGDIPAPI GdipGetCellAscent(GDIPCONST GpFontFamily* family, INT style,
                                               UINT16* cellAscent);
KELSVG_API Status WINGDIPAPI GdipGetCellDescent(GDIPCONST GpFontFamily* family, INT style,
                                                UINT16* cellDescent);
KELSVG_API Status WINGDIPAPI GdipGetLineSpacing(GDIPCONST GpFontFamily* family, INT style,
                                                UINT16* lineSpacing);
KELSVG_API Status WINGDIPAPI GdipCreateFont(GDIPCONST GpFontFamily* fontFamily, REAL emSize,
                                            INT style, Unit unit, GpFont** font);
KELSVG_API Status WINGDIPAPI GdipCloneFont(GpFont* font, GpFont** cloneFont);
KELSVG_API Status WINGDIPAPI GdipDeleteFont(GpFont* font);
KELSVG_API Status WINGDIPAPI GdipGetFamily(GpFont* font, GpFontFamily** family);
KELSVG_API Status WINGDIPAPI GdipGetFontSize(GpFont* font, REAL* size);
KELSVG_API Status WINGDIPAPI GdipGetFontStyle(GpFont* font, INT* style);
KELSVG_API Status WINGDIPAPI GdipCreateStringFormat(INT formatAttributes, LANGID language,
                                                    GpStringFormat** format);
KELSVG_API Status WINGDIPAPI GdipCloneStringFormat(GDIPCONST GpStringFormat* format,
                                                   GpStringFormat** newFormat);
KELSVG_API Status WINGDIPAPI GdipDeleteStringFormat(GpStringFormat* format);
KELSVG_API Status WINGDIPAPI GdipSetStringFormatAlign(GpStringFormat* format,
                                                      StringAlignment align);
KELSVG_API Status WINGDIPAPI GdipGetStringFormatAlign(GpStringFormat* format,
                                                      StringAlignment* align);
KELSVG_API Status WINGDIPAPI GdipSetStringFormatLineAlign(GpStringFormat* format,
                                                          StringAlignment align);
KELSVG_API Status WINGDIPAPI GdipGetStringFormatLineAlign(GpStringFormat* format,
                                                          StringAlignment* align);
KELSVG_API Status WINGDIPAPI GdipAddPathString(GpPath* path, GDIPCONST WCHAR* string, INT length,
                                               GDIPCONST GpFontFamily* family, INT style,
                                               REAL emSize, GDIPCONST RectF* layoutRect,
                                               GDIPCONST GpStringFormat* format);

} // extern "C"

// ---- Host extensions (no GDI+ counterpart) -------------------------------

// GdipSaveImageToFile with a narrow (UTF-8) path.
KELSVG_API Status GdipSaveImageToPngFileA(GpImage* image, const char* path);
// The image as PNG, handed to write piece by piece (write returns false to
// stop, and the call then fails with Win32Error): for images that go to a pipe
// or stay in memory. The same bytes as GdipSaveImageToPngFileA writes.
typedef bool (*KelPngWriter)(void* closure, const unsigned char* data, size_t length);
KELSVG_API Status KelSaveImageToPngWriter(GpImage* image, KelPngWriter write, void* closure);
// GdipCreateBitmapFromFile with a narrow (UTF-8) path.
KELSVG_API Status GdipCreateBitmapFromPngFileA(const char* path, GpBitmap** bitmap);
// A graphics over a host's Cairo context, as GdipCreateFromHDC over
// CreateCairoDC(cr): the world transform starts as cr's current transform and
// drawing keeps within cr's clip. The graphics holds a reference to cr; the
// host keeps ownership. cr's state (transform, clip, source, path, ...) is as
// before once the graphics is deleted. InvalidParameter for a null context or
// one in an error state.
KELSVG_API Status KelCreateGraphicsFromCairo(cairo_t* cr, GpGraphics** graphics);
// A graphics drawing into band index of count equal horizontal bands of the
// bitmap graphics draws into, with its world transform and modes: each band
// may be drawn on a thread of its own, and together they draw the picture
// graphics would. The bitmap must outlive the band. NotImplemented while
// graphics has a clip, layer or mask open; InvalidParameter for a graphics
// over a host's context and for a band without rows.
KELSVG_API Status KelCreateBandGraphics(GpGraphics* graphics, INT index, INT count,
                                        GpGraphics** band);
// The world transform followed by the map onto the target's pixels (a host
// context's transform and device scale): for what is rendered at the
// target's resolution.
KELSVG_API Status KelGetPixelTransform(GpGraphics* graphics, GpMatrix* matrix);
// GdipFillPath with a solid brush of color, without a brush object: for
// callers that fill many shapes each with a colour of its own.
KELSVG_API Status KelFillPathColor(GpGraphics* graphics, ARGB color, GpPath* path);

// ---- Image decoding (no GDI+ counterpart: GDI+ reads streams) -------------

// The size in pixels a PNG, JPEG, GIF or WebP image held in memory declares in its
// header (the kind is told by the first bytes). UnknownImageFormat for other
// data and for a damaged header.
KELSVG_API Status KelGetImageSizeFromMemory(const BYTE* data, size_t size, UINT* width,
                                            UINT* height);
// Decodes a PNG, JPEG, GIF (its first frame) or WebP (a still image, or the
// first frame of an animation) image held in memory into a new 32-bit ARGB bitmap
// (straight alpha as seen through GdipBitmapGetPixel). An image of more than
// maxPixels pixels, or over 32767 a side, is refused with ValueOverflow from
// its header, before its pixels are allocated; damaged or truncated data, or
// data of another kind, gives UnknownImageFormat. Colour profiles, gamma and
// orientation tags are not applied. Nothing is printed.
KELSVG_API Status KelCreateBitmapFromMemory(const BYTE* data, size_t size, uint64_t maxPixels,
                                            GpBitmap** bitmap);

// ---- Painting extensions (no GDI+ counterpart) ---------------------------

// Square dash ends, which GDI+'s dash caps lack. The value is LineCapSquare's,
// as every dash cap shares its line cap's value.
constexpr DashCap KelDashCapSquare = DashCap(1);

// How a gradient continues beyond its ends, in place of its wrap mode: pad
// keeps the end colours, reflect mirrors the bands, repeat starts them again.
// KelSpreadNone returns to the wrap mode.
enum KelSpread : int {
    KelSpreadNone = 0,
    KelSpreadPad = 1,
    KelSpreadReflect = 2,
    KelSpreadRepeat = 3
};
// For a line brush, along its line before point1 and beyond point2. For a path
// gradient made from one ellipse, beyond the ellipse, outward along the rays
// from its centre point; other path gradients refuse it (InvalidParameter).
KELSVG_API Status KelSetGradientSpread(GpBrush* brush, KelSpread spread);
KELSVG_API Status KelGetGradientSpread(GpBrush* brush, KelSpread* spread);
// For a path gradient made from a circle, with a spread: position 0 of the
// blend is the circle of this radius (in brush units) around the centre
// point, not the point itself; the colours go from it to the outline, as a
// cone where it reaches outside. Negative or non-finite radii are refused.
KELSVG_API Status KelSetGradientFocusRadius(GpBrush* brush, REAL radius);

// Layers. What is drawn after KelBeginLayer goes onto a transparent layer of
// its own, as large as the clip (and, when bounds are given, no larger than
// their box in world units, rounded out to whole pixels: drawing outside them
// is lost); KelEndLayer composites the layer onto what lies below it with the
// opacity given at its begin (0 to 1). Layers nest, and belong to the graphics
// state like the clip: a clip set inside a layer ends with it, and restoring a
// state saved before a layer began ends the layer. Layers live at once are
// limited in number and in pixels: past that, KelBeginLayer gives OutOfMemory
// and drawing goes on straight below, without the opacity.
KELSVG_API Status KelBeginLayer(GpGraphics* graphics, REAL opacity, GDIPCONST GpRectF* bounds);
KELSVG_API Status KelEndLayer(GpGraphics* graphics);

// How the innermost layer is composited at KelEndLayer: the blend modes of
// CSS, each mixing the layer's colours with those below it (normal, the
// default, lays it over them).
enum KelBlendMode : int {
    KelBlendNormal = 0,
    KelBlendMultiply,
    KelBlendScreen,
    KelBlendOverlay,
    KelBlendDarken,
    KelBlendLighten,
    KelBlendColorDodge,
    KelBlendColorBurn,
    KelBlendHardLight,
    KelBlendSoftLight,
    KelBlendDifference,
    KelBlendExclusion,
    KelBlendHue,
    KelBlendSaturation,
    KelBlendColor,
    KelBlendLuminosity,
};
KELSVG_API Status KelSetLayerBlendMode(GpGraphics* graphics, KelBlendMode mode);

// A mask of the innermost layer: what is drawn from KelBeginLayerMask to
// KelEndLayerMask is not shown; it multiplies the layer's pixels by its alpha
// or by its luminance (0.2125 red + 0.7154 green + 0.0721 blue, times alpha),
// and where nothing was drawn the layer becomes transparent. Clips set in the
// layer since it began end at KelBeginLayerMask; a layer may take several
// masks in turn. Restoring a state saved before KelBeginLayerMask drops the
// mask. Without a layer, or over a refused one, the mask's drawing is hidden
// and it masks nothing.
enum KelMaskMode : int { KelMaskAlpha = 0, KelMaskLuminance = 1 };
KELSVG_API Status KelBeginLayerMask(GpGraphics* graphics);
KELSVG_API Status KelEndLayerMask(GpGraphics* graphics, KelMaskMode mode);

// Filter layers. KelGetPixelSpace gives the world transform onto the pixels
// of the target (the surface below every layer) and the box of those pixels
// the clip leaves visible. KelBeginFilterLayer starts a layer over box (in
// those pixels) that the clip in force does not cut, since a filter may take
// content from beyond what shows: what is drawn until KelEndFilterLayer goes
// onto it. KelEndFilterLayer hands its pixels (premultiplied, 32 bits each
// with alpha in the top byte, then red, green and blue; width × height, row
// after row) to filter, which may rewrite them, then composites them under
// the clip. A null filter, or a layer that could not be made (past the
// layers' budget, when KelBeginFilterLayer gives OutOfMemory), composites
// what was drawn as it is. These layers nest with the others and belong to
// the graphics state in the same way.
typedef void (*KelLayerFilter)(void* closure, uint32_t* pixels, INT width, INT height);
KELSVG_API Status KelGetPixelSpace(GpGraphics* graphics, GpMatrix* toPixels, GpRect* visible);
KELSVG_API Status KelBeginFilterLayer(GpGraphics* graphics, GDIPCONST GpRect* box);
KELSVG_API Status KelEndFilterLayer(GpGraphics* graphics, KelLayerFilter filter, void* closure);

// ---- Graphics: the minimal host-side class -------------------------------
// A host makes one over a bitmap or a device context and hands it to the
// library. It owns its native graphics and deletes it with itself.

class KELSVG_API Graphics {
public:
    explicit Graphics(HDC hdc);
    explicit Graphics(GpImage* image);
    // Over a host's Cairo context (see KelCreateGraphicsFromCairo).
    explicit Graphics(cairo_t* cr);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    static Graphics* FromHDC(HDC hdc);
    static Graphics* FromImage(GpImage* image);
    static Graphics* FromCairo(cairo_t* cr);

    Status Clear(const Color& color);
    Status SetSmoothingMode(SmoothingMode mode);
    SmoothingMode GetSmoothingMode() const;
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
    Status ResetTransform();
    GraphicsState Save() const;
    Status Restore(GraphicsState state);
    Status GetLastStatus() const;

    GpGraphics* GetNativeGraphics() const { return nativeGraphics; }

protected:
    Status SetStatus(Status status) const;

    GpGraphics* nativeGraphics;
    mutable Status lastResult;
};

} // namespace Gdiplus
