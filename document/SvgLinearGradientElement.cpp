#include "document/SvgLinearGradientElement.h"

SvgLinearGradientElement::SvgLinearGradientElement()
    : SvgGradientElement(SvgKindLinearGradient, "linearGradient") {}

bool SvgLinearGradientElement::ReadAttributes(TiXmlElement* xml) {
    ReadLengthAttribute(x1, xml, "x1");
    ReadLengthAttribute(y1, xml, "y1");
    ReadLengthAttribute(x2, xml, "x2");
    ReadLengthAttribute(y2, xml, "y2");
    ReadCommonAttributes(xml);
    return true;
}

GdiBrush* SvgLinearGradientElement::CreateBrush(const Gdiplus::RectF& bounds,
                                                unsigned alpha) const {
    Paint paint;
    GdiBrush* instead = nullptr;
    if (!ResolvePaint(bounds, alpha, paint, instead))
        return instead;
    using Self = SvgLinearGradientElement;
    float ax = Resolve(Given(&Self::x1), 0, AxisX, paint);
    float ay = Resolve(Given(&Self::y1), 0, AxisY, paint);
    float bx = Resolve(Given(&Self::x2), 1, AxisX, paint);
    float by = Resolve(Given(&Self::y2), 0, AxisY, paint);
    // A vector without length paints the last stop's colour.
    if (ax == bx && ay == by)
        return SvgGradientBrush::CreateSolid(paint.stops.back().color);
    return SvgGradientBrush::CreateLinear(ax, ay, bx, by, paint.stops, paint.spread,
                                          paint.transform);
}
