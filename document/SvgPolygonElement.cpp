#include "document/SvgPolygonElement.h"

#include "render/SvgPointsFigure.h"

#include <tinyxml.h>

SvgPolygonElement::SvgPolygonElement() : SvgFigureElement(SvgKindPolygon, "polygon") {
    m_figure = new SvgPolygonFigure();
    m_figure->SetOwner(this);
}

SvgPolygonElement::~SvgPolygonElement() {
    delete m_figure;
}

SvgPolygonFigure* SvgPolygonElement::GetPolygonFigure() const {
    return static_cast<SvgPolygonFigure*>(m_figure);
}

bool SvgPolygonElement::ReadAttributes(TiXmlElement* xml) {
    const char* text = xml ? xml->Attribute("points") : nullptr;
    GetPolygonFigure()->points.appendFromText(text ? text : "");
    return true;
}
