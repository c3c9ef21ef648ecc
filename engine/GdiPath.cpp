#include "engine/GdiPath.h"

using namespace Gdiplus;

GdiPath::~GdiPath() {
    if (handle)
        GdipDeletePath(handle);
}

GdiPath* GdiPath::Create(FillMode fillMode) {
    GdiPath* p = new GdiPath;
    if (p)
        p->Record(GdipCreatePath(fillMode, &p->handle));
    return p;
}

GdiPath* GdiPath::Clone() const {
    GdiPath* p = new GdiPath;
    if (p)
        p->Record(GdipClonePath(handle, &p->handle));
    return p;
}
