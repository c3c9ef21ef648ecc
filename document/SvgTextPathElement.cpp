#include "document/SvgTextPathElement.h"

#include "document/SvgPathElement.h"
#include "document/SvgPathWalk.h"
#include "engine/SvgEngine.h"
#include "render/SvgPathFigure.h"
#include "style/SvgValueReaders.h"
#include "syntax/SvgPathBuilder.h"

#include <tinyxml.h>

#include <cmath>
#include <cstring>

bool SvgTextPathElement::ReadAttributes(TiXmlElement* xml) {
    const char* link = xml->Attribute("xlink:href");
    if (!link)
        link = xml->Attribute("href");
    if (link && link[0] == '#' && link[1])
        href = link + 1;
    if (const char* data = xml->Attribute("path")) {
        SvgPathBuilder builder(&pathAttribute);
        builder.parseData(data);
        hasPathAttribute = true;
    }
    if (const char* offset = xml->Attribute("startOffset")) {
        if (!ReadLength(startOffset, offset) || startOffset.inherit)
            startOffset = SvgLength();
    }
    if (const char* side = xml->Attribute("side"))
        rightSide = std::strcmp(side, "right") == 0;
    return SvgTspanElement::ReadAttributes(xml);
}

std::shared_ptr<const SvgPathWalk> SvgTextPathElement::GetWalk() {
    // The path attribute wins over href.
    if (hasPathAttribute) {
        if (!attributeWalk)
            attributeWalk = std::make_shared<SvgPathWalk>(pathAttribute, SvgMatrix());
        return attributeWalk;
    }
    SvgElement* target =
        m_owner && !href.empty() ? m_owner->FindElementById(href.c_str()) : nullptr;
    if (!target || target->GetKind() != SvgKindPath)
        return nullptr;
    return static_cast<SvgPathElement*>(target)->GetWalk();
}

bool SvgTextPathElement::WaitsForPath() {
    return !hasPathAttribute && !href.empty() && m_owner && !m_owner->FindElementById(href.c_str());
}

double SvgTextPathElement::StartOffset(double pathLength) {
    if (!startOffset.set)
        return 0;
    double offset = startOffset.unit == SvgUnitPercent ? startOffset.value * pathLength
                                                       : double(startOffset.computed);
    if (startOffset.unit == SvgUnitEm || startOffset.unit == SvgUnitEx)
        offset = startOffset.value * GetFontSize() / (startOffset.unit == SvgUnitEx ? 2 : 1);
    return std::isfinite(offset) ? offset : 0;
}
