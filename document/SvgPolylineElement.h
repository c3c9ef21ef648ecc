#pragma once

#include "document/SvgFigureElement.h"

class SvgPolylineFigure;

// The "polyline" element: reads its points attribute into its figure.
class SvgPolylineElement : public SvgFigureElement {
public:
    SvgPolylineElement();
    ~SvgPolylineElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgPolylineElement(); }
    void Paint(GdiGraphics& graphics) override { PaintFigure(graphics); }

    SvgPolylineFigure* GetPolylineFigure() const;
};
