#pragma once

#include "document/SvgTspanElement.h"

class SvgEngine;

// The "tref" element: a tspan whose text is the character data of the
// element its href names, drawn with the tref's own style and positions.
// The text element around it fills in that text (ResolveAll) before its
// white space is collapsed; a tref to nothing, to itself or to an element
// around it has no text, and one outside a text draws nothing.
class SvgTrefElement : public SvgTspanElement {
public:
    SvgTrefElement();
    ~SvgTrefElement() override = default;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgTrefElement(); }

    // Gives every tref within textXml the character data its href names:
    // an element read before (through owner's ids) or one later in the XML.
    static void ResolveAll(TiXmlElement* textXml, SvgEngine* owner);

    // Longest text the trefs of one text take together, in bytes; the rest
    // is cut.
    static constexpr size_t kMaxTextBytes = 1 << 14;
};
