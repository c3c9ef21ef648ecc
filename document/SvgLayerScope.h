#pragma once

#include "engine/GdiGraphics.h"

#include <memory>

class SvgClipPathElement;
class SvgElement;
class SvgFilterEffect;
class SvgMaskElement;
struct SvgRenderContext;

// An element's filter, opacity, clip path, mask and blend mode around its drawing, in
// that order: the element draws into the filters' layers, whose result the
// clip path, mask and opacity then apply to. Made once the
// world transform is the element's user space and before the element draws;
// its end (the destructor) masks and composites what was drawn. The clip is
// set in the graphics state, which the element's restore ends.
//
// A layer is made only where it changes the result: for an opacity below 1
// (unless the element is a shape that takes it into its fill or stroke alone),
// for a mask, for a clip path that is more than one shape, for a blend mode
// (the layer is blended at its end) and for isolation. While a clip
// path's coverage is drawn, only clip paths apply.
class SvgLayerScope {
public:
    // box: for a clipPath or mask applying its own clip-path and mask to its
    // content, the box of the element it clips; opacity then does not apply.
    SvgLayerScope(const SvgElement& element, GdiGraphics& graphics,
                  const Gdiplus::RectF* box = nullptr);
    ~SvgLayerScope();
    SvgLayerScope(const SvgLayerScope&) = delete;
    SvgLayerScope& operator=(const SvgLayerScope&) = delete;

    // False when nothing of the element can show (opacity 0, an empty clip or
    // mask region): the element then draws nothing.
    bool Draws() const { return m_draws; }

private:
    void Begin(const SvgElement& element, const Gdiplus::RectF* box);

    GdiGraphics& m_graphics;
    SvgRenderContext* m_context = nullptr;
    const SvgClipPathElement* m_clip = nullptr; // drawn as a mask of the layer
    const SvgMaskElement* m_mask = nullptr;
    std::unique_ptr<SvgFilterEffect> m_filter; // null without a filter applied
    Gdiplus::RectF m_box;
    bool m_layer = false;
    bool m_draws = true;
};
