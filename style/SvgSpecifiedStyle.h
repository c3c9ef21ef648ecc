#pragma once

#include <string>
#include <utility>
#include <vector>

struct SvgCssDeclaration;

// What one element's attributes specify for its style, as written: its style
// attribute and its presentation attributes, each with its number in the
// attribute table, and the style sheets' declarations that apply to it. A copy
// of the element (`use`) reads them again under its new parent, so it takes
// the source's own style and nothing the source inherited.
struct SvgSpecifiedStyle {
    bool hasStyleAttribute = false;
    std::string styleAttribute;
    std::vector<std::pair<int, std::string>> attributes;
    // The winning style sheet declaration of each property, important ones
    // apart. They belong to the engine's style sheet, which outlives the
    // document's elements.
    std::vector<const SvgCssDeclaration*> sheetImportant;
    std::vector<const SvgCssDeclaration*> sheetNormal;

    bool Empty() const {
        return !hasStyleAttribute && attributes.empty() && sheetImportant.empty() &&
               sheetNormal.empty();
    }
};
