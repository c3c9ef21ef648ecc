#include "render/SvgFontRun.h"

#include "platform/gdiplus/GdipTextMeasure.h"
#include "render/SvgPositionGlyphFigure.h"
#include "render/SvgTextFigure.h"

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

float SvgFontRun::BaselineShift(const GdiStringFormat* format) const {
    REAL above = 0, below = 0;
    if (!font || KelGetFontCellMetrics(font->Get(), &above, &below) != Ok)
        return 0.0f;
    StringAlignment lineAlign = StringAlignmentNear;
    if (format)
        GdipGetStringFormatLineAlign(format->Get(), &lineAlign);
    if (lineAlign == StringAlignmentFar)
        return below;
    if (lineAlign == StringAlignmentCenter)
        return (below - above) / 2;
    return -above;
}

Status SvgFontRun::AddTo(GdiPath* path, const WCHAR* text, float x, float y,
                         const GdiStringFormat* format, GdiColorGlyphs* colorGlyphs) const {
    if (colorGlyphs)
        colorGlyphs->Reset(nullptr);
    if (!path)
        return OutOfMemory;
    // The layout point that puts the line box's baseline on y.
    RectF layout(x, y + BaselineShift(format), 0, 0);
    GpColorGlyphs* pictures = nullptr;
    Status status = path->Record(
        KelAddPathStringFont(path->Get(), text, -1, font ? font->Get() : nullptr, &layout,
                             format ? format->Get() : nullptr, colorGlyphs ? &pictures : nullptr));
    if (colorGlyphs)
        colorGlyphs->Reset(pictures);
    return status;
}

bool SvgFontRun::DrawsPictures(const SvgFigure* figure) {
    if (const auto* run = dynamic_cast<const SvgTextFigure*>(figure))
        return run->GetColorGlyphs().Get() != nullptr;
    if (const auto* glyph = dynamic_cast<const SvgPositionGlyphFigure*>(figure))
        return glyph->GetColorGlyphs().Get() != nullptr;
    return false;
}

Status SvgFontRun::PaintColorGlyphs(GdiGraphics& graphics, const GdiColorGlyphs& colorGlyphs,
                                    unsigned alpha) {
    if (!colorGlyphs.Get() || alpha == 0)
        return Ok;
    return graphics.Record(
        KelDrawColorGlyphs(graphics.Get(), colorGlyphs.Get(), float(alpha) / 255.0f));
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
