#pragma once

#include "style/SvgColor.h"
#include "style/SvgCompactString.h"

#include <string>

// What context-fill and context-stroke name: the fill or the stroke of the
// element a marker is drawn for, or of the `use` whose copy is drawn.
enum class SvgContextPaint : unsigned { None = 0, Fill = 1, Stroke = 2 };

// The value of fill, stroke, stop-color and color. A new paint is reset:
// no flag, no reference, colour black.
struct SvgPaint {
    SvgPaint() : set(0), inherit(0), currentColor(0), colorSet(0), noneSet(0), context(0) {}

    SvgContextPaint Context() const { return static_cast<SvgContextPaint>(context); }

    unsigned set : 1;          // the property was specified
    unsigned inherit : 1;      // ... as "inherit"
    unsigned currentColor : 1; // ... as "currentColor"; the cascade fills in the colour
    unsigned colorSet : 1;     // color holds a colour to paint with
    unsigned noneSet : 1;      // ... as "none"
    unsigned context : 2;      // ... as context-fill or context-stroke (SvgContextPaint)
    SvgCompactString uri;      // id referenced by url(#id); empty without a reference
    SvgColor color;
};
