#include "document/SvgEllipseElement.h"

#include "render/SvgEllipseFigure.h"

SvgEllipseElement::SvgEllipseElement() : SvgFigureElement(SvgKindEllipse, "ellipse") {
    m_figure = new SvgEllipseFigure();
    m_figure->SetOwner(this);
}

SvgEllipseElement::~SvgEllipseElement() {
    delete m_figure;
}

SvgEllipseFigure* SvgEllipseElement::GetEllipseFigure() const {
    return static_cast<SvgEllipseFigure*>(m_figure);
}

bool SvgEllipseElement::ReadAttributes(TiXmlElement* xml) {
    SvgEllipseFigure* figure = GetEllipseFigure();
    ReadResolvedLength(xml, "cx", figure->cx);
    ReadResolvedLength(xml, "cy", figure->cy);
    // A radius that is missing or "auto" takes the other one.
    bool haveRx = ReadRadius(xml, "rx", figure->rx);
    bool haveRy = ReadRadius(xml, "ry", figure->ry);
    if (haveRx && !haveRy)
        figure->ry = figure->rx;
    else if (haveRy && !haveRx)
        figure->rx = figure->ry;
    return true;
}

void SvgEllipseElement::CopyFrom(const SvgElement* source) {
    SvgEllipseFigure* figure = new SvgEllipseFigure();
    figure->SetOwner(this);
    delete m_figure;
    m_figure = figure;
    if (source)
        figure->CopyFrom(source->GetFigure());
}
