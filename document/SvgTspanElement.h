#pragma once

#include "document/SvgTextElement.h"

// The "tspan" element: one run of text at its own x and y. The run is the
// value of its first XML child: character data, or an element's tag name.
class SvgTspanElement : public SvgTextElement {
public:
    SvgTspanElement();
    ~SvgTspanElement() override = default;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgTspanElement(); }
};
