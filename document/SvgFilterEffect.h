#pragma once

#include "document/SvgFilterBuilder.h"
#include "engine/GdiGraphics.h"

#include <vector>

class SvgElement;
struct SvgRenderContext;

// An element's filter property while the element draws: each filter of its
// list resolved for the element and given a filter layer of the back end
// around the element's drawing (the first filter innermost). Each layer
// covers the filter's region on the target's pixels, cut down to what can
// show: the visible pixels and as far around them as the filter can take
// content from.
class SvgFilterEffect {
public:
    // Pixels of filter buffers one draw of a document may make in all; past
    // them, further filters are not applied.
    static constexpr double kDrawBudget = double(1 << 29);
    // How far beyond the visible pixels content is drawn for a filter, at most.
    static constexpr int kMaxMargin = 512;

    enum Outcome {
        None,   // no filter, or one that is ignored: the element draws as usual
        Hidden, // nothing of the element shows
        Applied
    };

    // Resolves the filter of element, whose user space is the world transform.
    Outcome Prepare(const SvgElement& element, GdiGraphics& graphics);
    // The box, in user space, that what the filters give lies in.
    bool Bounds(Gdiplus::RectF& bounds) const;
    // Draws the feImage pictures and starts the layers, outermost first.
    void Begin(GdiGraphics& graphics);
    // Runs each filter on its layer and ends it, innermost first.
    void End(GdiGraphics& graphics);

private:
    struct Stage {
        FilterDescription description;
        Gdiplus::RectF region;
        FilterRect box; // on the target's pixels
        std::vector<SvgFilterPicture> pictures;
        const SvgElement* filter = nullptr; // the filter element, if any
    };

    void DrawPictures(GdiGraphics& graphics, Stage& stage, int offsetX, int offsetY);

    std::vector<Stage> m_stages;
    SvgRenderContext* m_context = nullptr;
    int m_threads = 1;
};
