#pragma once

#include "document/SvgFigureElement.h"
#include "style/SvgLength.h"

#include <string>

// The `use` element: holds, as its child, a copy of the element its reference
// ("#" and an id) names, wherever in the document that element is written,
// and draws it moved by (x, y). The copy is made once the whole file is
// loaded (SvgUseResolver). Its plain figure carries its style, which the copy
// inherits where it sets nothing.
class SvgUseElement : public SvgFigureElement {
public:
    // Where the element is in the making of its copy.
    enum class Stage { Unresolved, Resolving, Resolved };

    SvgUseElement();
    ~SvgUseElement() override;

    // Reads the position, size and reference, and hands the element to its
    // engine, which has the copy made after the load.
    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgUseElement(); }
    // Takes the source's style, position, size and reference (a copy of a
    // use nested in a copied group); the copied target comes as a child.
    void CopyFrom(const SvgElement* source) override;
    void Render(GdiGraphics& graphics) override;

    // The id the reference names; empty when it names none (no "#").
    const std::string& GetHref() const { return m_href; }
    float GetX() const { return m_x.computed; }
    float GetY() const { return m_y.computed; }

    Stage GetStage() const { return m_stage; }
    void SetStage(Stage stage) { m_stage = stage; }
    // The reference leads back to this element: it draws nothing.
    void MarkCyclic() { m_cyclic = true; }
    bool IsCyclic() const { return m_cyclic; }
    // Appends a copy of target as the child (within the engine's copy budget
    // and depth limit) and gives a copied svg or symbol this element's size.
    void CopyTarget(const SvgElement& target);

private:
    SvgLength m_x;
    SvgLength m_y;
    SvgLength m_width;
    SvgLength m_height;
    std::string m_href;
    Stage m_stage = Stage::Resolved;
    bool m_cyclic = false;
};
