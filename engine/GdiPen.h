#pragma once

#include "engine/GdiBrush.h"
#include "engine/GdiObject.h"

// A pen and its last failed status. Owns its native pen.
class GdiPen : public GdiObject<Gdiplus::GpPen> {
public:
    explicit GdiPen(Gdiplus::GpPen* handle = nullptr) : GdiObject(handle) {}
    ~GdiPen();

    // A pen (GdipCreatePen1). Null only when the wrapper cannot be allocated.
    static GdiPen* Create(Gdiplus::ARGB color, Gdiplus::REAL width,
                          Gdiplus::Unit unit = Gdiplus::UnitWorld);

    // A pen that paints with a copy of brush (GdipCreatePen2). Null only when
    // the wrapper cannot be allocated.
    static GdiPen* CreateFromBrush(const GdiBrush& brush, Gdiplus::REAL width,
                                   Gdiplus::Unit unit = Gdiplus::UnitWorld);

    // A copy of this pen (GdipClonePen); the clone's status holds a failure.
    GdiPen* Clone() const;
};
