#include "render/SvgGradientBrush.h"

#include "engine/GdiMatrix.h"
#include "engine/GdiPath.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

using namespace Gdiplus;

namespace {

KelSpread BackendSpread(SvgSpread spread) {
    switch (spread) {
    case SvgSpread::Reflect:
        return KelSpreadReflect;
    case SvgSpread::Repeat:
        return KelSpreadRepeat;
    default:
        return KelSpreadPad;
    }
}

} // namespace

std::vector<SvgGradientStop>
SvgGradientBrush::Normalize(const std::vector<SvgGradientStop>& stops) {
    std::vector<SvgGradientStop> out;
    out.reserve(stops.size() + 2);
    float previous = 0;
    for (const SvgGradientStop& stop : stops) {
        float position = std::clamp(stop.position, 0.0f, 1.0f);
        if (!(position >= previous))
            position = previous;
        out.push_back(SvgGradientStop{stop.color, position});
        previous = position;
    }
    if (out.empty())
        return out;
    if (out.front().position > 0)
        out.insert(out.begin(), SvgGradientStop{out.front().color, 0});
    if (out.back().position < 1)
        out.push_back(SvgGradientStop{out.back().color, 1});
    return out;
}

GdiBrush* SvgGradientBrush::CreateLinear(float x1, float y1, float x2, float y2,
                                         const std::vector<SvgGradientStop>& stops,
                                         SvgSpread spread, const SvgMatrix& transform) {
    if (stops.empty())
        return nullptr;
    GdiBrush* first = new GdiBrush;
    if (!first)
        return nullptr;
    GpPointF from(x1, y1), to(x2, y2);
    GpLineGradient* line = nullptr;
    first->Record(GdipCreateLineBrush(&from, &to, stops.front().color, stops.back().color,
                                      WrapModeTile, &line));
    first->handle = line;

    std::vector<ARGB> colors;
    std::vector<REAL> positions;
    for (const SvgGradientStop& stop : stops) {
        colors.push_back(stop.color);
        positions.push_back(stop.position);
    }
    first->Record(GdipSetLinePresetBlend(line, colors.data(), positions.data(),
                                         static_cast<INT>(stops.size())));
    first->Record(KelSetGradientSpread(line, BackendSpread(spread)));
    if (line && !SetTransform(first, transform, true)) {
        delete first;
        return CreateEmpty();
    }
    return Finish(first);
}

GdiBrush* SvgGradientBrush::CreateRadial(float cx, float cy, float r, float fx, float fy, float fr,
                                         const std::vector<SvgGradientStop>& stops,
                                         SvgSpread spread, const SvgMatrix& transform) {
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
    delete circle;
    GpPointF focus(fx, fy);
    first->Record(GdipSetPathGradientCenterPoint(gradient, &focus));

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
    first->Record(KelSetGradientSpread(gradient, BackendSpread(spread)));
    if (fr > 0)
        first->Record(KelSetGradientFocusRadius(gradient, fr));
    if (gradient && !SetTransform(first, transform, false)) {
        delete first;
        return CreateEmpty();
    }
    return Finish(first);
}

GdiBrush* SvgGradientBrush::CreateSolid(ARGB color) {
    GdiBrush* first = GdiBrush::CreateSolid(color);
    return first ? Finish(first) : nullptr;
}

GdiBrush* SvgGradientBrush::CreateEmpty() {
    return new GdiBrush;
}

bool SvgGradientBrush::SetTransform(GdiBrush* brush, const SvgMatrix& t, bool linear) {
    const double e[6] = {t.getA(), t.getB(), t.getC(), t.getD(), t.getE(), t.getF()};
    if (e[0] == 1 && e[1] == 0 && e[2] == 0 && e[3] == 1 && e[4] == 0 && e[5] == 0)
        return true;
    for (double v : e)
        if (!(std::fabs(v) <= FLT_MAX))
            return false; // beyond what the back end's matrices hold
    GdiMatrix* matrix =
        GdiMatrix::Create(REAL(e[0]), REAL(e[1]), REAL(e[2]), REAL(e[3]), REAL(e[4]), REAL(e[5]));
    if (!matrix)
        return false;
    Status status =
        linear ? GdipSetLineTransform(static_cast<GpLineGradient*>(brush->Get()), matrix->Get())
               : GdipSetPathGradientTransform(static_cast<GpPathGradient*>(brush->Get()),
                                              matrix->Get());
    delete matrix;
    brush->Record(status);
    return status == Ok;
}

GdiBrush* SvgGradientBrush::Finish(GdiBrush* first) {
    GdiBrush* result = first->Clone();
    if (result && result->handle)
        result->Record(first->GetLastStatus());
    delete first;
    return result;
}
