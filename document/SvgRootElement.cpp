#include "document/SvgRootElement.h"

#include "document/SvgLayerScope.h"
#include "document/SvgRenderState.h"
#include "document/SvgViewport.h"
#include "render/SvgFigure.h"
#include "syntax/SvgScanner.h"

#include <tinyxml.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

// A length the root can take as its size: given, in user units or an absolute unit.
bool IsAbsolute(const SvgLength& length) {
    return length.set && !length.inherit && length.unit <= SvgUnitIn;
}

// A nested svg's length: absolute, relative to the font size, or a share of
// base; fallback when not given.
double Resolve(const SvgLength& length, double base, double fontSize, double fallback) {
    if (!length.set || length.inherit)
        return fallback;
    switch (length.unit) {
    case SvgUnitPercent:
        return length.value * base;
    case SvgUnitEm:
        return length.value * fontSize;
    case SvgUnitEx:
        return length.value * fontSize / 2;
    default:
        return length.computed;
    }
}

float Narrow(double value) {
    return std::isfinite(value)
               ? static_cast<float>(std::clamp(value, -double(FLT_MAX), double(FLT_MAX)))
               : 0.0f;
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
    m_hasViewBox = svg->m_hasViewBox;
    m_x = svg->m_x;
    m_y = svg->m_y;
    m_width = svg->m_width;
    m_height = svg->m_height;
    m_preserveAspectRatio = svg->m_preserveAspectRatio;
    m_documentWidth = svg->m_documentWidth;
    m_documentHeight = svg->m_documentHeight;
    m_viewportX = svg->m_viewportX;
    m_viewportY = svg->m_viewportY;
    m_viewportWidth = svg->m_viewportWidth;
    m_viewportHeight = svg->m_viewportHeight;
    m_widthFollows = svg->m_widthFollows;
    m_heightFollows = svg->m_heightFollows;
    // A copy is nested wherever it is placed: its percentages are of the
    // viewport around it there.
    if (m_parent)
        ResolveNestedViewport();
    ComputeViewportMatrix();
}

bool SvgRootElement::ReadAttributes(TiXmlElement* xml) {
    ReadLengthAttribute(m_x, xml, "x");
    ReadLengthAttribute(m_y, xml, "y");
    ReadLengthAttribute(m_width, xml, "width");
    ReadLengthAttribute(m_height, xml, "height");
    if (const char* text = xml->Attribute("viewBox")) {
        SvgScanner scanner;
        m_hasViewBox = scanner.readRect(m_viewBox, SvgString(text));
    }
    ReadStringAttribute(xml, "preserveAspectRatio", m_preserveAspectRatio);
    if (m_parent) {
        ResolveNestedViewport();
    } else {
        // Without a usable width or height the viewBox gives the size.
        bool viewBoxUsable = m_hasViewBox && m_viewBox.getWidth() > 0 && m_viewBox.getHeight() > 0;
        m_documentWidth = IsAbsolute(m_width) ? m_width.computed
                          : viewBoxUsable     ? static_cast<float>(m_viewBox.getWidth())
                                              : 0.0f;
        m_documentHeight = IsAbsolute(m_height) ? m_height.computed
                           : viewBoxUsable      ? static_cast<float>(m_viewBox.getHeight())
                                                : 0.0f;
        m_widthFollows = !m_hasViewBox && !IsAbsolute(m_width);
        m_heightFollows = !m_hasViewBox && !IsAbsolute(m_height);
        m_viewportWidth = m_documentWidth;
        m_viewportHeight = m_documentHeight;
        if (!m_hasViewBox)
            m_viewBox.set(0, 0, m_documentWidth, m_documentHeight);
    }
    ComputeViewportMatrix();
    return true;
}

void SvgRootElement::ResolveNestedViewport() {
    SvgRect outer = m_parent ? m_parent->GetViewportRect() : SvgRect(0, 0, 0, 0);
    double fontSize = GetFontSize();
    double w = outer.getWidth(), h = outer.getHeight();
    m_viewportX = Narrow(Resolve(m_x, w, fontSize, 0));
    m_viewportY = Narrow(Resolve(m_y, h, fontSize, 0));
    m_viewportWidth = Narrow(Resolve(m_width, w, fontSize, w));
    m_viewportHeight = Narrow(Resolve(m_height, h, fontSize, h));
    if (!m_hasViewBox)
        m_viewBox.set(0, 0, m_viewportWidth, m_viewportHeight);
}

void SvgRootElement::SetSize(float width, float height) {
    m_viewportWidth = width;
    m_viewportHeight = height;
}

void SvgRootElement::SetUseSize(const SvgLength& width, const SvgLength& height) {
    // Only what the use gives replaces the svg's own.
    if (width.set && !width.inherit)
        m_width = width;
    if (height.set && !height.inherit)
        m_height = height;
    ResolveNestedViewport();
    ComputeViewportMatrix();
}

void SvgRootElement::ComputeViewportMatrix() {
    double W = m_viewportWidth;
    double H = m_viewportHeight;
    if (m_widthFollows)
        m_viewBox.setWidth(W);
    if (m_heightFollows)
        m_viewBox.setHeight(H);
    double vw = m_viewBox.getWidth();
    double vh = m_viewBox.getHeight();
    // An empty (or negative) viewBox or nested viewport disables drawing.
    m_drawable = vw > 0 && vh > 0 && (!m_parent || (W > 0 && H > 0));
    if (!m_drawable)
        return;
    double minX = m_viewBox.getX();
    double minY = m_viewBox.getY();
    float m[6] = {1, 0, 0, 1, 0, 0};
    if (m_parent) {
        // The viewBox into the viewport, placed at (x, y).
        SvgViewportMapping map;
        if (m_hasViewBox)
            map = SvgMapViewport(static_cast<float>(W / vw), static_cast<float>(H / vh), W, H, vw,
                                 vh, m_preserveAspectRatio);
        m[0] = map.scaleX;
        m[3] = map.scaleY;
        m[4] = static_cast<float>(m_viewportX + map.translateX - minX * map.scaleX);
        m[5] = static_cast<float>(m_viewportY + map.translateY - minY * map.scaleY);
    } else if (!m_hasViewBox) {
        // The document's size (or the window, on an axis without one)
        // stretched into the window.
        m[0] = static_cast<float>(W / vw);
        m[3] = static_cast<float>(H / vh);
    } else {
        // The viewBox into the document's own size after preserveAspectRatio,
        // then that size stretched into the window.
        double dw = m_documentWidth > 0 ? m_documentWidth : W;
        double dh = m_documentHeight > 0 ? m_documentHeight : H;
        SvgViewportMapping map =
            SvgMapViewport(static_cast<float>(dw / vw), static_cast<float>(dh / vh), dw, dh, vw, vh,
                           m_preserveAspectRatio);
        double stretchX = dw > 0 ? W / dw : 0;
        double stretchY = dh > 0 ? H / dh : 0;
        m[0] = static_cast<float>(stretchX * map.scaleX);
        m[3] = static_cast<float>(stretchY * map.scaleY);
        m[4] = static_cast<float>(stretchX * (map.translateX - minX * map.scaleX));
        m[5] = static_cast<float>(stretchY * (map.translateY - minY * map.scaleY));
    }
    if (m_viewportMatrix)
        m_viewportMatrix->SetElements(m[0], m[1], m[2], m[3], m[4], m[5]);
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
            if (m_parent)
                SvgClipToViewport(
                    graphics, m_figure->PeekStyle(),
                    Gdiplus::RectF(m_viewportX, m_viewportY, m_viewportWidth, m_viewportHeight));
            SvgRenderState::Prepend(graphics, m_viewportMatrix);
            RenderChildren(graphics);
        }
    }
    SvgRenderState::Restore(graphics, state);
}
