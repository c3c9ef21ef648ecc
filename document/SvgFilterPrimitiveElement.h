#pragma once

#include "document/SvgFigureElement.h"

#include <string>
#include <utility>
#include <vector>

// A filter primitive (feBlend, feFlood, ...) or a node within one (feFuncR,
// feMergeNode, the light sources): never drawn; the filter that holds it
// reads its attributes and its style (flood-color, lighting-color,
// color-interpolation-filters) when it is applied.
class SvgFilterPrimitiveElement : public SvgFigureElement {
public:
    explicit SvgFilterPrimitiveElement(const char* tagName);
    ~SvgFilterPrimitiveElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgFilterPrimitiveElement(m_tagName.c_str()); }
    void CopyFrom(const SvgElement* source) override;
    void Render(GdiGraphics& /*graphics*/) override {}

    // The text of an attribute; null when it is not given.
    const char* Attribute(const char* name) const;

    // The tags of the class, primitives and nodes.
    static const char* const kTags[];

private:
    std::vector<std::pair<std::string, std::string>> m_attributes;
};
