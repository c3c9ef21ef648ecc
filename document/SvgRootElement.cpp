#include "document/SvgRootElement.h"

#include "document/SvgLayerScope.h"
#include "document/SvgRenderState.h"
#include "document/SvgViewport.h"
#include "render/SvgFigure.h"
#include "syntax/SvgScanner.h"

#include <tinyxml.h>

namespace {

// A length the root can take as its size: given, in user units or an absolute unit.
bool IsAbsolute(const SvgLength& length) {
    return length.set && !length.inherit && length.unit <= SvgUnitIn;
}

} // namespace

SvgRootElement::SvgRootElement()
    : SvgElement(SvgKindSvg, "svg"), m_viewportMatrix(GdiMatrix::Create()),
      m_figure(SvgFigure::CreateStyleHolder()) {
    m_viewBox.set(0, 0, 0, 0);
    m_figure->SetOwner(this);
}

SvgRootElement::~SvgRootElement() {
    delete m_viewportMatrix;
    delete m_figure;
}

void SvgRootElement::CopyFrom(const SvgElement* source) {
    const auto* svg = dynamic_cast<const SvgRootElement*>(source);
    if (!svg)
        return;
    m_figure->CopyFrom(svg->m_figure);
    m_viewBox = svg->m_viewBox;
    m_x = svg->m_x;
    m_y = svg->m_y;
    m_width = svg->m_width;
    m_height = svg->m_height;
    m_preserveAspectRatio = svg->m_preserveAspectRatio;
    m_widthFollows = svg->m_widthFollows;
    m_heightFollows = svg->m_heightFollows;
    ComputeViewportMatrix();
}

bool SvgRootElement::ReadAttributes(TiXmlElement* xml) {
    ReadLengthAttribute(m_x, xml, "x");
    ReadLengthAttribute(m_y, xml, "y");
    ReadLengthAttribute(m_width, xml, "width");
    ReadLengthAttribute(m_height, xml, "height");
    m_viewBox.set(0, 0, m_width.computed, m_height.computed);
    bool haveViewBox = false;
    if (const char* text = xml->Attribute("viewBox")) {
        SvgScanner scanner;
        haveViewBox = scanner.readRect(m_viewBox, SvgString(text));
    }
    // Without a usable width or height the viewBox gives the size.
    bool viewBoxUsable = haveViewBox && m_viewBox.getWidth() > 0 && m_viewBox.getHeight() > 0;
    if (!IsAbsolute(m_width))
        m_width.computed = viewBoxUsable ? static_cast<float>(m_viewBox.getWidth()) : 0.0f;
    if (!IsAbsolute(m_height))
        m_height.computed = viewBoxUsable ? static_cast<float>(m_viewBox.getHeight()) : 0.0f;
    if (!haveViewBox)
        m_viewBox.set(0, 0, m_width.computed, m_height.computed);
    m_widthFollows = !haveViewBox && !IsAbsolute(m_width);
    m_heightFollows = !haveViewBox && !IsAbsolute(m_height);

    ReadStringAttribute(xml, "preserveAspectRatio", m_preserveAspectRatio);
    if (!m_parent) {
        m_x.computed = 0;
        m_y.computed = 0;
    }
    m_viewBox.setX(m_viewBox.getX() + m_x.computed);
    m_viewBox.setY(m_viewBox.getY() + m_y.computed);
    ComputeViewportMatrix();
    return true;
}

void SvgRootElement::SetSize(float width, float height) {
    m_width.computed = width;
    m_height.computed = height;
}

void SvgRootElement::ComputeViewportMatrix() {
    double W = m_width.computed;
    double H = m_height.computed;
    if (m_widthFollows)
        m_viewBox.setWidth(W);
    if (m_heightFollows)
        m_viewBox.setHeight(H);
    double vw = m_viewBox.getWidth();
    double vh = m_viewBox.getHeight();
    // An empty (or negative) viewBox disables drawing.
    m_drawable = vw > 0 && vh > 0;
    if (!m_drawable)
        return;
    float sx = static_cast<float>(W / vw);
    float sy = static_cast<float>(H / vh);
    SvgViewportMapping m = SvgMapViewport(sx, sy, W, H, vw, vh, m_preserveAspectRatio);
    // The viewBox origin (its min-x and min-y, before x and y were added) maps
    // to the viewport's corner.
    double x = m_x.computed;
    double y = m_y.computed;
    double minX = m_viewBox.getX() - x;
    double minY = m_viewBox.getY() - y;
    float dx = static_cast<float>(x + m.translateX - minX * m.scaleX);
    float dy = static_cast<float>(y + m.translateY - minY * m.scaleY);
    if (m_viewportMatrix)
        m_viewportMatrix->SetElements(m.scaleX, 0, 0, m.scaleY, dx, dy);
}

void SvgRootElement::GetViewportElements(float elements[6]) const {
    for (int i = 0; i < 6; ++i)
        elements[i] = (i == 0 || i == 3) ? 1.0f : 0.0f;
    if (m_viewportMatrix)
        Gdiplus::GdipGetMatrixElements(m_viewportMatrix->handle, elements);
}

void SvgRootElement::Render(GdiGraphics& graphics) {
    if (!IsDisplayed())
        return;
    ComputeViewportMatrix();
    RenderInViewport(graphics);
}

void SvgRootElement::RenderInViewport(GdiGraphics& graphics) {
    if (!IsDisplayed() || !m_drawable)
        return;
    Gdiplus::GraphicsState state = SvgRenderState::Save(graphics);
    {
        // In the space the svg is placed in, around its viewport.
        SvgLayerScope layer(*this, graphics);
        if (layer.Draws()) {
            SvgRenderState::Prepend(graphics, m_viewportMatrix);
            RenderChildren(graphics);
        }
    }
    SvgRenderState::Restore(graphics, state);
}
