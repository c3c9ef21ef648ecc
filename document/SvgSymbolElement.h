#pragma once

#include "document/SvgElement.h"
#include "style/SvgLength.h"

#include <string>

// The `symbol` element: a template drawn only through `use`. A symbol in the
// tree draws nothing; the copy a `use` makes of it draws its content in the
// viewport the `use` gives.
class SvgSymbolElement : public SvgElement {
public:
    SvgSymbolElement();

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgSymbolElement(); }
    // Takes the source's viewBox and preserveAspectRatio and becomes drawable.
    void CopyFrom(const SvgElement* source) override;
    void Render(GdiGraphics& graphics) override;

    // The viewport size a `use` gives (-1 when it gives none).
    void SetSize(float width, float height);
    float GetWidth() const { return m_width.computed; }
    float GetHeight() const { return m_height.computed; }
    bool IsInstantiated() const { return m_instantiated != 0; }
    const SvgRect& GetSymbolViewBox() const { return m_viewBox; }

private:
    SvgLength m_x;
    SvgLength m_y;
    SvgLength m_width;
    SvgLength m_height;
    SvgRect m_viewBox;
    std::string m_preserveAspectRatio = "none";
    unsigned char m_instantiated = 0;
};
