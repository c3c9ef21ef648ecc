#pragma once

#include "engine/GdiObject.h"

// A graphics context and its last failed status. Owns its native graphics
// unless made over a host's graphics.
class GdiGraphics : public GdiObject<Gdiplus::GpGraphics> {
public:
    explicit GdiGraphics(Gdiplus::GpGraphics* handle = nullptr, bool owned = true);
    ~GdiGraphics();

    // A graphics drawing onto a device context (GdipCreateFromHDC) or into an
    // image (GdipGetImageGraphicsContext); a failure is recorded in the
    // result. Null only when the wrapper cannot be allocated.
    static GdiGraphics* FromHDC(HDC hdc);
    static GdiGraphics* FromImage(Gdiplus::GpImage* image);

    bool IsOwned() const { return owned; }

    // Whether figures look first whether they show at all: for a graphics
    // that sees a small part of the picture (a band of it).
    bool SkipsUnseen() const { return skipsUnseen; }
    void SetSkipsUnseen(bool skip) { skipsUnseen = skip; }

private:
    bool owned;
    bool skipsUnseen = false;
};
