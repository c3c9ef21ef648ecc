#pragma once

#include "engine/GdiText.h"

#include <string>
#include <vector>

class SvgStyle;

// What a style asks of a font: family name, em size in pixels and style bits.
struct SvgFontRequest {
    std::string family; // a font-family list, UTF-8
    float size = 12.0f;
    INT style = 0; // bold 1, italic 2, underline 4, strikeout 8
};

// Fonts and string formats for the text figures. Family, weight, style, size
// and anchor are those in force after the cascade, so they inherit; the
// decoration is only the record's own.
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
