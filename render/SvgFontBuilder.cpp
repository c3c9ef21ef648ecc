#include "render/SvgFontBuilder.h"

#include "render/SvgTextBuffer.h"
#include "style/SvgStyle.h"

using namespace Gdiplus;

namespace {

// Keyword numbers of the style record.
const unsigned kWeight600 = 5;
const unsigned kWeight900 = 8;
const unsigned kWeightBold = 10;
const unsigned kWeightBolder = 12;
const unsigned kStyleItalic = 1;
const unsigned kStyleOblique = 2;
const unsigned kAnchorMiddle = 1;
const unsigned kAnchorEnd = 2;

const INT kNoClip = 0x4000;
const INT kMeasureTrailingSpaces = 0x0800;

// Names of a font-family list tried at most: each unknown one costs a match.
const size_t kMaxFamilyNames = 16;

// A weight in force draws bold from 600 up (numbers 5 to 8 once computed, or
// the keywords a record that was never cascaded still holds).
bool IsBold(unsigned weight) {
    return (weight >= kWeight600 && weight <= kWeight900) || weight == kWeightBold ||
           weight == kWeightBolder;
}

bool IsQuoteOrBlank(char c) {
    return c == '"' || c == '\'' || c == ' ' || c == '\t' || c == '\n';
}

} // namespace

std::vector<std::string> SvgFontBuilder::FamilyNames(const std::string& list) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= list.size() && names.size() < kMaxFamilyNames) {
        size_t comma = list.find(',', start);
        size_t end = comma == std::string::npos ? list.size() : comma;
        size_t first = start, last = end;
        while (first < last && IsQuoteOrBlank(list[first]))
            ++first;
        while (last > first && IsQuoteOrBlank(list[last - 1]))
            --last;
        if (last > first)
            names.emplace_back(list, first, last - first);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return names;
}

const char SvgFontBuilder::kDefaultFamily[] = "\xD0\xC2\xCB\xCE\xCC\xE5";
const WCHAR SvgFontBuilder::kFallbackFamily[] = u"Times New Roman";

SvgFontRequest SvgFontBuilder::Request(const SvgStyle& style) {
    SvgFontRequest request;
    // The family, weight and style in force (the cascade hands them down).
    if (style.text && !style.text->fontFamily.value.empty())
        request.family = style.text->fontFamily.value;
    else
        request.family = kDefaultFamily;
    if (style.fontSize.set)
        request.size = style.fontSize.computed;
    if (IsBold(style.fontWeight.computed))
        request.style |= FontStyleBold;
    if (style.fontStyle.computed == kStyleItalic || style.fontStyle.computed == kStyleOblique)
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
    // The first name of the list that names an installed family (or a generic
    // one) gives the font.
    GdiFont first;
    SvgTextBuffer name(kFamilyNameUnits);
    for (const std::string& narrow : FamilyNames(request.family)) {
        name.Convert(CP_UTF8, narrow);
        GdiFontFamily* family = GdiFontFamily::Create(name.Get());
        if (family && family->Get())
            first.Record(GdipCreateFont(family->Get(), request.size, request.style, UnitPixel,
                                        &first.handle));
        else
            first.Record(family ? family->GetLastStatus() : OutOfMemory);
        delete family;
        if (first.Get())
            break;
    }
    return first.Clone();
}

GdiStringFormat* SvgFontBuilder::BuildStringFormat(const SvgStyle& style) {
    // A run ending in a space is aligned with the space, as its advance counts it.
    GdiStringFormat* format = GdiStringFormat::Create(kNoClip | kMeasureTrailingSpaces, 0);
    if (!format)
        return nullptr;
    StringAlignment align = StringAlignmentNear;
    if (style.textAnchor.computed == kAnchorMiddle)
        align = StringAlignmentCenter;
    else if (style.textAnchor.computed == kAnchorEnd)
        align = StringAlignmentFar;
    format->Record(GdipSetStringFormatAlign(format->Get(), StringAlignmentNear));
    format->Record(GdipSetStringFormatLineAlign(format->Get(), StringAlignmentFar));
    if (align != StringAlignmentNear)
        format->Record(GdipSetStringFormatAlign(format->Get(), align));
    return format;
}

float SvgFontBuilder::AnchorX(StringAlignment align, float left, float advance) {
    if (align == StringAlignmentCenter)
        return left + advance / 2;
    if (align == StringAlignmentFar)
        return left + advance;
    return left;
}
