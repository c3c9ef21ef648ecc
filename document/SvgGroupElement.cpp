#include "document/SvgGroupElement.h"

#include "document/SvgRenderState.h"
#if __has_include("render/SvgFigure.h")
#include "render/SvgFigure.h"
#define KELSVG_HAVE_FIGURE 1
#endif

SvgGroupElement::SvgGroupElement() : SvgFigureElement(SvgKindGroup, "g") {
#ifdef KELSVG_HAVE_FIGURE
    m_figure = new SvgFigure();
    m_figure->SetOwner(this);
#endif
}

SvgGroupElement::~SvgGroupElement() {
#ifdef KELSVG_HAVE_FIGURE
    delete m_figure;
#endif
}

void SvgGroupElement::Render(GdiGraphics& graphics) {
    Gdiplus::GraphicsState state = SvgRenderState::Save(graphics);
    ApplyTransform(graphics);
    RenderChildren(graphics);
    SvgRenderState::Restore(graphics, state);
}
