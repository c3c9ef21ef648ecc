#pragma once

#include "filter/FilterDescription.h"

// Octaves beyond this change no pixel: each adds less than half as much as
// the one before, and by then less than a 1/255 step in all.
constexpr int kFilterMaxOctaves = 16;

// Perlin noise, as SVG's reference code computes it, into out within area
// (transparent elsewhere). The values are taken in out's space, which the
// caller sets.
void FilterTurbulenceImage(FilterImage& out, const FilterTurbulence& t, const FilterRect& area,
                           int threads);
