#pragma once

#include "engine/GdiObject.h"

// An image (bitmap) and its last failed status. Owns its native image.
class GdiImage : public GdiObject<Gdiplus::GpImage> {
public:
    explicit GdiImage(Gdiplus::GpImage* handle = nullptr) : GdiObject(handle) {}
    ~GdiImage();

    // A bitmap of width × height pixels in format, initially transparent black
    // (GdipCreateBitmapFromScan0 without pixels). Null only when the wrapper
    // cannot be allocated.
    static GdiImage* CreateBitmap(INT width, INT height,
                                  Gdiplus::PixelFormat format = PixelFormat32bppARGB);

    // The handle as a bitmap (every image here is one).
    Gdiplus::GpBitmap* GetBitmap() const { return static_cast<Gdiplus::GpBitmap*>(handle); }
};
