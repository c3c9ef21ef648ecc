#pragma once

#include "document/SvgFigureElement.h"

#include <vector>

class SvgTextFigure;

// The "text" element. Its character data becomes one positionGlyph child per
// character (UTF-8); its child elements (tspan runs and any other registered
// element) are made from its XML children, their ids cleared. Its own figure
// holds no text and draws nothing. Once loaded, it places its glyphs and the
// runs of its tspans (SvgTextLayout).
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
    // The source's run and glyphs as laid out, with this element's own style.
    void CopyFrom(const SvgElement* source) override;
    void Paint(GdiGraphics& graphics) override { PaintFigure(graphics); }
    void PaintOver(GdiGraphics& graphics) override;
    // id, style, transform and attributes (ReadAttributes makes the children);
    // a text root then lays out its content, which builds the paths.
    bool LoadFromXml(TiXmlElement* xml) override;

    SvgTextFigure* GetTextFigure() const;
    // A text element, or a tspan outside one: it lays out its own content.
    bool IsTextRoot() const;

    std::vector<float> x, y, dx, dy, rotate;
    float textLength = -1.0f;
    std::string lengthAdjust;

protected:
    SvgTextElement(int kind, const char* tagName);

    // x, y, dx and dy as lists of lengths (em, ex and percentages resolved),
    // and rotate as a list of numbers.
    void ReadPositionLists(TiXmlElement* xml);
    // Child element for an XML element child, when its tag is registered; its
    // id is cleared.
    void AddElement(TiXmlElement* xml);

private:
    // One glyph per character of text, appended to the children; glyphs
    // counts those this element made.
    void AddGlyphs(const std::string& text, size_t& glyphs);
};
