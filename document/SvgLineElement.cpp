#include "document/SvgLineElement.h"

#include "render/SvgLineFigure.h"

SvgLineElement::SvgLineElement() : SvgFigureElement(SvgKindLine, "line") {
    m_figure = new SvgLineFigure();
    m_figure->SetOwner(this);
}

SvgLineElement::~SvgLineElement() {
    delete m_figure;
}

SvgLineFigure* SvgLineElement::GetLineFigure() const {
    return static_cast<SvgLineFigure*>(m_figure);
}

bool SvgLineElement::ReadAttributes(TiXmlElement* xml) {
    SvgLineFigure* figure = GetLineFigure();
    ReadResolvedLength(xml, "x1", figure->x1);
    ReadResolvedLength(xml, "y1", figure->y1);
    ReadResolvedLength(xml, "x2", figure->x2);
    ReadResolvedLength(xml, "y2", figure->y2);
    return true;
}
