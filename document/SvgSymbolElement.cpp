#include "document/SvgSymbolElement.h"

#include "document/SvgLayerScope.h"
#include "document/SvgRenderState.h"
#include "document/SvgViewport.h"
#include "render/SvgFigure.h"
#include "syntax/SvgScanner.h"

#include <tinyxml.h>

SvgSymbolElement::SvgSymbolElement()
    : SvgElement(SvgKindSymbol, "symbol"), m_x(0.0f), m_y(0.0f), m_width(-1.0f), m_height(-1.0f),
      m_figure(SvgFigure::CreateStyleHolder()) {
    m_viewBox.set(0, 0, 0, 0);
    m_figure->SetOwner(this);
}

SvgSymbolElement::~SvgSymbolElement() {
    delete m_figure;
}

bool SvgSymbolElement::ReadAttributes(TiXmlElement* xml) {
    if (const char* text = xml->Attribute("viewBox")) {
        SvgScanner scanner;
        scanner.readRect(m_viewBox, SvgString(text));
    }
    ReadStringAttribute(xml, "preserveAspectRatio", m_preserveAspectRatio);
    return true;
}

void SvgSymbolElement::CopyFrom(const SvgElement* source) {
    m_instantiated = 1;
    const auto* symbol = dynamic_cast<const SvgSymbolElement*>(source);
    if (!symbol)
        return;
    m_figure->CopyFrom(symbol->m_figure);
    m_viewBox = symbol->m_viewBox;
    m_preserveAspectRatio = symbol->m_preserveAspectRatio;
    // A copy of a copy a use sized keeps that size.
    m_width = symbol->m_width;
    m_height = symbol->m_height;
}

void SvgSymbolElement::SetSize(float width, float height) {
    m_width.computed = width;
    m_height.computed = height;
}

bool SvgSymbolElement::GetContentMatrix(SvgMatrix& matrix) const {
    double W = m_width.computed;
    double H = m_height.computed;
    double vw = m_viewBox.getWidth();
    double vh = m_viewBox.getHeight();
    bool sized = W > 0 && H > 0;
    bool hasViewBox = vw != 0 || vh != 0;
    // A given but empty or negative viewBox disables drawing, and so does a
    // viewport the use gives no area.
    if ((hasViewBox && (vw <= 0 || vh <= 0)) || (!sized && (W >= 0 || H >= 0)))
        return false;
    SvgViewportMapping m;
    double minX = 0;
    double minY = 0;
    if (hasViewBox) {
        float sx = sized ? static_cast<float>(W / vw) : 1.0f;
        float sy = sized ? static_cast<float>(H / vh) : 1.0f;
        m = SvgMapViewport(sx, sy, W, H, vw, vh, m_preserveAspectRatio);
        // Without a viewport size there is nothing to align within.
        if (!sized)
            m.translateX = m.translateY = 0;
        minX = m_viewBox.getX();
        minY = m_viewBox.getY();
    }
    matrix = SvgMatrix(m.scaleX, 0, 0, m.scaleY, static_cast<float>(m.translateX - minX * m.scaleX),
                       static_cast<float>(m.translateY - minY * m.scaleY));
    return true;
}

void SvgSymbolElement::Render(GdiGraphics& graphics) {
    SvgMatrix content;
    if (!m_instantiated || !GetContentMatrix(content))
        return;
    Gdiplus::GraphicsState state = SvgRenderState::Save(graphics);
    {
        SvgLayerScope layer(*this, graphics);
        GdiMatrix* matrix = GdiMatrix::Create();
        if (layer.Draws() && matrix && content.toGdiMatrix(*matrix) == Gdiplus::Ok) {
            if (m_width.computed > 0)
                SvgClipToViewport(graphics, m_figure->PeekStyle(),
                                  Gdiplus::RectF(0, 0, m_width.computed, m_height.computed));
            SvgRenderState::Prepend(graphics, matrix);
            RenderChildren(graphics);
        }
        delete matrix;
    }
    SvgRenderState::Restore(graphics, state);
}
