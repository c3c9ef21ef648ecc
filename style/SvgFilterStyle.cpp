#include "style/SvgFilterStyle.h"

const SvgKeyword kColorInterpolationKeywords[] = {
    {"auto", uint8_t(SvgColorInterpolation::Auto)},
    {"sRGB", uint8_t(SvgColorInterpolation::SRGB)},
    {"linearRGB", uint8_t(SvgColorInterpolation::LinearRGB)},
    {nullptr, 0}};
