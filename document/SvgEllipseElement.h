#pragma once

#include "document/SvgFigureElement.h"

class SvgEllipseFigure;

// The "ellipse" element: reads its geometry straight into its figure.
class SvgEllipseElement : public SvgFigureElement {
public:
    SvgEllipseElement();
    ~SvgEllipseElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgEllipseElement(); }
    // A new figure taking source's geometry and style inheritance.
    void CopyFrom(const SvgElement* source) override;
    void Paint(GdiGraphics& graphics) override { PaintFigure(graphics); }

    SvgEllipseFigure* GetEllipseFigure() const;
};
