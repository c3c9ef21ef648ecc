#include "document/SvgFigureElement.h"

#include "render/SvgFigure.h"
#include "style/SvgStyle.h"

void SvgFigureElement::BuildGeometry() {
    if (m_figure)
        m_figure->BuildPath();
}

void SvgFigureElement::ReadStyle(TiXmlElement* xml) {
    ReadStyleInto(m_figure, xml);
}

void SvgFigureElement::CopyFrom(const SvgElement* source) {
    if (m_figure && source->GetFigure())
        m_figure->CopyFrom(source->GetFigure());
}

void SvgFigureElement::PaintFigure(GdiGraphics& graphics) {
    if (m_figure)
        m_figure->Paint(graphics);
}
