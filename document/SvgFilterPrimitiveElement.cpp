#include "document/SvgFilterPrimitiveElement.h"

#include "render/SvgFigure.h"

#include <tinyxml.h>

#include <cstring>

const char* const SvgFilterPrimitiveElement::kTags[] = {"feBlend",
                                                        "feColorMatrix",
                                                        "feComponentTransfer",
                                                        "feComposite",
                                                        "feConvolveMatrix",
                                                        "feDiffuseLighting",
                                                        "feDisplacementMap",
                                                        "feDropShadow",
                                                        "feFlood",
                                                        "feGaussianBlur",
                                                        "feImage",
                                                        "feMerge",
                                                        "feMorphology",
                                                        "feOffset",
                                                        "feSpecularLighting",
                                                        "feTile",
                                                        "feTurbulence",
                                                        "feFuncR",
                                                        "feFuncG",
                                                        "feFuncB",
                                                        "feFuncA",
                                                        "feMergeNode",
                                                        "feDistantLight",
                                                        "fePointLight",
                                                        "feSpotLight",
                                                        nullptr};

SvgFilterPrimitiveElement::SvgFilterPrimitiveElement(const char* tagName)
    : SvgFigureElement(SvgKindFilterPrimitive, tagName) {
    m_figure = SvgFigure::CreateStyleHolder();
    m_figure->SetOwner(this);
}

SvgFilterPrimitiveElement::~SvgFilterPrimitiveElement() {
    delete m_figure;
}

bool SvgFilterPrimitiveElement::ReadAttributes(TiXmlElement* xml) {
    m_attributes.clear();
    for (const TiXmlAttribute* a = xml->FirstAttribute(); a; a = a->Next())
        m_attributes.emplace_back(a->Name(), a->Value());
    return true;
}

void SvgFilterPrimitiveElement::CopyFrom(const SvgElement* source) {
    SvgFigureElement::CopyFrom(source);
    if (const auto* primitive = dynamic_cast<const SvgFilterPrimitiveElement*>(source))
        m_attributes = primitive->m_attributes;
}

const char* SvgFilterPrimitiveElement::Attribute(const char* name) const {
    for (const auto& attribute : m_attributes)
        if (attribute.first == name)
            return attribute.second.c_str();
    return nullptr;
}
