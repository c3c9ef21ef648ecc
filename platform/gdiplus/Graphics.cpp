// The host-side graphics class: a native graphics and the last status.

#include <new>

#include "platform/gdiplus/GdiPlus.h"

namespace Gdiplus {

Graphics::Graphics(HDC hdc) : nativeGraphics(nullptr), lastResult(Ok) {
    lastResult = GdipCreateFromHDC(hdc, &nativeGraphics);
}

Graphics::Graphics(GpImage* image) : nativeGraphics(nullptr), lastResult(Ok) {
    lastResult = GdipGetImageGraphicsContext(image, &nativeGraphics);
}

Graphics::Graphics(cairo_t* cr) : nativeGraphics(nullptr), lastResult(Ok) {
    lastResult = KelCreateGraphicsFromCairo(cr, &nativeGraphics);
}

Graphics::~Graphics() {
    if (nativeGraphics)
        GdipDeleteGraphics(nativeGraphics);
}

Graphics* Graphics::FromHDC(HDC hdc) {
    return new (std::nothrow) Graphics(hdc);
}

Graphics* Graphics::FromImage(GpImage* image) {
    return new (std::nothrow) Graphics(image);
}

Graphics* Graphics::FromCairo(cairo_t* cr) {
    return new (std::nothrow) Graphics(cr);
}

Status Graphics::SetStatus(Status status) const {
    if (status != Ok)
        lastResult = status;
    return status;
}

Status Graphics::Clear(const Color& color) {
    return SetStatus(GdipGraphicsClear(nativeGraphics, color.GetValue()));
}

Status Graphics::SetSmoothingMode(SmoothingMode mode) {
    return SetStatus(GdipSetSmoothingMode(nativeGraphics, mode));
}

SmoothingMode Graphics::GetSmoothingMode() const {
    SmoothingMode mode = SmoothingModeInvalid;
    SetStatus(GdipGetSmoothingMode(nativeGraphics, &mode));
    return mode;
}

Status Graphics::TranslateTransform(REAL dx, REAL dy, MatrixOrder order) {
    return SetStatus(GdipTranslateWorldTransform(nativeGraphics, dx, dy, order));
}

Status Graphics::ScaleTransform(REAL sx, REAL sy, MatrixOrder order) {
    return SetStatus(GdipScaleWorldTransform(nativeGraphics, sx, sy, order));
}

Status Graphics::ResetTransform() {
    return SetStatus(GdipResetWorldTransform(nativeGraphics));
}

GraphicsState Graphics::Save() const {
    GraphicsState state = 0;
    SetStatus(GdipSaveGraphics(nativeGraphics, &state));
    return state;
}

Status Graphics::Restore(GraphicsState state) {
    return SetStatus(GdipRestoreGraphics(nativeGraphics, state));
}

// Returns the last failing status and forgets it, as GDI+ does.
Status Graphics::GetLastStatus() const {
    Status s = lastResult;
    lastResult = Ok;
    return s;
}

} // namespace Gdiplus
