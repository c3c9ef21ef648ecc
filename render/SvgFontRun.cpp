#include "render/SvgFontRun.h"

#include "platform/gdiplus/GdipTextMeasure.h"
#include "render/SvgPositionGlyphFigure.h"
#include "render/SvgTextFigure.h"

#include <climits>
#include <cmath>

using namespace Gdiplus;

SvgFontRun::SvgFontRun(GdiFont* given, const SvgFontRequest& requested)
    : font(nullptr), size(requested.size), style(requested.style) {
    if (given && given->Get()) {
        font = given->Clone();
    } else {
        // The fallback family, as asked for otherwise.
        GdiFontFamily* fallback = GdiFontFamily::Create(SvgFontBuilder::kFallbackFamily);
        font = new GdiFont;
        KelFontTraits traits = requested.Traits();
        if (font && fallback && fallback->Get())
            font->Record(KelCreateFontWithTraits(fallback->Get(), requested.size, requested.style,
                                                 UnitPixel, &traits, &font->handle));
        delete fallback;
    }
    if (!font || !font->Get())
        return;
    REAL fontSize = 0;
    if (font->Record(GdipGetFontSize(font->Get(), &fontSize)) == Ok)
        size = fontSize;
    INT fontStyle = 0;
    if (font->Record(GdipGetFontStyle(font->Get(), &fontStyle)) == Ok)
        style = fontStyle;
}

SvgFontRun::~SvgFontRun() {
    delete font;
}

bool SvgFontRun::Metrics(KelFontMetrics& metrics) const {
    // Those of the main face a space is shaped in.
    const UINT32 space = ' ';
    std::shared_ptr<GdiGlyphRun> run = Shape(&space, 1, 0, 1, 0);
    return run && KelGetGlyphRunMetrics(run->Get(), &metrics) == Ok;
}

std::shared_ptr<GdiGlyphRun> SvgFontRun::Shape(const UINT32* text, size_t length, size_t from,
                                               size_t to, INT flags) const {
    if (!font || !font->Get() || length > size_t(INT_MAX))
        return nullptr;
    std::shared_ptr<GdiGlyphRun> run(new GdiGlyphRun);
    if (!run)
        return nullptr;
    if (run->Record(KelCreateGlyphRunFont(text, INT(length), INT(from), INT(to), font->Get(), flags,
                                          &run->handle)) != Ok)
        return nullptr;
    return run;
}

bool SvgFontRun::DrawsPictures(const SvgFigure* figure) {
    if (const auto* run = dynamic_cast<const SvgTextFigure*>(figure))
        return run->glyphs.HasPictures();
    if (const auto* glyph = dynamic_cast<const SvgPositionGlyphFigure*>(figure))
        return glyph->glyphs.HasPictures();
    return false;
}

float SvgFontRun::Advance(const WCHAR* text) const {
    if (!font || !font->Get())
        return 0.0f;
    GpStringFormat* format = nullptr;
    float advance = 0.0f;
    if (GdipCreateStringFormat(StringFormatFlagsNoClip | StringFormatFlagsMeasureTrailingSpaces |
                                   StringFormatFlagsNoWrap,
                               0, &format) == Ok) {
        RectF layout(0, 0, 0, 0);
        RectF box;
        if (GdipMeasureString(nullptr, text, -1, font->Get(), &layout, format, &box, nullptr,
                              nullptr) == Ok &&
            std::isfinite(box.Width))
            advance = box.Width;
        GdipDeleteStringFormat(format);
    }
    return advance;
}
