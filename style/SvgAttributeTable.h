#pragma once

#include <cstddef>

// The attribute name table: 299 names numbered 1 to 299 in table order. Only
// the style-property rows (223 to 289, and the later properties from 294 on)
// lead to a property reader.
constexpr int kAttributeCount = 299;

// Numbers of the style-property rows.
enum SvgPropertyId : int {
    SvgPropTransform = 4,           // the attribute, and the property in declarations
    SvgPropFontSpecification = 223, // -inkscape-font-specification
    SvgPropFont = 224,
    SvgPropFontFamily = 225,
    SvgPropFontSize = 226,
    SvgPropFontSizeAdjust = 227,
    SvgPropFontStretch = 228,
    SvgPropFontStyle = 229,
    SvgPropFontVariant = 230,
    SvgPropFontWeight = 231,
    SvgPropTextIndent = 232,
    SvgPropTextAlign = 233,
    SvgPropTextDecoration = 234,
    SvgPropLineHeight = 235,
    SvgPropLetterSpacing = 236,
    SvgPropWordSpacing = 237,
    SvgPropTextTransform = 238,
    SvgPropDirection = 239,
    SvgPropBlockProgression = 240,
    SvgPropWritingMode = 241,
    SvgPropUnicodeBidi = 242,
    SvgPropAlignmentBaseline = 243,
    SvgPropBaselineShift = 244,
    SvgPropDominantBaseline = 245,
    SvgPropGlyphOrientationHorizontal = 246,
    SvgPropGlyphOrientationVertical = 247,
    SvgPropKerning = 248,
    SvgPropTextAnchor = 249,
    SvgPropClip = 250,
    SvgPropColor = 251,
    SvgPropCursor = 252,
    SvgPropDisplay = 253,
    SvgPropOverflow = 254,
    SvgPropVisibility = 255,
    SvgPropClipPath = 256,
    SvgPropClipRule = 257,
    SvgPropMask = 258,
    SvgPropOpacity = 259,
    SvgPropEnableBackground = 260,
    SvgPropFilter = 261,
    SvgPropFloodColor = 262,
    SvgPropFloodOpacity = 263,
    SvgPropLightingColor = 264,
    SvgPropStopColor = 265,
    SvgPropStopOpacity = 266,
    SvgPropPointerEvents = 267,
    SvgPropColorInterpolation = 268,
    SvgPropColorInterpolationFilters = 269,
    SvgPropColorProfile = 270,
    SvgPropColorRendering = 271,
    SvgPropFill = 272,
    SvgPropFillOpacity = 273,
    SvgPropFillRule = 274,
    SvgPropImageRendering = 275,
    SvgPropMarker = 276,
    SvgPropMarkerEnd = 277,
    SvgPropMarkerMid = 278,
    SvgPropMarkerStart = 279,
    SvgPropShapeRendering = 280,
    SvgPropStroke = 281,
    SvgPropStrokeDasharray = 282,
    SvgPropStrokeDashoffset = 283,
    SvgPropStrokeLinecap = 284,
    SvgPropStrokeLinejoin = 285,
    SvgPropStrokeMiterlimit = 286,
    SvgPropStrokeOpacity = 287,
    SvgPropStrokeWidth = 288,
    SvgPropTextRendering = 289,
    SvgPropTransformOrigin = 294,
    SvgPropMixBlendMode = 295,
    SvgPropIsolation = 296,
    SvgPropPaintOrder = 297,
    SvgPropFontKerning = 298,
    SvgPropFontVariationSettings = 299,
};

// Number of a name in the table (exact, case-sensitive), or 0 for a name that
// is not in it (also for null and the empty name). The lookup map is built once
// per process, at the first call.
int LookupAttributeId(const char* name);
// The same for a name given as length characters, not necessarily terminated.
int LookupAttributeId(const char* name, size_t length);

// The name with number id, or null outside 1 to kAttributeCount.
const char* AttributeName(int id);
