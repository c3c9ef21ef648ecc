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
    // A copy keeps the empty figure made by the constructor.
    void CopyFrom(const SvgElement* /*source*/) override {}
    void Paint(GdiGraphics& graphics) override { PaintFigure(graphics); }

    SvgPolygonFigure* GetPolygonFigure() const;
};
