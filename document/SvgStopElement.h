#pragma once

#include "document/SvgElement.h"
#include "style/SvgLength.h"

class SvgStyle;

// The "stop" element: one colour of a gradient, at its offset. Its colour is
// the stop-color of its own style record, which inherits from its gradient
// (color, for currentColor; stop-color only when it says "inherit").
class SvgStopElement : public SvgElement {
public:
    SvgStopElement();
    ~SvgStopElement() override;

    // The style properties, then "offset".
    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgStopElement(); }
    void CopyFrom(const SvgElement* /*source*/) override {}

    // The stop's colour, its alpha the given one scaled by the stop-opacity.
    Gdiplus::ARGB GetArgb(unsigned alpha) const;
    // The stop's position along the gradient.
    float GetPosition() const { return offset.computed; }

    const SvgStyle* GetStyle() const { return style; }

    // The style element inherits from, or the nearest one above it that
    // passes one on (through `defs` and the like); null when there is none.
    static const SvgStyle* AncestorStyle(const SvgElement* element);
    const SvgLength& GetOffset() const { return offset; }

private:
    SvgStyle* style; // owned
    SvgLength offset;
};
