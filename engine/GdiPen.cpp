#include "engine/GdiPen.h"

using namespace Gdiplus;

GdiPen::~GdiPen() {
    if (handle)
        GdipDeletePen(handle);
}

GdiPen* GdiPen::Create(ARGB color, REAL width, Unit unit) {
    GdiPen* p = new GdiPen;
    if (p)
        p->Record(GdipCreatePen1(color, width, unit, &p->handle));
    return p;
}

GdiPen* GdiPen::CreateFromBrush(const GdiBrush& brush, REAL width, Unit unit) {
    GdiPen* p = new GdiPen;
    if (p)
        p->Record(GdipCreatePen2(brush.Get(), width, unit, &p->handle));
    return p;
}

GdiPen* GdiPen::Clone() const {
    GdiPen* p = new GdiPen;
    if (p)
        p->Record(GdipClonePen(handle, &p->handle));
    return p;
}
