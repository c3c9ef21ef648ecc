#include "document/SvgFigureElement.h"

#include "render/SvgFigure.h"
#include "style/SvgStyle.h"

void SvgFigureElement::BuildGeometry() {
    if (m_figure)
        m_figure->BuildPath();
}

void SvgFigureElement::ReadStyle(TiXmlElement* xml) {
    if (!m_figure)
        return;
    SvgStyle* style = m_figure->GetStyle();
    if (m_parent && m_parent->GetKind() < kSvgKindInheritLimit && m_parent->GetFigure())
        style->parent = m_parent->GetFigure()->GetStyle();
    style->ReadFromElement(xml);
}

void SvgFigureElement::CopyFrom(const SvgElement* source) {
    if (m_figure && source->GetFigure())
        m_figure->CopyFrom(source->GetFigure());
}

void SvgFigureElement::PaintFigure(GdiGraphics& graphics) {
    if (m_figure)
        m_figure->Paint(graphics);
}
