#pragma once

#include "filter/FilterDescription.h"

// Runs the graph of a filter. image holds the source graphic (premultiplied
// sRGB, of the description's size) and receives the result. False, with
// image untouched, when the buffers would exceed the limits or memory runs
// out.
bool FilterRun(const FilterDescription& description, FilterImage& image,
               const FilterLimits& limits);

// How far (in pixels, along x and y) the result of primitive index can take
// content from: what a pixel of it depends on lies at most this far away;
// -1 along an axis where it can come from anywhere (a tile, an edge mode that
// wraps or repeats the buffer's edges).
void FilterReach(const FilterDescription& description, int index, long& x, long& y);
