#pragma once

#include "engine/GdiText.h"
#include "platform/gdiplus/GdipFontTraits.h"

#include <string>
#include <vector>

class SvgStyle;

// What a style asks of a font: family name, em size in pixels, style bits and
// the face's traits.
struct SvgFontRequest {
    std::string family; // a font-family list, UTF-8
    float size = 12.0f;
    INT style = 0;       // bold 1 (from the weight 600 up), italic 2, underline 4, strikeout 8
    INT weight = 400;    // 1 to 1000
    float stretch = 100; // percent of the normal width
    INT slant = 0;       // 0 normal, 1 italic, 2 oblique
    bool smallCaps = false;
    std::vector<UINT32> variationTags; // font-variation-settings
    std::vector<Gdiplus::REAL> variationValues;

    // The traits of the request for the back end (pointing into it); the
    // style's bold makes a weight below 600 700, its italic a slant.
    Gdiplus::KelFontTraits Traits() const;
};

// Fonts and string formats for the text figures. Family, weight, stretch,
// style, variant, variation settings, size and anchor are those in force
// after the cascade, so they inherit; the decoration is only the record's own.
class SvgFontBuilder {
public:
    // Family name buffer in UTF-16 units, terminator included.
    static constexpr size_t kFamilyNameUnits = 256;
    // The default family: three characters stored in a code page 936 encoding
    // (read as UTF-8 they name no family, so the fallback draws).
    static const char kDefaultFamily[];
    // The family drawn with when no font could be made.
    static const WCHAR kFallbackFamily[];

    static SvgFontRequest Request(const SvgStyle& style);
    // The names of a font-family list in order (at most 16): split at commas,
    // quotes and blanks trimmed, empty names left out.
    static std::vector<std::string> FamilyNames(const std::string& list);
    // A new font for the request, of the first family of its list that is
    // installed or generic; a font the back end refused has an empty handle.
    // Null only when the wrapper cannot be allocated.
    static GdiFont* BuildFont(const SvgFontRequest& request);
    // A new string format: no clipping, trailing spaces counted in the
    // alignment, the line's bottom on the layout point, aligned by the
    // text-anchor in force. Null only when the wrapper cannot
    // be allocated.
    static GdiStringFormat* BuildStringFormat(const SvgStyle& style);
    // The x at which a run aligned by align has its left edge at left.
    static float AnchorX(Gdiplus::StringAlignment align, float left, float advance);
};
