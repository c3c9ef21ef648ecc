#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class FilterPool;
class SvgElement;

// What one draw of a document knows beyond the graphics state: the clip paths
// and masks being applied (a reference back to one of them is ignored, and
// their nesting is limited), and whether a clip path's coverage is being
// drawn (shapes then fill their outline, opaque, by their clip-rule), and
// the filter buffers made so far. Filters whose feImage is being drawn count
// as applied too.
struct SvgRenderContext {
    // Clip paths and masks applied inside one another at most.
    static constexpr size_t kMaxNesting = 16;

    std::vector<const SvgElement*> applying;
    int coverage = 0;
    // Pixels of the filter buffers made in this draw (SvgFilterEffect's
    // budget), and memory their runs keep for one another.
    double filterPixels = 0;
    std::shared_ptr<FilterPool> filterPool;

    bool Applying(const SvgElement* element) const {
        for (const SvgElement* e : applying)
            if (e == element)
                return true;
        return false;
    }
};
