#pragma once

#include "document/SvgTransformableElement.h"

// The third layer: an element that may own a figure (its style and outline).
// Concrete classes create their figure in the constructor and delete it in
// their destructor.
class SvgFigureElement : public SvgTransformableElement {
public:
    SvgFigureElement(int kind, const char* tagName) : SvgTransformableElement(kind, tagName) {}
    ~SvgFigureElement() override = default;

    // The figure builds its path from the geometry read.
    void BuildGeometry() override;
    // Links the figure's style to the parent's inheritable style and reads the
    // style attributes.
    void ReadStyle(TiXmlElement* xml) override;
    // The figure copies the source's figure: geometry, and the source's own
    // style read again under the copy's parent.
    void CopyFrom(const SvgElement* source) override;

    SvgFigure* GetFigure() const override { return m_figure; }

protected:
    // Hands the graphics to the figure: the shared Paint of drawable elements.
    void PaintFigure(GdiGraphics& graphics);

    SvgFigure* m_figure = nullptr;
};
