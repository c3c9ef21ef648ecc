#include "engine/GdiImage.h"

using namespace Gdiplus;

GdiImage::~GdiImage() {
    if (handle)
        GdipDisposeImage(handle);
}

GdiImage* GdiImage::CreateBitmap(INT width, INT height, PixelFormat format) {
    GdiImage* image = new GdiImage;
    if (image) {
        GpBitmap* bitmap = nullptr;
        image->Record(GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &bitmap));
        image->handle = bitmap;
    }
    return image;
}
