// Reading colours and transform lists, the two attribute syntaxes that every
// drawn element meets.
#include "style/SvgColorReaders.h"
#include "syntax/SvgScanner.h"
#include "syntax/SvgTransformList.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

void BM_ParseColorKeyword(benchmark::State& state) {
    const char* names[] = {"red", "LightGoldenRodYellow", "steelblue", "Black", "nosuchcolour"};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseColor(names[i], nullptr, kNoColor));
        i = (i + 1) % 5;
    }
}
BENCHMARK(BM_ParseColorKeyword);

void BM_ParseColorHex(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseColor("#12ab9f", nullptr, kNoColor));
}
BENCHMARK(BM_ParseColorHex);

void BM_ParseColorRgb(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseColor("rgb(10%, 20.5%, 30%)", nullptr, kNoColor));
}
BENCHMARK(BM_ParseColorRgb);

void BM_ReadPaintWithFallback(benchmark::State& state) {
    SvgPaint paint;
    for (auto _ : state) {
        ReadPaint(paint, "url(#gradient) #fa0");
        benchmark::DoNotOptimize(paint.uri.c_str());
    }
}
BENCHMARK(BM_ReadPaintWithFallback);

void BM_ReadAndConsolidateTransform(benchmark::State& state) {
    SvgString text("translate(10, 20) scale(1.5) skewX(10) matrix(1 0 0 1 3 4)");
    for (auto _ : state) {
        SvgScanner scanner;
        SvgTransformList list;
        scanner.readTransformList(list, text);
        benchmark::DoNotOptimize(list.consolidate().getMatrix().getE());
    }
}
BENCHMARK(BM_ReadAndConsolidateTransform);

void BM_MatrixMultiply(benchmark::State& state) {
    SvgMatrix m(1.01, 0.02, -0.03, 0.99, 1, 2), total;
    for (auto _ : state) {
        total = total.multiply(m);
        if (total.getA() > 1e100)
            total = SvgMatrix();
        benchmark::DoNotOptimize(total.getE());
    }
}
BENCHMARK(BM_MatrixMultiply);

} // namespace
