#include "engine/GdiGraphics.h"

using namespace Gdiplus;

GdiGraphics::GdiGraphics(GpGraphics* h, bool ownsHandle) : GdiObject(h), owned(ownsHandle) {}

GdiGraphics::~GdiGraphics() {
    if (handle && owned)
        GdipDeleteGraphics(handle);
}

GdiGraphics* GdiGraphics::FromHDC(HDC hdc) {
    GdiGraphics* g = new GdiGraphics;
    if (g)
        g->Record(GdipCreateFromHDC(hdc, &g->handle));
    return g;
}

GdiGraphics* GdiGraphics::FromImage(GpImage* image) {
    GdiGraphics* g = new GdiGraphics;
    if (g)
        g->Record(GdipGetImageGraphicsContext(image, &g->handle));
    return g;
}
