#pragma once

// Keyword numbers of the text properties that lay text out, as the style
// record's SvgEnumValue fields hold them (value and computed).

enum class SvgUnicodeBidi : unsigned char {
    Normal = 0,
    Embed = 1,
    Isolate = 2,
    BidiOverride = 3,
    IsolateOverride = 4,
    Plaintext = 5,
};

enum class SvgFontKerning : unsigned char { Auto = 0, Normal = 1, None = 2 };

enum class SvgTextRendering : unsigned char {
    Auto = 0,
    OptimizeSpeed = 1,
    OptimizeLegibility = 2,
    GeometricPrecision = 3,
};

enum class SvgDirection : unsigned char { Ltr = 0, Rtl = 1 };

enum class SvgTextAnchor : unsigned char { Start = 0, Middle = 1, End = 2 };
