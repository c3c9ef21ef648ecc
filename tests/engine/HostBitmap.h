#pragma once

#include "platform/gdiplus/GdiPlus.h"
#include "platform/mfc/Afx.h"

#include <cstdint>

// A host's drawing target: a bitmap filled with one colour, read back per pixel.
class HostBitmap {
public:
    HostBitmap(int width, int height, uint32_t fill) {
        Gdiplus::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr,
                                           &m_bitmap);
        Gdiplus::Graphics graphics(static_cast<Gdiplus::GpImage*>(m_bitmap));
        graphics.Clear(Gdiplus::Color(fill));
    }
    ~HostBitmap() { Gdiplus::GdipDisposeImage(m_bitmap); }
    HostBitmap(const HostBitmap&) = delete;
    HostBitmap& operator=(const HostBitmap&) = delete;

    Gdiplus::GpBitmap* bitmap() const { return m_bitmap; }
    uint32_t At(int x, int y) const {
        Gdiplus::ARGB argb = 0;
        Gdiplus::GdipBitmapGetPixel(m_bitmap, x, y, &argb);
        return argb;
    }

private:
    Gdiplus::GpBitmap* m_bitmap = nullptr;
};

const uint32_t kRed = 0xFFFF0000;
const uint32_t kGreen = 0xFF008000;
const uint32_t kBlue = 0xFF0000FF;
const uint32_t kWhite = 0xFFFFFFFF;
