#pragma once

#include "document/SvgTspanElement.h"
#include "style/SvgLength.h"
#include "syntax/SvgPathData.h"

#include <memory>
#include <string>

class SvgPathWalk;

// The "textPath" element: a run of text (with tspans inside) set along a path,
// the one its href names (a path element, in its own transform) or SVG 2's
// path attribute. Its text is laid out by the text element around it; a
// textPath outside a text draws nothing.
class SvgTextPathElement : public SvgTspanElement {
public:
    SvgTextPathElement() : SvgTspanElement("textPath") {}
    ~SvgTextPathElement() override = default;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgTextPathElement(); }

    // The path the text follows; null when there is none.
    std::shared_ptr<const SvgPathWalk> GetWalk();
    // Where along the path of the given length the text starts.
    double StartOffset(double pathLength);
    // Whether its path names an element not loaded yet.
    bool WaitsForPath();

    std::string href;
    SvgLength startOffset;
    bool rightSide = false;

private:
    SvgPathData pathAttribute; // SVG 2's path attribute, when given
    bool hasPathAttribute = false;
    std::shared_ptr<const SvgPathWalk> attributeWalk;
};
