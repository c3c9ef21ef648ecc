#include "render/SvgFontRun.h"

#include "platform/gdiplus/GdipTextMeasure.h"

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

float SvgFontRun::BaselineShift(const GdiStringFormat* format) const {
    GpFontFamily* handle = family ? family->Get() : nullptr;
    UINT16 em = 0, ascent = 0, descent = 0;
    if (GdipGetEmHeight(handle, style, &em) != Ok || em == 0 ||
        GdipGetCellAscent(handle, style, &ascent) != Ok ||
        GdipGetCellDescent(handle, style, &descent) != Ok)
        return 0.0f;
    StringAlignment lineAlign = StringAlignmentNear;
    if (format)
        GdipGetStringFormatLineAlign(format->Get(), &lineAlign);
    float above = size * ascent / em, below = size * descent / em;
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
    return path->Record(GdipAddPathString(path->Get(), text, -1, family ? family->Get() : nullptr,
                                          style, size, &layout, format ? format->Get() : nullptr));
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
