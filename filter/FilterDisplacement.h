#pragma once

#include "filter/FilterDescription.h"

// Moves the pixels of in by the channels of map (straight values, 0.5 for no
// move, scaled by the scales) into out within area (transparent elsewhere);
// pixels taken from beyond in's edges are transparent.
void FilterDisplacementImage(const FilterImage& in, const FilterImage& map, FilterImage& out,
                             const FilterDisplacementMap& d, const FilterRect& area, int threads);
