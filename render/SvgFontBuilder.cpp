#include "render/SvgFontBuilder.h"

#include "render/SvgTextBuffer.h"
#include "style/SvgStyle.h"

using namespace Gdiplus;

namespace {

// Keyword numbers of the style record.
const unsigned kWeightBold = 10;
const unsigned kStyleItalic = 1;
const unsigned kStyleOblique = 2;
const unsigned kAnchorMiddle = 1;
const unsigned kAnchorEnd = 2;

const INT kNoClip = 0x4000;

} // namespace

const char SvgFontBuilder::kDefaultFamily[] = "\xD0\xC2\xCB\xCE\xCC\xE5";
const WCHAR SvgFontBuilder::kFallbackFamily[] = u"Times New Roman";

SvgFontRequest SvgFontBuilder::Request(const SvgStyle& style) {
    SvgFontRequest request;
    if (style.text && style.text->fontFamily.set)
        request.family = style.text->fontFamily.value;
    else
        request.family = kDefaultFamily;
    if (style.fontSize.set)
        request.size = style.fontSize.computed;
    if (style.fontWeight.set && style.fontWeight.value == kWeightBold)
        request.style |= FontStyleBold;
    if (style.fontStyle.set &&
        (style.fontStyle.value == kStyleItalic || style.fontStyle.value == kStyleOblique))
        request.style |= FontStyleItalic;
    if (style.textDecoration.set) {
        if (style.textDecoration.underline)
            request.style |= FontStyleUnderline;
        if (style.textDecoration.lineThrough)
            request.style |= FontStyleStrikeout;
    }
    return request;
}

GdiFont* SvgFontBuilder::BuildFont(const SvgFontRequest& request) {
    SvgTextBuffer name(kFamilyNameUnits);
    name.Convert(CP_ACP, request.family);
    GdiFont first;
    GdiFontFamily* family = GdiFontFamily::Create(name.Get());
    if (family && family->Get())
        first.Record(
            GdipCreateFont(family->Get(), request.size, request.style, UnitPixel, &first.handle));
    delete family;
    return first.Clone();
}

GdiStringFormat* SvgFontBuilder::BuildStringFormat(const SvgStyle& style) {
    GdiStringFormat* format = GdiStringFormat::Create(kNoClip, 0);
    if (!format)
        return nullptr;
    StringAlignment align = StringAlignmentNear;
    if (style.textAnchor.set) {
        if (style.textAnchor.value == kAnchorMiddle)
            align = StringAlignmentCenter;
        else if (style.textAnchor.value == kAnchorEnd)
            align = StringAlignmentFar;
    }
    format->Record(GdipSetStringFormatAlign(format->Get(), StringAlignmentNear));
    format->Record(GdipSetStringFormatLineAlign(format->Get(), StringAlignmentFar));
    if (align != StringAlignmentNear)
        format->Record(GdipSetStringFormatAlign(format->Get(), align));
    return format;
}
