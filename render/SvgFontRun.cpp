#include "render/SvgFontRun.h"

#include "platform/gdiplus/GdipTextMeasure.h"

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
                         const GdiStringFormat* format) const {
    if (!path)
        return OutOfMemory;
    // The layout point that puts the line box's baseline on y.
    RectF layout(x, y + BaselineShift(format), 0, 0);
    return path->Record(KelAddPathStringFont(path->Get(), text, -1, font ? font->Get() : nullptr,
                                             &layout, format ? format->Get() : nullptr));
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
