#pragma once

// One row of a keyword table; a table ends with a row whose name is null.
struct SvgKeyword {
    const char* name;
    unsigned char value;
};

extern const SvgKeyword kFillRuleKeywords[];         // fill-rule
extern const SvgKeyword kStrokeLinecapKeywords[];    // stroke-linecap
extern const SvgKeyword kStrokeLinejoinKeywords[];   // stroke-linejoin
extern const SvgKeyword kFontStyleKeywords[];        // font-style
extern const SvgKeyword kFontSizeKeywords[];         // font-size keywords
extern const SvgKeyword kFontVariantKeywords[];      // font-variant
extern const SvgKeyword kFontWeightKeywords[];       // font-weight
extern const SvgKeyword kFontStretchKeywords[];      // font-stretch
extern const SvgKeyword kTextAlignKeywords[];        // text-align
extern const SvgKeyword kTextTransformKeywords[];    // text-transform
extern const SvgKeyword kTextAnchorKeywords[];       // text-anchor
extern const SvgKeyword kDirectionKeywords[];        // direction
extern const SvgKeyword kBlockProgressionKeywords[]; // block-progression
extern const SvgKeyword kWritingModeKeywords[];      // writing-mode
extern const SvgKeyword kVisibilityKeywords[];       // visibility
extern const SvgKeyword kOverflowKeywords[];         // overflow
extern const SvgKeyword kDisplayKeywords[];          // display
extern const SvgKeyword kEnableBackgroundKeywords[]; // enable-background
extern const SvgKeyword kShapeRenderingKeywords[];   // shape-rendering (SvgShapeRendering)
extern const SvgKeyword kColorRenderingKeywords[];   // color-rendering (validation only)
extern const SvgKeyword kImageRenderingKeywords[];   // image-rendering
extern const SvgKeyword kTextRenderingKeywords[];    // text-rendering (SvgTextRendering)
extern const SvgKeyword kMixBlendModeKeywords[];     // mix-blend-mode (SvgBlendMode)
extern const SvgKeyword kIsolationKeywords[];        // isolation (SvgIsolation)
extern const SvgKeyword kUnicodeBidiKeywords[];      // unicode-bidi (SvgUnicodeBidi)
extern const SvgKeyword kBaselineKeywords[];         // dominant-, alignment-baseline (SvgBaseline)
extern const SvgKeyword kBaselineShiftKeywords[];    // baseline-shift (SvgBaselineShift)
extern const SvgKeyword kGlyphOrientationKeywords[]; // glyph-orientation-vertical
extern const SvgKeyword kFontKerningKeywords[];      // font-kerning (SvgFontKerning)

// Widths of the font-stretch keywords 0 to 8, in percent of the normal width.
extern const float kFontStretchPercent[9];
