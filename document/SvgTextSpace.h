#pragma once

#include <string>

class TiXmlElement;
class TiXmlText;

// White space in the character data of a text element, handled as SVG text is
// by default: every space, tab and line end is a space, runs of spaces across
// the whole text (tspans included) collapse to one, and the text's leading and
// trailing space go. Where xml:space="preserve" is in force, each white-space
// character stays a space. The XML nodes are rewritten in place.
class SvgTextSpace {
public:
    // Rewrites the character data of text (a text element, or a tspan outside
    // one) and of the tspans inside it, in document order.
    static void Normalize(TiXmlElement* text);

private:
    SvgTextSpace() = default;

    // The character data of element and of its tspans; depth limits nesting.
    void Walk(TiXmlElement* element, bool preserveHere, int depth);
    void Collapse(TiXmlText* node, bool preserveHere);
    // Drops a collapsible space that ended the text.
    void Finish();

    bool atStart = true;           // nothing kept yet
    bool spaceLast = false;        // the last character kept is a collapsible space
    TiXmlText* lastNode = nullptr; // the node holding the last character kept
};
