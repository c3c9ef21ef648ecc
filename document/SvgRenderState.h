#pragma once

#include "engine/GdiGraphics.h"
#include "engine/GdiMatrix.h"

// The graphics-state steps of the render traversal, each recording a failing
// status in the graphics wrapper.
namespace SvgRenderState {

inline Gdiplus::GraphicsState Save(GdiGraphics& graphics) {
    Gdiplus::GraphicsState state = 0;
    graphics.Record(Gdiplus::GdipSaveGraphics(graphics.handle, &state));
    return state;
}

inline void Restore(GdiGraphics& graphics, Gdiplus::GraphicsState state) {
    graphics.Record(Gdiplus::GdipRestoreGraphics(graphics.handle, state));
}

// Applies matrix before the current world transform.
inline void Prepend(GdiGraphics& graphics, const GdiMatrix* matrix) {
    graphics.Record(Gdiplus::GdipMultiplyWorldTransform(
        graphics.handle, matrix ? matrix->handle : nullptr, Gdiplus::MatrixOrderPrepend));
}

} // namespace SvgRenderState
