#pragma once

#include "document/SvgGroupElement.h"

// The `switch` element: a group that draws only the first of its children
// whose conditional attributes pass (SvgConditions); a description among
// them is passed over.
class SvgSwitchElement : public SvgGroupElement {
public:
    SvgSwitchElement() : SvgGroupElement(SvgKindSwitch, "switch") {}
    SvgElement* Clone() const override { return new SvgSwitchElement(); }
    std::pair<size_t, size_t> DrawnChildren() const override;
};
