#include "document/SvgPositionGlyphElement.h"

#include "render/SvgPositionGlyphFigure.h"

SvgPositionGlyphElement::SvgPositionGlyphElement()
    : SvgFigureElement(SvgKindPositionGlyph, "positionGlyph") {
    m_figure = new SvgPositionGlyphFigure();
    m_figure->SetOwner(this);
}

SvgPositionGlyphElement::~SvgPositionGlyphElement() {
    delete m_figure;
}

SvgPositionGlyphFigure* SvgPositionGlyphElement::GetGlyphFigure() const {
    return static_cast<SvgPositionGlyphFigure*>(m_figure);
}
