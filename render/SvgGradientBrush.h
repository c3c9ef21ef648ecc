#pragma once

#include "engine/GdiBrush.h"
#include "syntax/SvgMatrix.h"

#include <vector>

// One colour of a gradient: an ARGB colour at a position along it.
struct SvgGradientStop {
    Gdiplus::ARGB color;
    Gdiplus::REAL position;
};

// How a gradient goes on beyond its ends (the spreadMethod keywords).
enum class SvgSpread { Pad, Reflect, Repeat };

// Builds the back-end brushes of the gradient elements from plain values, in
// the gradient's own space; `transform` maps that space into user space.
// Every refused back-end call is recorded in the brush returned; the brush is
// returned even when its native handle is empty (a fill with it then fails).
class SvgGradientBrush {
public:
    // Stops as a gradient paints them: each position clamped to [0, 1] and at
    // least the one before it; the end colours repeated at 0 and 1 when the
    // stops do not reach them, so that every stop list is a usable blend.
    static std::vector<SvgGradientStop> Normalize(const std::vector<SvgGradientStop>& stops);

    // Along the line from (x1, y1) to (x2, y2), constant across it. Stops as
    // Normalize returns them, at least two. Null when the wrapper cannot be
    // allocated.
    static GdiBrush* CreateLinear(float x1, float y1, float x2, float y2,
                                  const std::vector<SvgGradientStop>& stops, SvgSpread spread,
                                  const SvgMatrix& transform);

    // From the focal circle (fx, fy, fr), at position 0, out to the circle
    // (cx, cy, r) at position 1: the circles between the two, the focus
    // widening into the circle. A focus outside the circle paints only the
    // cone they sweep.
    static GdiBrush* CreateRadial(float cx, float cy, float r, float fx, float fy, float fr,
                                  const std::vector<SvgGradientStop>& stops, SvgSpread spread,
                                  const SvgMatrix& transform);

    // One colour everywhere.
    static GdiBrush* CreateSolid(Gdiplus::ARGB color);
    // A brush without a native brush: filling with it paints nothing.
    static GdiBrush* CreateEmpty();

private:
    // Sets transform on the brush; false when the back end refuses it.
    static bool SetTransform(GdiBrush* brush, const SvgMatrix& transform, bool linear);
    // The result: a clone of first carrying first's last failure; first is deleted.
    static GdiBrush* Finish(GdiBrush* first);
};
