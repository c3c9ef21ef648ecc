#pragma once

#include <string>
#include <vector>

// One property a font shorthand sets, by its number in the attribute table.
struct SvgFontLonghand {
    int id;
    std::string value;
};

// The properties the font shorthand stands for: font-style, font-variant,
// font-weight, font-stretch, font-size, line-height and font-family, each with
// the value the shorthand gives it or its initial value ("normal"). "inherit"
// makes every one of them inherit. False, with out empty, when the text is no
// valid shorthand: [style || variant || weight || stretch] size[/line-height]
// family-list.
bool ExpandFontShorthand(const char* text, std::vector<SvgFontLonghand>& out);
