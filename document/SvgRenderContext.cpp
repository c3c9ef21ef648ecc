#include "document/SvgRenderContext.h"

#include "engine/GdiGraphics.h"
#include "engine/GdiMatrix.h"

void SvgRenderContext::BeginDraw() {
    markersLeft = kMarkerBudget;
    tilePixelsLeft = kTilePixelBudget;
    tiles.Clear();
    filterPixels = 0;
}

void SvgRenderContext::EndDraw() {
    tiles.Clear();
    filterPool.reset();
}

SvgMatrix SvgRenderContext::PixelTransform(GdiGraphics& graphics) {
    SvgMatrix pixels;
    GdiMatrix* matrix = GdiMatrix::Create();
    Gdiplus::REAL e[6];
    if (matrix && Gdiplus::KelGetPixelTransform(graphics.Get(), matrix->Get()) == Gdiplus::Ok &&
        Gdiplus::GdipGetMatrixElements(matrix->Get(), e) == Gdiplus::Ok)
        pixels = SvgMatrix(e[0], e[1], e[2], e[3], e[4], e[5]);
    delete matrix;
    return pixels;
}

void SvgRenderContext::PushPaintContext(const SvgElement& element, GdiGraphics& graphics) {
    paintContext.push_back({&element, PixelTransform(graphics)});
}
