#include "document/SvgGroupElement.h"

#include "document/SvgLayerScope.h"
#include "document/SvgRenderState.h"
#include "render/SvgFigure.h"

SvgGroupElement::SvgGroupElement() : SvgGroupElement(SvgKindGroup, "g") {}

SvgGroupElement::SvgGroupElement(int kind, const char* tagName) : SvgFigureElement(kind, tagName) {
    m_figure = SvgFigure::CreateStyleHolder();
    m_figure->SetOwner(this);
}

SvgGroupElement::~SvgGroupElement() {
    delete m_figure;
}

void SvgGroupElement::Render(GdiGraphics& graphics) {
    if (!IsDisplayed())
        return;
    Gdiplus::GraphicsState state = SvgRenderState::Save(graphics);
    ApplyTransform(graphics);
    {
        SvgLayerScope layer(*this, graphics);
        if (layer.Draws())
            RenderChildren(graphics);
    }
    SvgRenderState::Restore(graphics, state);
}
