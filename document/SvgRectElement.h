#pragma once

#include "document/SvgFigureElement.h"

class SvgRectFigure;

// The "rect" element: reads its geometry straight into its figure.
class SvgRectElement : public SvgFigureElement {
public:
    SvgRectElement();
    ~SvgRectElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgRectElement(); }
    // A new figure taking source's geometry and style inheritance.
    void CopyFrom(const SvgElement* source) override;
    void Paint(GdiGraphics& graphics) override { PaintFigure(graphics); }

    SvgRectFigure* GetRectFigure() const;
};
