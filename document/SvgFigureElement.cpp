#include "document/SvgFigureElement.h"

#if __has_include("render/SvgFigure.h")
#include "render/SvgFigure.h"
#define KELSVG_HAVE_FIGURE 1
#endif
#include "style/SvgStyle.h"

#ifdef KELSVG_HAVE_FIGURE

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
#else
void SvgFigureElement::BuildGeometry() {}
void SvgFigureElement::ReadStyle(TiXmlElement*) {}
void SvgFigureElement::CopyFrom(const SvgElement*) {}
void SvgFigureElement::PaintFigure(GdiGraphics&) {}
#endif
