#pragma once

#include "document/SvgElement.h"
#include "style/SvgLength.h"
#include "syntax/SvgMatrix.h"

#include <string>

// The `symbol` element: a template drawn only through `use`. A symbol in the
// tree draws nothing; the copy a `use` makes of it draws its content in the
// viewport the `use` gives (at the use's x and y, as wide and high as the use
// or else its whole viewport), cut to that viewport unless its overflow is
// visible. Its plain figure carries the style its children inherit, as a
// group's does.
class SvgSymbolElement : public SvgElement {
public:
    SvgSymbolElement();
    ~SvgSymbolElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgSymbolElement(); }
    void ReadStyle(TiXmlElement* xml) override { ReadStyleInto(m_figure, xml); }
    // Takes the source's viewBox, preserveAspectRatio and style, and becomes drawable.
    void CopyFrom(const SvgElement* source) override;
    void Render(GdiGraphics& graphics) override;
    SvgFigure* GetFigure() const override { return m_figure; }

    // The viewport size a `use` gives (-1 for a copy no use sized: drawn at
    // scale 1, uncut).
    void SetSize(float width, float height);
    float GetWidth() const { return m_width.computed; }
    float GetHeight() const { return m_height.computed; }
    bool IsInstantiated() const { return m_instantiated != 0; }
    const SvgRect& GetSymbolViewBox() const { return m_viewBox; }
    // The map of the content into the viewport the `use` gives; false when a
    // given viewBox or the viewport is empty (nothing is drawn).
    bool GetContentMatrix(SvgMatrix& matrix) const;

private:
    SvgLength m_x;
    SvgLength m_y;
    SvgLength m_width;
    SvgLength m_height;
    SvgRect m_viewBox;
    std::string m_preserveAspectRatio = "xMidYMid meet";
    unsigned char m_instantiated = 0;
    SvgFigure* m_figure; // owned; holds the style
};
