#include "engine/GdiBrush.h"

using namespace Gdiplus;

GdiBrush::~GdiBrush() {
    if (handle)
        GdipDeleteBrush(handle);
}

GdiBrush* GdiBrush::CreateSolid(ARGB color) {
    GdiBrush* b = new GdiBrush;
    if (b) {
        GpSolidFill* fill = nullptr;
        b->Record(GdipCreateSolidFill(color, &fill));
        b->handle = fill;
    }
    return b;
}

GdiBrush* GdiBrush::Clone() const {
    GdiBrush* b = new GdiBrush;
    if (b)
        b->Record(GdipCloneBrush(handle, &b->handle));
    return b;
}
