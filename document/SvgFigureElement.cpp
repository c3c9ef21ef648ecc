#include "document/SvgFigureElement.h"

#include "document/SvgMarkerPlacement.h"
#include "engine/SvgEngine.h"
#include "render/SvgFigure.h"
#include "style/SvgPaintOrder.h"
#include "style/SvgShapeRendering.h"
#include "style/SvgStyle.h"

namespace {

// Keyword number of visibility="visible".
const unsigned kSvgVisibilityVisible = 2;

} // namespace

SvgFigureElement::SvgFigureElement(int kind, const char* tagName)
    : SvgTransformableElement(kind, tagName) {}

SvgFigureElement::~SvgFigureElement() = default;

void SvgFigureElement::SetMarkers(std::unique_ptr<SvgMarkerPlacement> markers) {
    m_markers = std::move(markers);
}

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
    if (m_owner && m_owner->GetRenderContext().coverage > 0) {
        m_figure->PaintCoverage(graphics); // part of a clip path
        return;
    }
    // crispEdges and optimizeSpeed draw a shape's fill and stroke without
    // anti-aliasing (its markers follow their own style).
    bool aliased = style && SvgIsShapeKind(GetKind()) && SvgIsAliased(style->GetShapeRendering());
    Gdiplus::SmoothingMode smoothing = Gdiplus::SmoothingModeAntiAlias;
    if (aliased)
        Gdiplus::GdipGetSmoothingMode(graphics.Get(), &smoothing);
    SvgPaintLayer layers[3];
    SvgPaintOrder::Layers(style ? style->paintOrder.computed : 0, layers);
    for (SvgPaintLayer layer : layers) {
        if (aliased)
            graphics.Record(Gdiplus::GdipSetSmoothingMode(
                graphics.Get(),
                layer == SvgPaintLayer::Markers ? smoothing : Gdiplus::SmoothingModeHighSpeed));
        if (layer == SvgPaintLayer::Fill)
            m_figure->Fill(graphics);
        else if (layer == SvgPaintLayer::Stroke)
            m_figure->Stroke(graphics);
        else if (m_markers)
            m_markers->Draw(graphics, *this);
    }
    if (aliased)
        graphics.Record(Gdiplus::GdipSetSmoothingMode(graphics.Get(), smoothing));
}
