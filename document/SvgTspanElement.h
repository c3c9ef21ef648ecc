#pragma once

#include "document/SvgTextElement.h"

// The "tspan" element: a run of text with its own style, placed by the text
// element around it (its own x, y, dx and dy lists, else where the previous
// piece ended). The run holds the character data before its first child
// element; nested tspans and other registered elements become children, and
// character data after a child element becomes a run of its own, an unnamed
// tspan child that inherits everything from this one.
class SvgTspanElement : public SvgTextElement {
public:
    SvgTspanElement();
    ~SvgTspanElement() override = default;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgTspanElement(); }

protected:
    explicit SvgTspanElement(const char* tagName) : SvgTextElement(SvgKindTspan, tagName) {}

private:
    // A new unnamed run after the children made so far.
    SvgTspanElement* AddRun();
};
