#include "document/SvgRadialGradientElement.h"

SvgRadialGradientElement::SvgRadialGradientElement()
    : SvgGradientElement(SvgKindRadialGradient, "radialGradient") {}

bool SvgRadialGradientElement::ReadAttributes(TiXmlElement* xml) {
    ReadLengthAttribute(cx, xml, "cx");
    ReadLengthAttribute(cy, xml, "cy");
    ReadLengthAttribute(r, xml, "r");
    ReadLengthAttribute(fx, xml, "fx");
    ReadLengthAttribute(fy, xml, "fy");
    ReadGradientUnits(xml);
    return true;
}

GdiBrush* SvgRadialGradientElement::CreateBrush(const Gdiplus::GpRect& /*bounds*/,
                                                unsigned alpha) const {
    std::vector<SvgGradientStop> stops = CollectStops(alpha);
    if (stops.empty())
        return nullptr;
    return SvgGradientBrush::CreateRadial(cx.computed, cy.computed, r.computed, stops);
}
