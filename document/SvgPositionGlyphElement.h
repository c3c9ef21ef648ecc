#pragma once

#include "document/SvgFigureElement.h"

class SvgPositionGlyphFigure;

// One character of a "text" element's character data. Made only by the text
// element, never read from a file (its tag is not registered).
class SvgPositionGlyphElement : public SvgFigureElement {
public:
    SvgPositionGlyphElement();
    ~SvgPositionGlyphElement() override;

    bool ReadAttributes(TiXmlElement*) override { return true; }
    SvgElement* Clone() const override { return new SvgPositionGlyphElement(); }
    void Paint(GdiGraphics& graphics) override { PaintFigure(graphics); }
    // Not loaded from XML.
    bool LoadFromXml(TiXmlElement*) override { return true; }

    SvgPositionGlyphFigure* GetGlyphFigure() const;
};
