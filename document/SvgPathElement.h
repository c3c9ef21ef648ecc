#pragma once

#include "document/SvgFigureElement.h"

class SvgPathFigure;

// The "path" element: builds its path data into its figure.
class SvgPathElement : public SvgFigureElement {
public:
    SvgPathElement();
    ~SvgPathElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgPathElement(); }
    void Paint(GdiGraphics& graphics) override { PaintFigure(graphics); }

    SvgPathFigure* GetPathFigure() const;
};
