#pragma once

#include "filter/FilterDescription.h"

// A Gaussian blur of deviations (sx, sy) in pixels: three box blurs for a
// deviation of 2 or more (their sizes as SVG gives them), an exact kernel
// below. Every pixel costs the same whatever the deviation. out (of in's
// size) receives the blur within area and is transparent elsewhere; pixels
// beyond in's edges are taken by edge. work and scratch (of in's size) hold
// the passes.
void FilterGaussianBlurImage(const FilterImage& in, FilterImage& out, float sx, float sy,
                             FilterEdgeMode edge, const FilterRect& area, int threads,
                             FilterImage& work, FilterImage& scratch);

// How far (in pixels) a blur of deviation s reaches.
int FilterBlurReach(float s);
