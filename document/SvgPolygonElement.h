#pragma once

#include "document/SvgFigureElement.h"

class SvgPolygonFigure;

// The "polygon" element: reads its points attribute into its figure.
class SvgPolygonElement : public SvgFigureElement {
public:
    SvgPolygonElement();
    ~SvgPolygonElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgPolygonElement(); }
    void Paint(GdiGraphics& graphics) override { PaintFigure(graphics); }

    SvgPolygonFigure* GetPolygonFigure() const;
};
