#pragma once

#include "platform/gdiplus/GdiPlus.h"

class SvgElement;

// An element's bounding box as SVG's objectBoundingBox means it: the box of
// the outlines it draws (fills, not strokes), curves counted by the points
// they pass through, in the user space where its opacity, clip path and mask
// apply (after its own transform and a use's offset, before an svg's or
// symbol's viewport). Content that is not displayed does not count.
class SvgElementBounds {
public:
    // False, and an empty box, when the element draws no outline.
    static bool Of(const SvgElement& element, Gdiplus::RectF& box);
    // A box, in the same space, that holds all the element draws, strokes
    // included (with room for joins and caps); false when there is none that
    // can be told (content of a kind it does not know, widths yet to be
    // resolved). An element that draws nothing has an empty box.
    static bool Ink(const SvgElement& element, Gdiplus::RectF& box);
};
