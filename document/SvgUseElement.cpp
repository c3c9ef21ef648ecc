#include "document/SvgUseElement.h"

#include "document/SvgLayerScope.h"
#include "document/SvgRenderContext.h"
#include "document/SvgRenderState.h"
#include "document/SvgRootElement.h"
#include "document/SvgSymbolElement.h"
#include "engine/SvgEngine.h"
#include "render/SvgFigure.h"

#include <tinyxml.h>

#include <algorithm>

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
    // Percentages of the viewport, and font-relative lengths, for the offset.
    float resolved = 0;
    if (m_x.unit >= SvgUnitEm && ReadResolvedLength(xml, "x", resolved))
        m_x.computed = resolved;
    if (m_y.unit >= SvgUnitEm && ReadResolvedLength(xml, "y", resolved))
        m_y.computed = resolved;
    const char* href = xml->Attribute("xlink:href");
    if (!href)
        href = xml->Attribute("href"); // the un-prefixed form of newer files
    // Only a fragment ("#id") names an element of this document.
    if (!href || href[0] != '#' || !href[1])
        return true;
    m_href = href + 1;
    if (m_owner) {
        m_stage = Stage::Unresolved;
        m_owner->AddPendingUse(this);
    }
    return true;
}

void SvgUseElement::CopyTarget(const SvgElement& target) {
    SvgElement* copy = target.DeepCopyAt(GetDepth() + 1, this);
    if (!copy)
        return;
    copy->SetParent(this);
    AppendChild(copy);
    if (copy->GetKind() == SvgKindSymbol) {
        // As wide and high as the use says, else its whole viewport.
        SvgRect viewport = GetViewportRect();
        auto side = [&](const SvgLength& length, double whole) {
            if (!length.set || length.inherit)
                return whole;
            if (length.unit == SvgUnitPercent)
                return length.value * whole;
            if (length.unit == SvgUnitEm || length.unit == SvgUnitEx)
                return length.value * GetFontSize() / (length.unit == SvgUnitEx ? 2.0 : 1.0);
            return double(length.computed);
        };
        double w = std::max(0.0, side(m_width, viewport.getWidth()));
        double h = std::max(0.0, side(m_height, viewport.getHeight()));
        static_cast<SvgSymbolElement*>(copy)->SetSize(static_cast<float>(std::min(w, 1e30)),
                                                      static_cast<float>(std::min(h, 1e30)));
    } else if (copy->GetKind() == SvgKindSvg) {
        static_cast<SvgRootElement*>(copy)->SetUseSize(m_width, m_height);
    }
}

void SvgUseElement::CopyFrom(const SvgElement* source) {
    SvgFigureElement::CopyFrom(source);
    if (const auto* use = dynamic_cast<const SvgUseElement*>(source)) {
        m_x = use->m_x;
        m_y = use->m_y;
        m_width = use->m_width;
        m_height = use->m_height;
        m_href = use->m_href;
        m_cyclic = use->m_cyclic;
    }
    m_stage = Stage::Resolved;
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
