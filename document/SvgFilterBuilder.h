#pragma once

#include "filter/FilterDescription.h"
#include "platform/gdiplus/GdiPlus.h"
#include "style/SvgFilterFunctions.h"

#include <memory>
#include <string>
#include <vector>

class GdiImage;
class SvgEngine;
class SvgElement;
class SvgFilterElement;

// A map of the plane: x' = m[0]·x + m[2]·y + m[4], y' = m[1]·x + m[3]·y + m[5].
struct SvgFilterMatrix {
    double m[6] = {1, 0, 0, 1, 0, 0};
    void Apply(double& x, double& y) const {
        double nx = m[0] * x + m[2] * y + m[4];
        y = m[1] * x + m[3] * y + m[5];
        x = nx;
    }
};

// What a filter applies to: the element, its boxes and paints, and where its
// user space lies on the target's pixels.
struct SvgFilterTarget {
    const SvgElement* element = nullptr;
    Gdiplus::RectF box; // objectBoundingBox, when hasBox
    bool hasBox = false;
    Gdiplus::RectF ink; // all it draws, when hasInk
    bool hasInk = false;
    double viewportWidth = 0, viewportHeight = 0; // for percentages
    SvgFilterMatrix toPixels;                     // user space to the target's pixels
    FilterColor fill, stroke, color;              // FillPaint, StrokePaint, its color
};

// A picture an feImage takes, which the caller draws (in the target's user
// space, within area) before the filter runs.
struct SvgFilterPicture {
    size_t primitive = 0;
    const SvgElement* element = nullptr; // an element of the document...
    std::shared_ptr<GdiImage> image;     // ... or a picture placed in area
    Gdiplus::RectF area;
    std::string preserveAspectRatio;
};

// Reads filter elements (their href chains merged) and CSS filter functions
// into the descriptions the filter engine runs, lengths resolved into the
// target's pixels.
class SvgFilterBuilder {
public:
    // The filter element id names; null when it names none.
    static const SvgFilterElement* Find(SvgEngine& engine, const std::string& id);

    // The filter region in user space; false when the filter cannot apply
    // (a region in box units on an element without a box, or without area):
    // the element then draws nothing.
    static bool Region(const SvgFilterElement& filter, const SvgFilterTarget& target,
                       Gdiplus::RectF& region);
    // The region of a filter function applied to content within source.
    static void Region(const SvgFilterFunction& function, const SvgFilterTarget& target,
                       const Gdiplus::RectF& source, Gdiplus::RectF& region);

    // The description of a filter over the buffer box (the target's pixels);
    // the feImage pictures it needs are added to pictures.
    static void Build(const SvgFilterElement& filter, const SvgFilterTarget& target,
                      const Gdiplus::RectF& region, const FilterRect& box, FilterDescription& out,
                      std::vector<SvgFilterPicture>& pictures);
    static void Build(const SvgFilterFunction& function, const SvgFilterTarget& target,
                      const FilterRect& box, FilterDescription& out);
};
