#pragma once

#include "filter/FilterDescription.h"

// The per-pixel colour primitives: each writes out within area (transparent
// elsewhere) from in's pixel at the same place, in straight colour.
void FilterColorMatrixImage(const FilterImage& in, FilterImage& out, const FilterColorMatrix& m,
                            const FilterRect& area);
void FilterComponentTransferImage(const FilterImage& in, FilterImage& out,
                                  const FilterComponentTransfer& t, const FilterRect& area);
// color (sRGB) over area, taken into out's space, which the caller sets.
void FilterFloodImage(FilterImage& out, const FilterColor& color, const FilterRect& area);

// A straight sRGB colour in the given space (channels clamped to 0 to 1).
FilterColor FilterColorIn(const FilterColor& color, FilterColorSpace space);
// A straight sRGB colour as a premultiplied pixel of the given space.
uint32_t FilterColorPixel(const FilterColor& color, FilterColorSpace space);
