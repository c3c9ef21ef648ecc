#pragma once

#include "filter/FilterDescription.h"

// Erodes (the smallest value of each channel) or dilates (the largest) in
// over a rectangle reaching (rx, ry) pixels, with transparent pixels beyond
// in's edges, into out within area (transparent elsewhere). Each pixel costs
// the same whatever the radii. scratch (of in's size) holds a pass.
void FilterMorphologyImage(const FilterImage& in, FilterImage& out, FilterMorphologyOperator op,
                           int rx, int ry, const FilterRect& area, int threads,
                           FilterImage& scratch);
