#include "document/SvgCircleElement.h"

#include "render/SvgCircleFigure.h"

SvgCircleElement::SvgCircleElement() : SvgFigureElement(SvgKindCircle, "circle") {
    m_figure = new SvgCircleFigure();
    m_figure->SetOwner(this);
}

SvgCircleElement::~SvgCircleElement() {
    delete m_figure;
}

SvgCircleFigure* SvgCircleElement::GetCircleFigure() const {
    return static_cast<SvgCircleFigure*>(m_figure);
}

bool SvgCircleElement::ReadAttributes(TiXmlElement* xml) {
    SvgCircleFigure* figure = GetCircleFigure();
    ReadResolvedLength(xml, "cx", figure->cx);
    ReadResolvedLength(xml, "cy", figure->cy);
    ReadResolvedLength(xml, "r", figure->r);
    return true;
}

void SvgCircleElement::CopyFrom(const SvgElement* source) {
    SvgCircleFigure* figure = new SvgCircleFigure();
    figure->SetOwner(this);
    delete m_figure;
    m_figure = figure;
    if (source)
        figure->CopyFrom(source->GetFigure());
}
