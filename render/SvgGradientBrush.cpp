#include "render/SvgGradientBrush.h"

#include "engine/GdiPath.h"

#include <climits>
#include <cmath>
#include <cstring>

using namespace Gdiplus;

namespace {

// Truncates toward zero; values outside the int range saturate (a float that
// large cannot be converted directly).
INT TruncToInt(float value) {
    if (!(value == value))
        return 0;
    double t = std::trunc(static_cast<double>(value));
    if (t >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (t <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<INT>(t);
}

} // namespace

GpRect SvgGradientBrush::LinearRect(const char* units, float x1, float y1, float x2, float y2,
                                    const GpRect& bounds) {
    if (!units)
        return GpRect(0, 0, 0, 0);
    if (std::strcmp(units, "userSpaceOnUse") == 0) {
        // The differences in single precision, as the geometry is held.
        float width = x2 - x1;
        float height = y2 - y1;
        return GpRect(TruncToInt(x1), TruncToInt(y1), TruncToInt(width), TruncToInt(height));
    }
    if (std::strcmp(units, "objectBoundingBox") == 0)
        return bounds;
    return GpRect(0, 0, 0, 0);
}

GdiBrush* SvgGradientBrush::Finish(GdiBrush* first) {
    GdiBrush* result = first->Clone();
    if (result && result->handle)
        result->Record(first->GetLastStatus());
    delete first;
    return result;
}

GdiBrush* SvgGradientBrush::CreateLinear(const GpRect& rect,
                                         const std::vector<SvgGradientStop>& stops) {
    if (stops.empty())
        return nullptr;
    GdiBrush* first = new GdiBrush;
    if (!first)
        return nullptr;
    GpLineGradient* line = nullptr;
    first->Record(GdipCreateLineBrushFromRectI(&rect, stops.front().color, stops.back().color,
                                               LinearGradientModeHorizontal, WrapModeTile, &line));
    first->handle = line;

    std::vector<ARGB> colors;
    std::vector<REAL> positions;
    colors.reserve(stops.size());
    positions.reserve(stops.size());
    for (const SvgGradientStop& stop : stops) {
        colors.push_back(stop.color);
        positions.push_back(stop.position);
    }
    // Refused unless the positions run from 0 to 1: the two colours stay.
    first->Record(GdipSetLinePresetBlend(line, colors.data(), positions.data(),
                                         static_cast<INT>(stops.size())));
    return Finish(first);
}

GdiBrush* SvgGradientBrush::CreateRadial(float cx, float cy, float r,
                                         const std::vector<SvgGradientStop>& stops) {
    if (stops.empty())
        return nullptr;
    GdiPath* circle = GdiPath::Create(FillModeAlternate);
    if (!circle)
        return nullptr;
    REAL diameter = 2 * r;
    circle->Record(GdipAddPathEllipse(circle->Get(), cx - r, cy - r, diameter, diameter));

    GdiBrush* first = new GdiBrush;
    if (!first) {
        delete circle;
        return nullptr;
    }
    GpPathGradient* gradient = nullptr;
    first->Record(GdipCreatePathGradientFromPath(circle->Get(), &gradient));
    first->handle = gradient;
    first->Record(GdipSetPathGradientWrapMode(gradient, WrapModeTileFlipXY));

    // The back end puts position 0 on the rim and 1 at the centre: the stops
    // go in reverse order, each at one minus its offset.
    size_t n = stops.size();
    std::vector<ARGB> colors(n);
    std::vector<REAL> positions(n);
    for (size_t i = 0; i < n; ++i) {
        const SvgGradientStop& stop = stops[n - 1 - i];
        colors[i] = stop.color;
        positions[i] = 1 - stop.position;
    }
    first->Record(
        GdipSetPathGradientPresetBlend(gradient, colors.data(), positions.data(), INT(n)));
    GdiBrush* result = Finish(first);
    delete circle;
    return result;
}
