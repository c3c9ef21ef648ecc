#pragma once

#include "document/SvgGradientElement.h"
#include "style/SvgLength.h"

// The "radialGradient" element: colours from the focal circle (fx, fy, fr)
// out to the circle (cx, cy, r); by default the circle fits the object's box
// and the focus is its centre, a point.
class SvgRadialGradientElement : public SvgGradientElement {
public:
    SvgRadialGradientElement();

    // cx, cy, r, fx, fy, fr, then gradientUnits, spreadMethod and href.
    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgRadialGradientElement(); }

    // A radial brush; one colour when the radius is not positive. Null when
    // no gradient along the href chain has stops.
    GdiBrush* CreateBrush(const Gdiplus::RectF& bounds, unsigned alpha) const override;

    const SvgLength& GetCx() const { return cx; }
    const SvgLength& GetCy() const { return cy; }
    const SvgLength& GetR() const { return r; }
    const SvgLength& GetFx() const { return fx; }
    const SvgLength& GetFy() const { return fy; }
    const SvgLength& GetFr() const { return fr; }

private:
    SvgLength cx{0.0f};
    SvgLength cy{0.0f};
    SvgLength r{0.0f};
    SvgLength fx{0.0f};
    SvgLength fy{0.0f};
    SvgLength fr{0.0f};
};
