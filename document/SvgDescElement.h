#pragma once

#include "document/SvgElement.h"

// The `desc` element: a container whose children are drawn.
class SvgDescElement : public SvgElement {
public:
    SvgDescElement() : SvgElement(SvgKindDesc, "desc") {}

    bool ReadAttributes(TiXmlElement* /*xml*/) override { return true; }
    SvgElement* Clone() const override { return new SvgDescElement(); }
    void CopyFrom(const SvgElement* /*source*/) override {}
};
