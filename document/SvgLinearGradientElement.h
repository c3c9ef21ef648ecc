#pragma once

#include "document/SvgGradientElement.h"
#include "style/SvgLength.h"

// The "linearGradient" element: colours along the vector (x1, y1) → (x2, y2),
// by default from the left edge of the object's box to its right edge.
class SvgLinearGradientElement : public SvgGradientElement {
public:
    SvgLinearGradientElement();

    // x1, y1, x2, y2, then gradientUnits, spreadMethod and href.
    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgLinearGradientElement(); }

    // A linear brush; one colour when the vector has no length. Null when
    // no gradient along the href chain has stops.
    GdiBrush* CreateBrush(const Gdiplus::RectF& bounds, unsigned alpha) const override;

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
