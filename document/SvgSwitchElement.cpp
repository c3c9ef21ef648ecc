#include "document/SvgSwitchElement.h"

std::pair<size_t, size_t> SvgSwitchElement::DrawnChildren() const {
    for (size_t i = 0; i < m_children.size(); ++i) {
        const SvgElement* child = m_children[i];
        if (child->ConditionsPass() && child->GetKind() != SvgKindDesc)
            return {i, i + 1};
    }
    return {0, 0};
}
