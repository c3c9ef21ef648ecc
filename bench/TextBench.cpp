// Speed of text: family lookups and strings laid out as paths in the back end,
// and a document of chart labels parsed and drawn through CKelSvg.
#include "interface/KelSvg.h"
#include "platform/gdiplus/GdiPlus.h"
#include "platform/gdiplus/GdipTextMeasure.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace Gdiplus;

namespace {

void FamilyCached(benchmark::State& state) {
    for (auto _ : state) {
        GpFontFamily* family = nullptr;
        GdipCreateFontFamilyFromName(u"Times New Roman", nullptr, &family);
        GdipDeleteFontFamily(family);
    }
}
BENCHMARK(FamilyCached);

// A name never asked before: one fontconfig match each time.
void FamilyUncached(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) {
        std::u16string name = u"Missing family ";
        for (char c : std::to_string(i++))
            name.push_back(char16_t(c));
        GpFontFamily* family = nullptr;
        GdipCreateFontFamilyFromName(name.c_str(), nullptr, &family);
    }
}
BENCHMARK(FamilyUncached);

void AddString(benchmark::State& state, const std::u16string& text, INT style) {
    GpFontFamily* family = nullptr;
    GdipCreateFontFamilyFromName(u"DejaVu Sans", nullptr, &family);
    GpStringFormat* format = nullptr;
    GdipCreateStringFormat(0x4000, 0, &format);
    GdipSetStringFormatAlign(format, StringAlignmentCenter);
    GdipSetStringFormatLineAlign(format, StringAlignmentFar);
    GpPath* path = nullptr;
    GdipCreatePath(FillModeAlternate, &path);
    RectF rect(100, 100, 0, 0);
    for (auto _ : state) {
        GdipResetPath(path);
        GdipAddPathString(path, text.c_str(), -1, family, style, 16, &rect, format);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(text.size()));
    GdipDeletePath(path);
    GdipDeleteStringFormat(format);
    GdipDeleteFontFamily(family);
}

void ShortRun(benchmark::State& state) {
    AddString(state, u"Hello, world", 0);
}
BENCHMARK(ShortRun);

void ShortRunBoldUnderlined(benchmark::State& state) {
    AddString(state, u"Hello, world", 5);
}
BENCHMARK(ShortRunBoldUnderlined);

void Paragraph(benchmark::State& state) {
    std::u16string text;
    while (text.size() < 1000)
        text += u"The quick brown fox jumps over the lazy dog. ";
    AddString(state, text, 0);
}
BENCHMARK(Paragraph);

// The advance of a short run, as the text layout measures every run and glyph.
void MeasureShortRun(benchmark::State& state) {
    GpFontFamily* family = nullptr;
    GdipCreateFontFamilyFromName(u"DejaVu Sans", nullptr, &family);
    GpFont* font = nullptr;
    GdipCreateFont(family, 16, 0, UnitPixel, &font);
    GpStringFormat* format = nullptr;
    GdipCreateStringFormat(0x4000 | 0x0800, 0, &format);
    RectF rect(100, 100, 0, 0), box;
    for (auto _ : state)
        GdipMeasureString(nullptr, u"Hello, world", -1, font, &rect, format, &box, nullptr,
                          nullptr);
    GdipDeleteStringFormat(format);
    GdipDeleteFont(font);
    GdipDeleteFontFamily(family);
}
BENCHMARK(MeasureShortRun);

// Axis labels drawn glyph by glyph, and legend lines of tspans.
void ChartLabels(benchmark::State& state) {
    std::string body;
    for (int i = 0; i < 40; ++i)
        body += "<text x=\"40\" y=\"" + std::to_string(10 + i * 7) +
                "\" text-anchor=\"end\">\xE2\x88\x92" + std::to_string(i) + ".5</text>";
    for (int i = 0; i < 20; ++i)
        body += "<text x=\"200\" y=\"" + std::to_string(10 + i * 14) +
                "\">Series <tspan font-weight=\"bold\" fill=\"#c00\">" + std::to_string(i) +
                "</tspan> of the <tspan font-style=\"italic\">run</tspan></text>";
    std::string path = "/tmp/kelsvg-bench-" + std::to_string(getpid()) + "-labels.svg";
    std::ofstream(path, std::ios::binary)
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"400\" height=\"300\"><g "
           "font-family=\"Helvetica, Arial, sans-serif\" font-size=\"10\">"
        << body << "</g></svg>";
    CKelSvg picture;
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(400, 300, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    for (auto _ : state) {
        picture.CommandParseSVGFile(&path[0]);
        Graphics graphics(static_cast<GpImage*>(bitmap));
        graphics.Clear(Color(0));
        picture.CommandDrawSVGGraphics(&graphics);
    }
    GdipDisposeImage(bitmap);
    std::remove(path.c_str());
}
BENCHMARK(ChartLabels)->Unit(benchmark::kMillisecond);

} // namespace
