#pragma once

#include "engine/GdiObject.h"

// A path and its last failed status. Owns its native path.
class GdiPath : public GdiObject<Gdiplus::GpPath> {
public:
    explicit GdiPath(Gdiplus::GpPath* handle = nullptr) : GdiObject(handle) {}
    ~GdiPath();

    // An empty path (GdipCreatePath). Null only when the wrapper cannot be allocated.
    static GdiPath* Create(Gdiplus::FillMode fillMode = Gdiplus::FillModeAlternate);

    // A copy of this path (GdipClonePath); the clone's status holds a failure.
    GdiPath* Clone() const;
};
