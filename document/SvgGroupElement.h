#pragma once

#include "document/SvgFigureElement.h"

// The `g` element: groups its children under one transform and one style. Its
// plain figure only carries the style the children inherit; it is never painted.
class SvgGroupElement : public SvgFigureElement {
public:
    SvgGroupElement();
    ~SvgGroupElement() override;

    bool ReadAttributes(TiXmlElement* /*xml*/) override { return true; }
    SvgElement* Clone() const override { return new SvgGroupElement(); }
    void Render(GdiGraphics& graphics) override;

protected:
    // A group of another tag (`a`, `switch`).
    SvgGroupElement(int kind, const char* tagName);
};

// The `a` element: a group (its link is not followed). Inside text it is a
// run, made as a tspan (SvgTextElement).
class SvgAnchorElement : public SvgGroupElement {
public:
    SvgAnchorElement() : SvgGroupElement(SvgKindGroup, "a") {}
    SvgElement* Clone() const override { return new SvgAnchorElement(); }
};
