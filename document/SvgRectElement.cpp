#include "document/SvgRectElement.h"

#include "render/SvgRectFigure.h"

SvgRectElement::SvgRectElement() : SvgFigureElement(SvgKindRect, "rect") {
    m_figure = new SvgRectFigure();
    m_figure->SetOwner(this);
}

SvgRectElement::~SvgRectElement() {
    delete m_figure;
}

SvgRectFigure* SvgRectElement::GetRectFigure() const {
    return static_cast<SvgRectFigure*>(m_figure);
}

bool SvgRectElement::ReadAttributes(TiXmlElement* xml) {
    SvgRectFigure* figure = GetRectFigure();
    ReadResolvedLength(xml, "x", figure->x);
    ReadResolvedLength(xml, "y", figure->y);
    ReadResolvedLength(xml, "width", figure->width);
    ReadResolvedLength(xml, "height", figure->height);
    ReadRadius(xml, "rx", figure->rx);
    ReadRadius(xml, "ry", figure->ry);
    return true;
}

void SvgRectElement::CopyFrom(const SvgElement* source) {
    SvgRectFigure* figure = new SvgRectFigure();
    figure->SetOwner(this);
    delete m_figure;
    m_figure = figure;
    if (source)
        figure->CopyFrom(source->GetFigure());
}
