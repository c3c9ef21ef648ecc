// Hot paths of the graphics back end: filling and stroking a long curved
// path, and setting every pixel of a bitmap one call at a time.

#include <benchmark/benchmark.h>

#include <cmath>

#include "platform/gdiplus/GdiPlus.h"

using namespace Gdiplus;

namespace {

struct Scene {
    Scene() {
        GdipCreateBitmapFromScan0(1000, 1000, 0, PixelFormat32bppARGB, nullptr, &bitmap);
        GdipGetImageGraphicsContext(bitmap, &graphics);
        GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
        GdipCreatePath(FillModeWinding, &path);
        // 10,000 cubic segments winding around the centre.
        const int segments = 10000;
        REAL px = 900, py = 500;
        for (int i = 1; i <= segments; ++i) {
            double a = i * 2 * M_PI * 25 / segments;
            double r = 400 - 300.0 * i / segments;
            REAL x = REAL(500 + r * std::cos(a)), y = REAL(500 + r * std::sin(a));
            GdipAddPathBezier(path, px, py, px + 3, py - 3, x - 3, y + 3, x, y);
            px = x;
            py = y;
        }
        GdipCreateSolidFill(0xFF3366CC, &brush);
        GdipCreatePen1(0xFF000000, 2, UnitWorld, &pen);
    }
    ~Scene() {
        GdipDeletePen(pen);
        GdipDeleteBrush(brush);
        GdipDeletePath(path);
        GdipDeleteGraphics(graphics);
        GdipDisposeImage(bitmap);
    }
    GpBitmap* bitmap = nullptr;
    GpGraphics* graphics = nullptr;
    GpPath* path = nullptr;
    GpSolidFill* brush = nullptr;
    GpPen* pen = nullptr;
};

void BM_FillPath10kCubics(benchmark::State& state) {
    Scene s;
    for (auto _ : state)
        benchmark::DoNotOptimize(GdipFillPath(s.graphics, s.brush, s.path));
}
BENCHMARK(BM_FillPath10kCubics)->Unit(benchmark::kMillisecond);

void BM_StrokePath10kCubics(benchmark::State& state) {
    Scene s;
    for (auto _ : state)
        benchmark::DoNotOptimize(GdipDrawPath(s.graphics, s.pen, s.path));
}
BENCHMARK(BM_StrokePath10kCubics)->Unit(benchmark::kMillisecond);

void BM_BuildPath10kCubics(benchmark::State& state) {
    for (auto _ : state) {
        GpPath* path = nullptr;
        GdipCreatePath(FillModeAlternate, &path);
        for (int i = 0; i < 10000; ++i)
            GdipAddPathBezier(path, REAL(i), 0, REAL(i) + 0.3f, 1, REAL(i) + 0.6f, 1, REAL(i + 1),
                              0);
        benchmark::DoNotOptimize(path);
        GdipDeletePath(path);
    }
}
BENCHMARK(BM_BuildPath10kCubics)->Unit(benchmark::kMillisecond);

void BM_SetEveryPixel1000x1000(benchmark::State& state) {
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(1000, 1000, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    for (auto _ : state) {
        for (INT y = 0; y < 1000; ++y)
            for (INT x = 0; x < 1000; ++x)
                GdipBitmapSetPixel(bitmap, x, y, 0x00FFFFFF);
        benchmark::ClobberMemory();
    }
    GdipDisposeImage(bitmap);
}
BENCHMARK(BM_SetEveryPixel1000x1000)->Unit(benchmark::kMillisecond);

} // namespace
