#pragma once

#include "document/SvgFigureElement.h"
#include "style/SvgLength.h"

struct SvgRenderContext;

// The `mask` element, never drawn itself: an element that names it in `mask`
// shows as much as the mask's content is light (or, with mask-type="alpha",
// opaque), and nothing outside the mask's region (x, y, width, height, in the
// box of the element masked by default: -10 %, -10 %, 120 %, 120 %).
class SvgMaskElement : public SvgFigureElement {
public:
    SvgMaskElement();
    ~SvgMaskElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgMaskElement(); }
    void CopyFrom(const SvgElement* source) override;
    void Render(GdiGraphics& /*graphics*/) override {}

    // maskUnits other than "userSpaceOnUse": the region is in the box.
    bool RegionInBoundingBox() const { return !m_regionInUserSpace; }
    // maskContentUnits="objectBoundingBox": the content is placed on the box.
    bool ContentInBoundingBox() const { return m_contentInBoundingBox; }
    bool Alpha() const { return m_alpha; }
    // The region in the user space of element, whose box is box.
    Gdiplus::RectF Region(const Gdiplus::RectF& box, const SvgElement& element) const;
    // Draws the content, and the mask's own mask, for an element whose user
    // space is the world transform and whose box is box.
    void DrawContent(GdiGraphics& graphics, const Gdiplus::RectF& box,
                     SvgRenderContext& context) const;

private:
    SvgLength m_x, m_y, m_width, m_height;
    bool m_regionInUserSpace = false;
    bool m_contentInBoundingBox = false;
    bool m_alpha = false;
};
