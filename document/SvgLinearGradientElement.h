#pragma once

#include "document/SvgGradientElement.h"
#include "style/SvgLength.h"

// The "linearGradient" element. Its brush always runs horizontally, from x1
// to x2 (truncated to whole numbers), between y1 and y2.
class SvgLinearGradientElement : public SvgGradientElement {
public:
    SvgLinearGradientElement();

    // x1, y1, x2, y2, then gradientUnits.
    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgLinearGradientElement(); }

    // A horizontal linear brush; null when the gradient has no stops.
    GdiBrush* CreateBrush(const Gdiplus::GpRect& bounds, unsigned alpha) const override;

    const SvgLength& GetX1() const { return x1; }
    const SvgLength& GetY1() const { return y1; }
    const SvgLength& GetX2() const { return x2; }
    const SvgLength& GetY2() const { return y2; }

private:
    SvgLength x1{0.0f};
    SvgLength y1{0.0f};
    SvgLength x2{1.0f};
    SvgLength y2{0.0f};
};
