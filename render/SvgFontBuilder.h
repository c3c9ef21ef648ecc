#pragma once

#include "engine/GdiText.h"

#include <string>

class SvgStyle;

// What a style asks of a font: family name, em size in pixels and style bits.
struct SvgFontRequest {
    std::string family; // narrow, in the system's ANSI code page
    float size = 12.0f;
    INT style = 0; // bold 1, italic 2, underline 4, strikeout 8
};

// Fonts and string formats for the text figures. Only what the style record
// itself specifies counts for family, weight, style, decoration and anchor (the
// cascade copies an inherited family without marking it set, and leaves
// inherited keywords in `computed`); the size counts once the cascade marked
// it set, so it is inherited.
class SvgFontBuilder {
public:
    // Family name buffer in UTF-16 units, terminator included.
    static constexpr size_t kFamilyNameUnits = 256;
    // The default family: three characters stored in a code page 936 encoding
    // (they only read as such where the ANSI code page is 936).
    static const char kDefaultFamily[];
    // The family drawn with when no font could be made.
    static const WCHAR kFallbackFamily[];

    static SvgFontRequest Request(const SvgStyle& style);
    // A new font for the request; a font the back end refused has an empty
    // handle. Null only when the wrapper cannot be allocated.
    static GdiFont* BuildFont(const SvgFontRequest& request);
    // A new string format: no clipping, the line's bottom on the layout point,
    // aligned by the style's own text-anchor. Null only when the wrapper cannot
    // be allocated.
    static GdiStringFormat* BuildStringFormat(const SvgStyle& style);
};
