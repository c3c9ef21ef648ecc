#pragma once

#include "document/SvgTransformableElement.h"

#include <memory>

class SvgMarkerPlacement;

// The third layer: an element that may own a figure (its style and outline).
// Concrete classes create their figure in the constructor and delete it in
// their destructor.
class SvgFigureElement : public SvgTransformableElement {
public:
    SvgFigureElement(int kind, const char* tagName);
    ~SvgFigureElement() override;

    // The figure builds its path from the geometry read.
    void BuildGeometry() override;
    // Links the figure's style to the parent's inheritable style and reads the
    // style attributes.
    void ReadStyle(TiXmlElement* xml) override;
    // The figure copies the source's figure: geometry, and the source's own
    // style read again under the copy's parent.
    void CopyFrom(const SvgElement* source) override;

    SvgFigure* GetFigure() const override { return m_figure; }

    // The markers placed on this shape when the document was read; null for none.
    const SvgMarkerPlacement* GetMarkers() const { return m_markers.get(); }
    bool PaintsMarkers() const override { return m_markers != nullptr; }
    void SetMarkers(std::unique_ptr<SvgMarkerPlacement> markers);

protected:
    // Hands the graphics to the figure, and draws the markers, in the order
    // paint-order gives: the shared Paint of drawable elements.
    void PaintFigure(GdiGraphics& graphics);

    SvgFigure* m_figure = nullptr;
    std::unique_ptr<SvgMarkerPlacement> m_markers;
};
