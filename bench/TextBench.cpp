// Speed of the text back end: family lookups and strings laid out as paths.
#include "platform/gdiplus/GdiPlus.h"
#include "platform/gdiplus/GdipTextMeasure.h"

#include <benchmark/benchmark.h>

#include <string>

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

} // namespace
