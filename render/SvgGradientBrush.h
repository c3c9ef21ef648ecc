#pragma once

#include "engine/GdiBrush.h"

#include <vector>

// One colour of a gradient's preset blend: an ARGB colour at a position.
struct SvgGradientStop {
    Gdiplus::ARGB color;
    Gdiplus::REAL position;
};

// Builds the back-end brushes of the gradient elements from plain values.
// Every refused back-end call is recorded in the brush returned; the brush is
// returned even when its native handle is empty (a fill with it then fails).
class SvgGradientBrush {
public:
    // The integer rectangle of a linear gradient: the points truncated toward
    // zero in user space, or the object's bounds for "objectBoundingBox", or all
    // zero for any other units text. Values beyond the int range saturate.
    static Gdiplus::GpRect LinearRect(const char* units, float x1, float y1, float x2, float y2,
                                      const Gdiplus::GpRect& bounds);

    // A horizontal linear brush over rect, tiled, from the first stop's colour
    // to the last stop's, with the stops as its preset blend. Null when stops
    // is empty or the wrapper cannot be allocated.
    static GdiBrush* CreateLinear(const Gdiplus::GpRect& rect,
                                  const std::vector<SvgGradientStop>& stops);

    // A path-gradient brush on the circle (cx, cy, r), mirrored outside its
    // bounding box, colouring the centre with the first stop and the rim with
    // the last. Null when stops is empty or the wrapper cannot be allocated.
    static GdiBrush* CreateRadial(float cx, float cy, float r,
                                  const std::vector<SvgGradientStop>& stops);

private:
    // The result: a clone of first carrying first's last failure; first is deleted.
    static GdiBrush* Finish(GdiBrush* first);
};
