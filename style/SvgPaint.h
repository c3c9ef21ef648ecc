#pragma once

#include "style/SvgColor.h"
#include "style/SvgCompactString.h"

#include <string>

// The value of fill, stroke, stop-color and color. A new paint is reset:
// no flag, no reference, colour black.
struct SvgPaint {
    SvgPaint() : set(0), inherit(0), currentColor(0), colorSet(0), noneSet(0) {}

    unsigned set : 1;          // the property was specified
    unsigned inherit : 1;      // ... as "inherit"
    unsigned currentColor : 1; // ... as "currentColor"; the cascade fills in the colour
    unsigned colorSet : 1;     // color holds a colour to paint with
    unsigned noneSet : 1;      // ... as "none"
    SvgCompactString uri;      // id referenced by url(#id); empty without a reference
    SvgColor color;
};
