#pragma once

#include "document/SvgFigureElement.h"
#include "syntax/SvgMatrix.h"

#include <vector>

struct SvgRenderContext;

// The `clipPath` element, never drawn itself: an element that names it in
// clip-path shows only inside the outlines of its parts (shapes, texts, and
// uses of them), each with its own transform and clip-rule, placed by the
// clipPath's transform and units, and cut by the clipPath's own clip-path.
class SvgClipPathElement : public SvgFigureElement {
public:
    SvgClipPathElement();
    ~SvgClipPathElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgClipPathElement(); }
    void CopyFrom(const SvgElement* source) override;
    void Render(GdiGraphics& /*graphics*/) override {}

    // clipPathUnits="objectBoundingBox": parts are placed on the box of the
    // element clipped.
    bool InBoundingBox() const { return m_boundingBox; }
    // The children that take part: displayed, visible shapes, texts, and uses
    // of a shape or text.
    std::vector<const SvgElement*> Parts() const;
    // Whether the clip is one shape, or nothing, with no clip-path on it or on
    // the clipPath: then IntersectClip does all, without a layer.
    bool IsSimple() const;
    // Intersects the graphics' clip with a simple clip path, for an element
    // whose user space is the world transform and whose box is box.
    void IntersectClip(GdiGraphics& graphics, const Gdiplus::RectF& box) const;
    // Draws, opaque, where the clip lets through (clipped by the clipPath's
    // own clip-path), for an element whose user space is the world transform.
    void DrawCoverage(GdiGraphics& graphics, const Gdiplus::RectF& box,
                      SvgRenderContext& context) const;

private:
    // Parts' coordinates to the element's user space: the units' box, then
    // the clipPath's transform.
    SvgMatrix ContentMatrix(const Gdiplus::RectF& box) const;

    bool m_boundingBox = false;
};
