#pragma once

#include "filter/FilterDescription.h"

// Diffuse or specular lighting of the surface that in's alpha describes,
// into out within area (transparent elsewhere). The lighting colour's values
// are taken in the space of out, which the caller sets.
void FilterLightingImage(const FilterImage& in, FilterImage& out, const FilterLighting& lighting,
                         const FilterRect& area, int threads);
