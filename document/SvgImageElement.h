#pragma once

#include "document/SvgFigureElement.h"

// The `image` element: part of the tree (found by id, its children rendered
// under its transform) but it opens no file and draws nothing itself.
class SvgImageElement : public SvgFigureElement {
public:
    SvgImageElement() : SvgFigureElement(SvgKindImage, "image") {}

    bool ReadAttributes(TiXmlElement* /*xml*/) override { return true; }
    SvgElement* Clone() const override { return new SvgImageElement(); }
    void CopyFrom(const SvgElement* /*source*/) override {}
};
