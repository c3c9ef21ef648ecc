#pragma once

#include "filter/FilterDescription.h"

// Kernels whose cells times the area's pixels exceed this are not applied:
// the result is then the input (as for a kernel SVG does not accept).
constexpr double kFilterMaxConvolveWork = 4294967296.0;

// Convolves in with the kernel (turned half a turn, as SVG does) into out
// within area (transparent elsewhere), pixels beyond in's edges taken by the
// edge mode. False when the work is too large (out then untouched).
bool FilterConvolveImage(const FilterImage& in, FilterImage& out, const FilterConvolveMatrix& c,
                         const FilterRect& area, int threads);
