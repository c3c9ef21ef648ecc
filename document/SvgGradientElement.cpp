#include "document/SvgGradientElement.h"

#include "document/SvgStopElement.h"
#include "syntax/SvgScanner.h"

#include <tinyxml.h>

SvgGradientElement::SvgGradientElement(int kind, const char* tagName) : SvgElement(kind, tagName) {}

void SvgGradientElement::ReadTransform(TiXmlElement* xml) {
    const char* text = xml->Attribute("gradientTransform");
    if (!text)
        return;
    SvgScanner scanner;
    scanner.readTransformList(gradientTransformList, SvgString(text));
    if (gradientTransformList.numberOfItems() > 0)
        gradientTransform = gradientTransformList.consolidate();
}

void SvgGradientElement::ReadGradientUnits(TiXmlElement* xml) {
    ReadStringAttribute(xml, "gradientUnits", gradientUnits);
}

std::vector<SvgGradientStop> SvgGradientElement::CollectStops(unsigned alpha) const {
    std::vector<SvgGradientStop> stops;
    for (const SvgElement* child : m_children) {
        if (child->GetKind() != SvgKindStop)
            continue;
        const SvgStopElement* stop = static_cast<const SvgStopElement*>(child);
        stops.push_back(SvgGradientStop{stop->GetArgb(alpha), stop->GetPosition()});
    }
    return stops;
}
