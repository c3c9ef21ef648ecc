#include "document/SvgUseElement.h"

#include "document/SvgLayerScope.h"
#include "document/SvgRenderContext.h"
#include "document/SvgRenderState.h"
#include "document/SvgSymbolElement.h"
#include "engine/SvgEngine.h"
#include "render/SvgFigure.h"

#include <tinyxml.h>

SvgUseElement::SvgUseElement()
    : SvgFigureElement(SvgKindUse, "use"), m_x(0.0f), m_y(0.0f), m_width(-1.0f), m_height(-1.0f) {
    m_figure = SvgFigure::CreateStyleHolder();
    m_figure->SetOwner(this);
}

SvgUseElement::~SvgUseElement() {
    delete m_figure;
}

bool SvgUseElement::ReadAttributes(TiXmlElement* xml) {
    ReadLengthAttribute(m_x, xml, "x");
    ReadLengthAttribute(m_y, xml, "y");
    ReadLengthAttribute(m_width, xml, "width");
    ReadLengthAttribute(m_height, xml, "height");
    const char* href = xml->Attribute("xlink:href");
    if (!href)
        href = xml->Attribute("href"); // the un-prefixed form of newer files
    if (!href || !*href)
        return true;
    m_href = href + 1; // drops the '#' of a fragment reference
    if (!m_owner)
        return true;
    SvgElement* target = m_owner->FindElementById(m_href.c_str());
    if (!target)
        return true;
    SvgElement* copy = target->DeepCopyAt(GetDepth() + 1, this);
    if (!copy)
        return true;
    copy->SetParent(this);
    AppendChild(copy);
    if (copy->GetKind() == SvgKindSymbol)
        static_cast<SvgSymbolElement*>(copy)->SetSize(m_width.computed, m_height.computed);
    return true;
}

void SvgUseElement::CopyFrom(const SvgElement* source) {
    SvgFigureElement::CopyFrom(source);
    if (const auto* use = dynamic_cast<const SvgUseElement*>(source)) {
        m_x = use->m_x;
        m_y = use->m_y;
        m_width = use->m_width;
        m_height = use->m_height;
        m_href = use->m_href;
    }
}

void SvgUseElement::Render(GdiGraphics& graphics) {
    if (!IsDisplayed())
        return;
    Gdiplus::GraphicsState state = SvgRenderState::Save(graphics);
    ApplyTransform(graphics);
    GdiMatrix* offset = GdiMatrix::Create(1, 0, 0, 1, m_x.computed, m_y.computed);
    SvgRenderState::Prepend(graphics, offset);
    {
        // As a group around the copy, moved by the offset.
        SvgLayerScope layer(*this, graphics);
        if (layer.Draws()) {
            // The copy's context-fill and context-stroke are the use's.
            SvgRenderContext* context = m_owner ? &m_owner->GetRenderContext() : nullptr;
            if (context)
                context->PushPaintContext(*this, graphics);
            RenderChildren(graphics);
            if (context)
                context->paintContext.pop_back();
        }
    }
    SvgRenderState::Restore(graphics, state);
    delete offset;
}
