#pragma once

#include <string>
#include <utility>
#include <vector>

// What one element's attributes specify for its style, as written: its style
// attribute and its presentation attributes, each with its number in the
// attribute table. A copy of the element (`use`) reads them again under its
// new parent, so it takes the source's own style and nothing the source
// inherited.
struct SvgSpecifiedStyle {
    bool hasStyleAttribute = false;
    std::string styleAttribute;
    std::vector<std::pair<int, std::string>> attributes;

    bool Empty() const { return !hasStyleAttribute && attributes.empty(); }
};
