#pragma once

#include "document/SvgGradientElement.h"
#include "style/SvgLength.h"

// The "radialGradient" element: a brush on the circle (cx, cy, r), the first
// stop at the centre and the last on the rim. fx and fy are read, not used.
class SvgRadialGradientElement : public SvgGradientElement {
public:
    SvgRadialGradientElement();

    // cx, cy, r, fx, fy, then gradientUnits (which the brush does not use).
    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgRadialGradientElement(); }

    // A path-gradient brush; the bounds are not used. Null without stops.
    GdiBrush* CreateBrush(const Gdiplus::GpRect& bounds, unsigned alpha) const override;

    const SvgLength& GetCx() const { return cx; }
    const SvgLength& GetCy() const { return cy; }
    const SvgLength& GetR() const { return r; }
    const SvgLength& GetFx() const { return fx; }
    const SvgLength& GetFy() const { return fy; }

private:
    // A missing or unresolved value is 0.
    SvgLength cx{0.0f};
    SvgLength cy{0.0f};
    SvgLength r{0.0f};
    SvgLength fx{0.0f};
    SvgLength fy{0.0f};
};
