#pragma once

#include "document/SvgFigureElement.h"

#include <memory>

class SvgPathFigure;
class SvgPathWalk;

// The "path" element: builds its path data into its figure.
class SvgPathElement : public SvgFigureElement {
public:
    SvgPathElement();
    ~SvgPathElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgPathElement(); }
    void Paint(GdiGraphics& graphics) override { PaintFigure(graphics); }

    SvgPathFigure* GetPathFigure() const;
    // The outline measured along its length, in this element's transform;
    // made at the first call and shared by the texts set on it.
    std::shared_ptr<const SvgPathWalk> GetWalk();

private:
    std::shared_ptr<const SvgPathWalk> m_walk;
};
