#pragma once

#include "document/SvgElement.h"

// The `defs` element: its subtree is in the tree (found by id) but never drawn.
class SvgDefsElement : public SvgElement {
public:
    SvgDefsElement() : SvgElement(SvgKindDefs, "defs") {}

    bool ReadAttributes(TiXmlElement* /*xml*/) override { return true; }
    SvgElement* Clone() const override { return new SvgDefsElement(); }
    void CopyFrom(const SvgElement* /*source*/) override {}
    void Render(GdiGraphics& /*graphics*/) override {}
};
