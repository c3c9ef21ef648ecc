#pragma once

#include "style/SvgEnumValue.h"
#include "style/SvgKeyword.h"
#include "style/SvgPaint.h"
#include "style/SvgScale24.h"

#include <cstdint>

// color-interpolation-filters.
enum class SvgColorInterpolation : uint8_t { Auto = 0, SRGB = 1, LinearRGB = 2 };
extern const SvgKeyword kColorInterpolationKeywords[];

// The properties only filter primitives read, kept apart from the style
// record (which holds them only once an element gives one): none of them is
// inherited but color-interpolation-filters, which the filter resolves
// through the element's ancestors.
struct SvgFilterStyle {
    SvgPaint floodColor;                    // flood-color
    SvgScale24 floodOpacity;                // flood-opacity
    SvgPaint lightingColor;                 // lighting-color
    SvgEnumValue colorInterpolationFilters; // color-interpolation-filters
};
