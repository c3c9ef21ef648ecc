#pragma once

#include "style/SvgEnumValue.h"

// The parts of a shape's painting.
enum class SvgPaintLayer : unsigned char { Fill, Stroke, Markers };

// paint-order: the order in which a shape paints its fill, its stroke and its
// markers, held in the style as one of six numbers (0, "normal", is fill,
// stroke, markers).
struct SvgPaintOrder {
    // The three parts in painting order for a number (others count as 0).
    static void Layers(unsigned number, SvgPaintLayer layers[3]);
    // Reads "normal", "inherit" or one to three of fill, stroke and markers,
    // each at most once (the missing ones follow in that order) into an unset
    // value; text it does not take leaves the value unset.
    static void Read(SvgEnumValue& value, const char* text);
};
