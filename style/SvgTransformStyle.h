#pragma once

#include "style/SvgStringValue.h"

// The element's transform as a CSS property (from style declarations and
// sheets; the transform attribute is read by the element itself) and its
// transform-origin, kept as written: they resolve against the element's font
// size and viewport once its style is complete (SvgCssTransform). Neither is
// inherited.
struct SvgTransformStyle {
    SvgStringValue transform;
    SvgStringValue origin;
};
