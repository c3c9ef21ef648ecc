#include "document/SvgLinearGradientElement.h"

SvgLinearGradientElement::SvgLinearGradientElement()
    : SvgGradientElement(SvgKindLinearGradient, "linearGradient") {}

bool SvgLinearGradientElement::ReadAttributes(TiXmlElement* xml) {
    // Percentages, em and "inherit" leave the computed values as they were.
    ReadLengthAttribute(x1, xml, "x1");
    ReadLengthAttribute(y1, xml, "y1");
    ReadLengthAttribute(x2, xml, "x2");
    ReadLengthAttribute(y2, xml, "y2");
    ReadGradientUnits(xml);
    return true;
}

GdiBrush* SvgLinearGradientElement::CreateBrush(const Gdiplus::GpRect& bounds,
                                                unsigned alpha) const {
    std::vector<SvgGradientStop> stops = CollectStops(alpha);
    if (stops.empty())
        return nullptr;
    Gdiplus::GpRect rect = SvgGradientBrush::LinearRect(
        gradientUnits.c_str(), x1.computed, y1.computed, x2.computed, y2.computed, bounds);
    return SvgGradientBrush::CreateLinear(rect, stops);
}
