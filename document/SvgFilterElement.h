#pragma once

#include "document/SvgFigureElement.h"
#include "style/SvgLength.h"

#include <string>

// The `filter` element, never drawn itself: its primitive children (or those
// of the filter its href names) make the filter an element names in its
// filter property, within the region x, y, width, height (in the box of
// that element by default: -10 %, -10 %, 120 %, 120 %). Attributes it does
// not give come from the filter its href names.
class SvgFilterElement : public SvgFigureElement {
public:
    SvgFilterElement();
    ~SvgFilterElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgFilterElement(); }
    void CopyFrom(const SvgElement* source) override;
    void Render(GdiGraphics& /*graphics*/) override {}

    // The region's lengths as given (unset when not given).
    const SvgLength& X() const { return m_x; }
    const SvgLength& Y() const { return m_y; }
    const SvgLength& Width() const { return m_width; }
    const SvgLength& Height() const { return m_height; }
    // filterUnits and primitiveUnits: 1 for userSpaceOnUse, 2 for
    // objectBoundingBox, 0 when not given (or not valid).
    int FilterUnits() const { return m_filterUnits; }
    int PrimitiveUnits() const { return m_primitiveUnits; }
    // The id href names (without its #); empty when none.
    const std::string& Href() const { return m_href; }
    // Whether any child is a filter primitive.
    bool HasPrimitives() const;

private:
    SvgLength m_x, m_y, m_width, m_height;
    int m_filterUnits = 0;
    int m_primitiveUnits = 0;
    std::string m_href;
};
