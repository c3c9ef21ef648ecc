#pragma once

#include "document/SvgFigureElement.h"

class SvgLineFigure;

// The "line" element: reads its geometry straight into its figure.
class SvgLineElement : public SvgFigureElement {
public:
    SvgLineElement();
    ~SvgLineElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgLineElement(); }
    void Paint(GdiGraphics& graphics) override { PaintFigure(graphics); }

    SvgLineFigure* GetLineFigure() const;
};
