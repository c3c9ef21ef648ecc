#include "document/SvgPolylineElement.h"

#include "render/SvgPointsFigure.h"

#include <tinyxml.h>

SvgPolylineElement::SvgPolylineElement() : SvgFigureElement(SvgKindPolyline, "polyline") {
    m_figure = new SvgPolylineFigure();
    m_figure->SetOwner(this);
}

SvgPolylineElement::~SvgPolylineElement() {
    delete m_figure;
}

SvgPolylineFigure* SvgPolylineElement::GetPolylineFigure() const {
    return static_cast<SvgPolylineFigure*>(m_figure);
}

bool SvgPolylineElement::ReadAttributes(TiXmlElement* xml) {
    const char* text = xml ? xml->Attribute("points") : nullptr;
    GetPolylineFigure()->points.appendFromText(text ? text : "");
    return true;
}
