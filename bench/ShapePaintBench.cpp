// Shapes: building their paths, reading points, and repainting a document of
// many filled and stroked shapes (the cached brushes and pens at work).

#include "interface/KelSvg.h"
#include "render/SvgPathFigure.h"
#include "render/SvgPointsFigure.h"
#include "render/SvgRectFigure.h"
#include "syntax/SvgPathBuilder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

using namespace Gdiplus;

namespace {

std::string ManyShapes(int count) {
    std::string body;
    for (int i = 0; i < count; ++i) {
        int x = (i * 37) % 480;
        int y = (i * 53) % 480;
        switch (i % 4) {
        case 0:
            body += "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) +
                    "\" width=\"20\" height=\"15\" fill=\"#3366cc\"/>";
            break;
        case 1:
            body += "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) +
                    "\" width=\"20\" height=\"15\" rx=\"4\" fill=\"orange\" stroke=\"black\"/>";
            break;
        case 2:
            body += "<circle cx=\"" + std::to_string(x) + "\" cy=\"" + std::to_string(y) +
                    "\" r=\"8\" fill=\"green\" fill-opacity=\"0.5\" stroke=\"navy\" "
                    "stroke-width=\"2\"/>";
            break;
        default:
            body += "<line x1=\"" + std::to_string(x) + "\" y1=\"" + std::to_string(y) +
                    "\" x2=\"" + std::to_string(x + 30) + "\" y2=\"" + std::to_string(y + 10) +
                    "\" stroke=\"red\" stroke-width=\"3\" stroke-linecap=\"round\" "
                    "stroke-dasharray=\"2,1\"/>";
        }
    }
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"500\" height=\"500\"><g>" + body +
           "</g></svg>";
}

void RepaintShapes(benchmark::State& state) {
    char name[] = "/tmp/kelsvg-bench-XXXXXX";
    int fd = mkstemp(name);
    std::string text = ManyShapes(static_cast<int>(state.range(0)));
    if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        state.SkipWithError("cannot write the document");
        return;
    }
    close(fd);
    CKelSvg svg;
    svg.CommandParseSVGFile(name);
    svg.CommandSetSVGWinRect(0, 0, 500, 500);
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(500, 500, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    {
        Graphics graphics(static_cast<GpImage*>(bitmap));
        for (auto _ : state)
            svg.CommandDrawSVGGraphics(&graphics);
    }
    GdipDisposeImage(bitmap);
    std::remove(name);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(RepaintShapes)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BuildRoundedRect(benchmark::State& state) {
    SvgRectFigure rect;
    rect.width = 100;
    rect.height = 50;
    for (auto _ : state) {
        rect.rx = 80;
        rect.ry = -1;
        rect.BuildPath();
    }
}
BENCHMARK(BuildRoundedRect);

void ReadAndBuildPoints(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += std::to_string(i % 500) + "," + std::to_string((i * 7) % 500) + " ";
    for (auto _ : state) {
        SvgPolygonFigure polygon;
        polygon.points.appendFromText(text.c_str());
        polygon.BuildPath();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(ReadAndBuildPoints)->Unit(benchmark::kMicrosecond);

void ReplayPathData(benchmark::State& state) {
    std::string d = "M0 0";
    for (int i = 0; i < 2000; ++i)
        d += " L" + std::to_string(i % 300) + " " + std::to_string((i * 3) % 300) + " C10 20 30 " +
             "40 " + std::to_string(i % 200) + " 60";
    SvgPathFigure figure;
    SvgPathBuilder(&figure.pathData).parseData(d);
    for (auto _ : state)
        figure.BuildPath();
    state.SetItemsProcessed(state.iterations() * 4000);
}
BENCHMARK(ReplayPathData)->Unit(benchmark::kMicrosecond);

} // namespace
