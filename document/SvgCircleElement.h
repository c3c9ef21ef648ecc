#pragma once

#include "document/SvgFigureElement.h"

class SvgCircleFigure;

// The "circle" element: reads its geometry straight into its figure.
class SvgCircleElement : public SvgFigureElement {
public:
    SvgCircleElement();
    ~SvgCircleElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgCircleElement(); }
    // A new figure taking source's geometry and style inheritance.
    void CopyFrom(const SvgElement* source) override;
    void Paint(GdiGraphics& graphics) override { PaintFigure(graphics); }

    SvgCircleFigure* GetCircleFigure() const;
};
