#include "document/SvgFigureElement.h"

#include "engine/SvgEngine.h"
#include "render/SvgFigure.h"
#include "style/SvgStyle.h"

namespace {

// Keyword number of visibility="visible".
const unsigned kSvgVisibilityVisible = 2;

} // namespace

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
    if (!m_figure)
        return;
    // Hidden or collapsed: the element paints nothing, but its children
    // decide for themselves.
    const SvgStyle* style = m_figure->PeekStyle();
    if (style && style->visibility.computed != kSvgVisibilityVisible)
        return;
    if (graphics.SkipsUnseen()) {
        // A band of the picture, drawn beside others on threads of their own.
        if (m_figure->OutsideView(graphics))
            return;
        m_figure->PrepareOnce();
    }
    if (m_owner && m_owner->GetRenderContext().coverage > 0)
        m_figure->PaintCoverage(graphics); // part of a clip path
    else
        m_figure->Paint(graphics);
}
