#pragma once

#include "document/SvgFigureElement.h"

#include <vector>

class SvgTextFigure;
class SvgPositionGlyphElement;
class TiXmlNode;

// The "text" element. Its character data becomes one positionGlyph child per
// character (UTF-8), laid out along the x, y, dx and dy lists; its child elements (tspan
// runs and any other registered element) are made from its XML children. Its
// own figure holds no text and draws nothing.
class SvgTextElement : public SvgFigureElement {
public:
    // Glyphs one element makes at most; later character data is cut.
    static constexpr size_t kMaxGlyphs = 2559;
    // Glyphs a document makes at most (counted with its use copies).
    static constexpr long kMaxDocumentGlyphs = 250000;

    SvgTextElement();
    ~SvgTextElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgTextElement(); }
    // A new, empty run: a copy draws no text.
    void CopyFrom(const SvgElement* source) override;
    void Paint(GdiGraphics& graphics) override { PaintFigure(graphics); }
    // id, style, transform, attributes and geometry; ReadAttributes makes the children.
    bool LoadFromXml(TiXmlElement* xml) override;

    SvgTextFigure* GetTextFigure() const;
    // A text element, or a tspan outside one: it lays out its own content.
    bool IsTextRoot() const;

    std::vector<float> x, y, dx, dy, rotate;
    float textLength = -1.0f;
    std::string lengthAdjust;

protected:
    SvgTextElement(int kind, const char* tagName);

private:
    // One glyph per character of text, appended to the children.
    void AddGlyphs(const std::string& text, std::vector<SvgPositionGlyphElement*>& glyphs);
    // Child element for an XML element child, when its tag is registered.
    void AddElement(TiXmlElement* xml);
    // Places the glyphs along the position lists and builds their paths.
    void LayOutGlyphs(const std::vector<SvgPositionGlyphElement*>& glyphs);
};
