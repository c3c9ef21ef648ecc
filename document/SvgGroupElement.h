#pragma once

#include "document/SvgFigureElement.h"

// The `g` element: groups its children under one transform and one style. Its
// plain figure only carries the style the children inherit; it is never painted.
class SvgGroupElement : public SvgFigureElement {
public:
    SvgGroupElement();
    ~SvgGroupElement() override;

    bool ReadAttributes(TiXmlElement* /*xml*/) override { return true; }
    SvgElement* Clone() const override { return new SvgGroupElement(); }
    void Render(GdiGraphics& graphics) override;
};
