#include "document/SvgFilterElement.h"

#include "render/SvgFigure.h"

#include <tinyxml.h>

#include <cstring>

namespace {

int Units(const char* text) {
    if (!text)
        return 0;
    if (std::strcmp(text, "userSpaceOnUse") == 0)
        return 1;
    return std::strcmp(text, "objectBoundingBox") == 0 ? 2 : 0;
}

} // namespace

SvgFilterElement::SvgFilterElement() : SvgFigureElement(SvgKindFilter, "filter") {
    m_figure = SvgFigure::CreateStyleHolder();
    m_figure->SetOwner(this);
}

SvgFilterElement::~SvgFilterElement() {
    delete m_figure;
}

bool SvgFilterElement::ReadAttributes(TiXmlElement* xml) {
    for (auto [length, name] : {std::pair{&m_x, "x"}, std::pair{&m_y, "y"},
                                std::pair{&m_width, "width"}, std::pair{&m_height, "height"}}) {
        ReadLengthAttribute(*length, xml, name);
        if (length->inherit)
            *length = SvgLength();
    }
    m_filterUnits = Units(xml->Attribute("filterUnits"));
    m_primitiveUnits = Units(xml->Attribute("primitiveUnits"));
    const char* href = xml->Attribute("xlink:href");
    if (!href)
        href = xml->Attribute("href");
    if (href && href[0] == '#')
        m_href = href + 1;
    return true;
}

void SvgFilterElement::CopyFrom(const SvgElement* source) {
    SvgFigureElement::CopyFrom(source);
    if (const auto* filter = dynamic_cast<const SvgFilterElement*>(source)) {
        m_x = filter->m_x;
        m_y = filter->m_y;
        m_width = filter->m_width;
        m_height = filter->m_height;
        m_filterUnits = filter->m_filterUnits;
        m_primitiveUnits = filter->m_primitiveUnits;
        m_href = filter->m_href;
    }
}

bool SvgFilterElement::HasPrimitives() const {
    for (const SvgElement* child : m_children)
        if (child->GetKind() == SvgKindFilterPrimitive)
            return true;
    return false;
}
