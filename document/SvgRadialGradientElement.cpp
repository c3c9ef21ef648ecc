#include "document/SvgRadialGradientElement.h"

#include <algorithm>

SvgRadialGradientElement::SvgRadialGradientElement()
    : SvgGradientElement(SvgKindRadialGradient, "radialGradient") {}

bool SvgRadialGradientElement::ReadAttributes(TiXmlElement* xml) {
    ReadLengthAttribute(cx, xml, "cx");
    ReadLengthAttribute(cy, xml, "cy");
    ReadLengthAttribute(r, xml, "r");
    ReadLengthAttribute(fx, xml, "fx");
    ReadLengthAttribute(fy, xml, "fy");
    ReadLengthAttribute(fr, xml, "fr");
    ReadCommonAttributes(xml);
    return true;
}

GdiBrush* SvgRadialGradientElement::CreateBrush(const Gdiplus::RectF& bounds,
                                                unsigned alpha) const {
    Paint paint;
    GdiBrush* instead = nullptr;
    if (!ResolvePaint(bounds, alpha, paint, instead))
        return instead;
    using Self = SvgRadialGradientElement;
    float centreX = Resolve(Given(&Self::cx), 0.5f, AxisX, paint);
    float centreY = Resolve(Given(&Self::cy), 0.5f, AxisY, paint);
    float radius = Resolve(Given(&Self::r), 0.5f, AxisOther, paint);
    // The focus defaults to the centre, each coordinate on its own.
    const SvgLength* focusX = Given(&Self::fx);
    const SvgLength* focusY = Given(&Self::fy);
    float focusXValue = focusX ? Resolve(focusX, 0, AxisX, paint) : centreX;
    float focusYValue = focusY ? Resolve(focusY, 0, AxisY, paint) : centreY;
    // A negative focal radius is an error, as if none was given.
    float focalRadius = std::max(Resolve(Given(&Self::fr), 0, AxisOther, paint), 0.0f);
    // A circle without area paints the last stop's colour.
    if (!(radius > 0))
        return SvgGradientBrush::CreateSolid(paint.stops.back().color);
    return SvgGradientBrush::CreateRadial(centreX, centreY, radius, focusXValue, focusYValue,
                                          focalRadius, paint.stops, paint.spread, paint.transform);
}
