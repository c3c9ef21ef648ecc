#include "document/SvgStopElement.h"

#include "document/SvgGradientElement.h"
#include "engine/SvgEngine.h"
#include "style/SvgColorReaders.h"
#include "style/SvgStyle.h"

#include <tinyxml.h>

#include <cmath>

SvgStopElement::SvgStopElement() : SvgElement(SvgKindStop, "stop"), style(new SvgStyle()) {}

SvgStopElement::~SvgStopElement() {
    delete style;
}

const SvgStyle* SvgStopElement::AncestorStyle(const SvgElement* element) {
    for (const SvgElement* e = element; e; e = e->GetParent()) {
        if (e->GetKind() == SvgKindLinearGradient || e->GetKind() == SvgKindRadialGradient)
            return static_cast<const SvgGradientElement*>(e)->GetStyle();
        if (const SvgStyle* inherited = e->GetInheritableStyle())
            return inherited;
    }
    return nullptr;
}

bool SvgStopElement::ReadAttributes(TiXmlElement* xml) {
    style->parent = AncestorStyle(m_parent);
    style->ReadFromElement(xml, m_owner ? m_owner->GetStyleSheet() : nullptr);
    ReadLengthAttribute(offset, xml, "offset");
    // A percentage is the fraction it names (the reader keeps it divided by
    // 100); em, ex and "inherit" have no position here and leave the stop at 0.
    if (offset.unit == SvgUnitPercent && !offset.inherit)
        offset.computed = offset.value;
    return true;
}

Gdiplus::ARGB SvgStopElement::GetArgb(unsigned alpha) const {
    // stop-opacity scales the alpha asked for, truncated as opacities are.
    double scaled =
        std::trunc(static_cast<double>(alpha & 0xFFu) * style->stopOpacity.value / SvgScale24::One);
    return ToArgb(style->stopColor.color, static_cast<unsigned>(scaled));
}
