// Device contexts over bitmaps or a host's Cairo context, with a stack of
// saved states.

#include <new>

#include "platform/gdiplus/GdipObjects.h"

namespace {

bool ValidDC(HDC hdc) {
    return hdc && hdc->tag == Gdiplus::kHdcTag;
}

} // namespace

HDC CreateBitmapDC(Gdiplus::GpBitmap* bitmap) {
    Gdiplus::BitmapImpl* b = Gdiplus::ToBitmap(bitmap);
    if (!b)
        return nullptr;
    HDC hdc = new (std::nothrow) HDC__;
    if (hdc)
        hdc->store = b->store;
    return hdc;
}

HDC CreateCairoDC(cairo_t* cr) {
    if (!cr || cairo_status(cr) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    HDC hdc = new (std::nothrow) HDC__;
    if (hdc)
        hdc->cr = cairo_reference(cr);
    return hdc;
}

BOOL DeleteDC(HDC hdc) {
    if (!ValidDC(hdc))
        return FALSE;
    hdc->tag = Gdiplus::kDeadTag;
    delete hdc;
    return TRUE;
}

int SaveDC(HDC hdc) {
    if (!ValidDC(hdc))
        return 0;
    return ++hdc->saveDepth;
}

BOOL RestoreDC(HDC hdc, int nSavedDC) {
    if (!ValidDC(hdc) || nSavedDC == 0)
        return FALSE;
    int target = nSavedDC < 0 ? hdc->saveDepth + nSavedDC + 1 : nSavedDC;
    if (target < 1 || target > hdc->saveDepth)
        return FALSE;
    hdc->saveDepth = target - 1;
    return TRUE;
}
