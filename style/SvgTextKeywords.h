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

// writing-mode: lr-tb and horizontal-tb, rl-tb, tb-rl (and tb, vertical-rl),
// vertical-lr.
enum class SvgWritingMode : unsigned char { LrTb = 0, RlTb = 1, TbRl = 2, TbLr = 3 };

// dominant-baseline and alignment-baseline (whose "baseline" is Auto).
enum class SvgBaseline : unsigned char {
    Auto = 0,
    Alphabetic = 1,
    Middle = 2,
    Central = 3,
    Hanging = 4,
    Mathematical = 5,
    Ideographic = 6,
    TextBeforeEdge = 7,
    TextAfterEdge = 8,
    TextTop = 9,
    TextBottom = 10,
};

// baseline-shift: a keyword, or the length beside it.
enum class SvgBaselineShift : unsigned char { Baseline = 0, Sub = 1, Super = 2, Length = 3 };

// glyph-orientation-vertical: auto, 0deg (upright) or 90deg (sideways).
enum class SvgGlyphOrientation : unsigned char { Auto = 0, Upright = 1, Sideways = 2 };
