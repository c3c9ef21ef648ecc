#include "render/SvgFontRun.h"

#include "platform/gdiplus/GdipTextMeasure.h"

#include <climits>
#include <cmath>

using namespace Gdiplus;

SvgFontRun::SvgFontRun(GdiFont* font, const SvgFontRequest& requested)
    : family(GdiFontFamily::Create(SvgFontBuilder::kFallbackFamily)), size(requested.size),
      style(requested.style) {
    if (!font || !family)
        return;
    // The font's own family replaces the fallback when the font is usable.
    GpFontFamily* own = nullptr;
    if (font->Record(GdipGetFamily(font->Get(), &own)) == Ok) {
        if (family->handle)
            GdipDeleteFontFamily(family->handle);
        family->handle = own;
    }
    REAL fontSize = 0;
    if (font->Record(GdipGetFontSize(font->Get(), &fontSize)) == Ok)
        size = fontSize;
    INT fontStyle = 0;
    if (font->Record(GdipGetFontStyle(font->Get(), &fontStyle)) == Ok)
        style = fontStyle;
}

SvgFontRun::~SvgFontRun() {
    delete family;
}

bool SvgFontRun::Metrics(KelFontMetrics& metrics) const {
    // Those of the main face a space is shaped in.
    const UINT32 space = ' ';
    std::shared_ptr<GdiGlyphRun> run = Shape(&space, 1, 0, 1, 0);
    return run && KelGetGlyphRunMetrics(run->Get(), &metrics) == Ok;
}

std::shared_ptr<GdiGlyphRun> SvgFontRun::Shape(const UINT32* text, size_t length, size_t from,
                                               size_t to, INT flags) const {
    if (!family || !family->Get() || length > size_t(INT_MAX))
        return nullptr;
    std::shared_ptr<GdiGlyphRun> run(new GdiGlyphRun);
    if (!run)
        return nullptr;
    if (run->Record(KelCreateGlyphRun(text, INT(length), INT(from), INT(to), family->Get(), style,
                                      size, flags, &run->handle)) != Ok)
        return nullptr;
    return run;
}

float SvgFontRun::Advance(const WCHAR* text) const {
    if (!family || !family->Get())
        return 0.0f;
    GpFont* font = nullptr;
    if (GdipCreateFont(family->Get(), size, style, UnitPixel, &font) != Ok)
        return 0.0f;
    GpStringFormat* format = nullptr;
    float advance = 0.0f;
    if (GdipCreateStringFormat(StringFormatFlagsNoClip | StringFormatFlagsMeasureTrailingSpaces |
                                   StringFormatFlagsNoWrap,
                               0, &format) == Ok) {
        RectF layout(0, 0, 0, 0);
        RectF box;
        if (GdipMeasureString(nullptr, text, -1, font, &layout, format, &box, nullptr, nullptr) ==
                Ok &&
            std::isfinite(box.Width))
            advance = box.Width;
        GdipDeleteStringFormat(format);
    }
    GdipDeleteFont(font);
    return advance;
}
