#pragma once

#include "document/SvgFigureElement.h"
#include "style/SvgLength.h"

#include <string>

// The `use` element: holds, as its child, a copy of the element its reference
// names, made while the file loads, and draws it moved by (x, y). Its plain
// figure carries its style, which the copy inherits where it sets nothing.
class SvgUseElement : public SvgFigureElement {
public:
    SvgUseElement();
    ~SvgUseElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgUseElement(); }
    // Takes the source's style, position, size and reference (a copy of a
    // use nested in a copied group); the copied target comes as a child.
    void CopyFrom(const SvgElement* source) override;
    void Render(GdiGraphics& graphics) override;

    const std::string& GetHref() const { return m_href; }
    float GetX() const { return m_x.computed; }
    float GetY() const { return m_y.computed; }

private:
    SvgLength m_x;
    SvgLength m_y;
    SvgLength m_width;
    SvgLength m_height;
    std::string m_href;
};
