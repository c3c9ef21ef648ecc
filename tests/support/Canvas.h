#pragma once

// A bitmap with a graphics on it, for drawing and reading pixels back.

#include <gtest/gtest.h>

#include "platform/gdiplus/GdiPlus.h"

using namespace Gdiplus;

class Canvas {
public:
    Canvas(int width, int height, ARGB background = 0xFFFFFFFF) {
        EXPECT_EQ(Ok, GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr,
                                                &bitmap));
        EXPECT_EQ(Ok, GdipGetImageGraphicsContext(bitmap, &graphics));
        EXPECT_EQ(Ok, GdipGraphicsClear(graphics, background));
    }
    ~Canvas() {
        GdipDeleteGraphics(graphics);
        GdipDisposeImage(bitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    ARGB Pixel(int x, int y) const {
        ARGB c = 0xDEADBEEF;
        EXPECT_EQ(Ok, GdipBitmapGetPixel(bitmap, x, y, &c));
        return c;
    }
    // Number of pixels in the rectangle that differ from the colour c.
    int CountNot(ARGB c, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += Pixel(x, y) != c;
        return n;
    }
    void Fill(GpPath* path, ARGB color) {
        GpSolidFill* brush = nullptr;
        ASSERT_EQ(Ok, GdipCreateSolidFill(color, &brush));
        EXPECT_EQ(Ok, GdipFillPath(graphics, brush, path));
        GdipDeleteBrush(brush);
    }
    void FillRect(REAL x, REAL y, REAL w, REAL h, ARGB color) {
        GpPath* path = nullptr;
        ASSERT_EQ(Ok, GdipCreatePath(FillModeAlternate, &path));
        GdipAddPathRectangle(path, x, y, w, h);
        Fill(path, color);
        GdipDeletePath(path);
    }

    GpBitmap* bitmap = nullptr;
    GpGraphics* graphics = nullptr;
};

// A path that deletes itself.
struct Path {
    explicit Path(FillMode mode = FillModeAlternate) { GdipCreatePath(mode, &p); }
    ~Path() { GdipDeletePath(p); }
    Path(const Path&) = delete;
    Path& operator=(const Path&) = delete;
    operator GpPath*() const { return p; }
    GpPath* p = nullptr;
};

constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kBlack = 0xFF000000;
constexpr ARGB kRed = 0xFFFF0000;
constexpr ARGB kBlue = 0xFF0000FF;

inline int Red(ARGB c) {
    return int((c >> 16) & 0xFF);
}
inline int Green(ARGB c) {
    return int((c >> 8) & 0xFF);
}
inline int Blue(ARGB c) {
    return int(c & 0xFF);
}
inline int Alpha(ARGB c) {
    return int(c >> 24);
}
