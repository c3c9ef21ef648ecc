#pragma once

#include "engine/GdiObject.h"

// A brush of any kind and its last failed status. Owns its native brush.
class GdiBrush : public GdiObject<Gdiplus::GpBrush> {
public:
    explicit GdiBrush(Gdiplus::GpBrush* handle = nullptr) : GdiObject(handle) {}
    ~GdiBrush();

    // A solid brush (GdipCreateSolidFill). Null only when the wrapper cannot
    // be allocated.
    static GdiBrush* CreateSolid(Gdiplus::ARGB color);

    // A copy of this brush (GdipCloneBrush); the clone's status holds a failure.
    GdiBrush* Clone() const;
};
