#include "render/SvgFontBuilder.h"

#include "render/SvgTextBuffer.h"
#include "style/SvgKeyword.h"
#include "style/SvgStyle.h"
#include "style/SvgValueReaders.h"

#include <algorithm>

using namespace Gdiplus;

namespace {

// Keyword numbers of the style record.
const unsigned kVariantSmallCaps = 1;
const unsigned kAnchorMiddle = 1;
const unsigned kAnchorEnd = 2;

const INT kNoClip = 0x4000;
const INT kMeasureTrailingSpaces = 0x0800;

// Names of a font-family list tried at most: each unknown one costs a match.
const size_t kMaxFamilyNames = 16;

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

KelFontTraits SvgFontRequest::Traits() const {
    // Bold and italic style bits make the face bold and slanted, unless the
    // weight is bold already (600 stays a semibold face where there is one).
    KelFontTraits traits;
    traits.weight = (style & FontStyleBold) && weight < 600 ? 700 : weight;
    traits.stretch = stretch;
    traits.slant = (style & FontStyleItalic) && slant == 0 ? 1 : slant;
    traits.smallCaps = smallCaps;
    traits.variationCount = UINT(variationTags.size());
    traits.variationTags = variationTags.data();
    traits.variationValues = variationValues.data();
    return traits;
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
    request.weight = std::clamp<INT>(style.fontWeight.weight, 1, 1000);
    if (request.weight >= 600)
        request.style |= FontStyleBold;
    request.slant = style.fontStyle.computed <= 2 ? INT(style.fontStyle.computed) : 0;
    if (request.slant != 0)
        request.style |= FontStyleItalic;
    request.stretch = kFontStretchPercent[std::min(style.fontStretch.computed, 8u)];
    request.smallCaps = style.fontVariant.computed == kVariantSmallCaps;
    std::vector<SvgFontVariation> variations;
    if (style.text &&
        ReadFontVariations(style.text->fontVariationSettings.value.c_str(), variations)) {
        for (const SvgFontVariation& v : variations) {
            request.variationTags.push_back(UINT32(uint8_t(v.tag[0])) << 24 |
                                            UINT32(uint8_t(v.tag[1])) << 16 |
                                            UINT32(uint8_t(v.tag[2])) << 8 | uint8_t(v.tag[3]));
            request.variationValues.push_back(v.value);
        }
    }
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
        KelFontTraits traits = request.Traits();
        if (family && family->Get())
            first.Record(KelCreateFontWithTraits(family->Get(), request.size, request.style,
                                                 UnitPixel, &traits, &first.handle));
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
