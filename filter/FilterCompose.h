#pragma once

#include "filter/FilterDescription.h"

// The primitives that combine or move whole pixels. Each writes out within
// area (transparent elsewhere); in is the source (drawn on top), in2 the
// backdrop.
void FilterBlendImage(const FilterImage& in, const FilterImage& in2, FilterImage& out,
                      FilterBlendMode mode, const FilterRect& area);
void FilterCompositeImage(const FilterImage& in, const FilterImage& in2, FilterImage& out,
                          const FilterComposite& c, const FilterRect& area);
// out becomes layer over out, within area.
void FilterOverImage(const FilterImage& layer, FilterImage& out, const FilterRect& area);
// in moved by (dx, dy) pixels, a fraction blending the two nearest.
void FilterOffsetImage(const FilterImage& in, FilterImage& out, double dx, double dy,
                       const FilterRect& area);
// The tile of in repeated over area.
void FilterTileImage(const FilterImage& in, const FilterRect& tile, FilterImage& out,
                     const FilterRect& area);
