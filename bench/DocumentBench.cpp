// Parse, look-up and draw costs of the document layer: an icon end to end
// through CKelSvg, tree building alone, and `use` look-ups in a large tree.
#include "engine/SvgEngine.h"
#include "interface/KelSvg.h"
#include "platform/gdiplus/GdiPlus.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string WriteTemp(const std::string& name, const std::string& text) {
    std::string path = "/tmp/kelsvg-bench-" + std::to_string(getpid()) + "-" + name + ".svg";
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string Icon() {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\" "
           "viewBox=\"0 0 24 24\"><g fill=\"#336699\" stroke=\"#000\">"
           "<circle cx=\"12\" cy=\"12\" r=\"9\"/><rect x=\"6\" y=\"6\" width=\"12\" "
           "height=\"12\" rx=\"2\" fill=\"#fc0\"/><ellipse cx=\"12\" cy=\"12\" rx=\"8\" ry=\"3\" "
           "transform=\"matrix(0.7 0.7 -0.7 0.7 12 -5)\"/><line x1=\"2\" y1=\"22\" x2=\"22\" "
           "y2=\"2\"/></g></svg>";
}

// Groups each holding references to the group before: many look-ups, big tree.
std::string UseChain(int links) {
    std::string body = "<defs><g id=\"c0\"><rect width=\"1\" height=\"1\"/></g>";
    for (int k = 1; k <= links; ++k)
        body += "<g id=\"c" + std::to_string(k) + "\"><use xlink:href=\"#c" +
                std::to_string(k - 1) + "\"/><rect width=\"1\" height=\"1\"/></g>";
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"10\" height=\"10\">" +
           body + "</defs></svg>";
}

void BM_IconParseAndDraw(benchmark::State& state) {
    std::string path = WriteTemp("icon", Icon());
    CKelSvg picture;
    Gdiplus::GpBitmap* bitmap = nullptr;
    Gdiplus::GdipCreateBitmapFromScan0(48, 48, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    for (auto _ : state) {
        picture.CommandParseSVGFile(&path[0]);
        Gdiplus::Graphics graphics(static_cast<Gdiplus::GpImage*>(bitmap));
        graphics.Clear(Gdiplus::Color(0));
        picture.CommandDrawSVGGraphics(&graphics);
    }
    Gdiplus::GdipDisposeImage(bitmap);
    std::remove(path.c_str());
}
BENCHMARK(BM_IconParseAndDraw);

void BM_IconDrawFromCache(benchmark::State& state) {
    std::string path = WriteTemp("cached", Icon());
    CKelSvg picture;
    picture.CommandParseSVGFile(&path[0]);
    picture.CommandCreateBitmapCache();
    Gdiplus::GpBitmap* bitmap = nullptr;
    Gdiplus::GdipCreateBitmapFromScan0(48, 48, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    Gdiplus::Graphics graphics(static_cast<Gdiplus::GpImage*>(bitmap));
    for (auto _ : state)
        picture.CommandDrawSVGGraphics(&graphics);
    Gdiplus::GdipDisposeImage(bitmap);
    std::remove(path.c_str());
}
BENCHMARK(BM_IconDrawFromCache);

void BM_UseChainParse(benchmark::State& state) {
    std::string path = WriteTemp("chain", UseChain(static_cast<int>(state.range(0))));
    SvgEngine engine;
    for (auto _ : state)
        engine.Parse(path.c_str());
    state.counters["copies"] = static_cast<double>(engine.GetCopiesMade());
    std::remove(path.c_str());
}
BENCHMARK(BM_UseChainParse)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

} // namespace
