// Texture brushes: an image repeated across the plane.

#include <new>

#include "platform/gdiplus/GdipObjects.h"

namespace Gdiplus {

namespace {

bool ValidWrap(WrapMode w) {
    return w >= WrapModeTile && w <= WrapModeClamp;
}

TextureImpl* TextureOf(GpTexture* brush) {
    return dynamic_cast<TextureImpl*>(LiveBrush(brush));
}

// A copy of the part (x, y, width, height) of a bitmap's pixels; null when
// out of memory.
cairo_surface_t* CopyPixels(BitmapImpl& bitmap, int x, int y, int width, int height) {
    bitmap.store->BeginDraw(); // publish direct pixel writes to Cairo
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(copy);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, bitmap.store->surface, -x, -y);
    cairo_paint(cr);
    cairo_destroy(cr);
    if (cairo_surface_status(copy) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(copy);
        return nullptr;
    }
    return copy;
}

// The image beside its mirror image, along x or y: one period of the
// single-axis flipping wraps.
cairo_surface_t* MirroredPair(cairo_surface_t* image, bool alongX) {
    int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
    cairo_surface_t* pair =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, alongX ? 2 * w : w, alongX ? h : 2 * h);
    cairo_t* cr = cairo_create(pair);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_paint(cr);
    cairo_translate(cr, alongX ? 2 * w : 0, alongX ? 0 : 2 * h);
    cairo_scale(cr, alongX ? -1 : 1, alongX ? 1 : -1);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    return pair;
}

} // namespace

cairo_pattern_t* TextureImpl::CreatePattern(const cairo_matrix_t& pixels) const {
    bool pairX = wrap == WrapModeTileFlipX, pairY = wrap == WrapModeTileFlipY;
    cairo_surface_t* source =
        pairX || pairY ? MirroredPair(surface, pairX) : cairo_surface_reference(surface);
    cairo_pattern_t* p = cairo_pattern_create_for_surface(source);
    cairo_surface_destroy(source);
    cairo_pattern_set_extend(p, wrap == WrapModeClamp        ? CAIRO_EXTEND_NONE
                                : wrap == WrapModeTileFlipXY ? CAIRO_EXTEND_REFLECT
                                                             : CAIRO_EXTEND_REPEAT);
    transform.Apply(p);
    // A pixel that falls on a target pixel is copied; others are sampled
    // between their neighbours.
    cairo_matrix_t onTarget;
    cairo_matrix_multiply(&onTarget, &transform.matrix, &pixels);
    bool exact = onTarget.xx == 1 && onTarget.yy == 1 && onTarget.xy == 0 && onTarget.yx == 0 &&
                 onTarget.x0 == std::floor(onTarget.x0) && onTarget.y0 == std::floor(onTarget.y0);
    cairo_pattern_set_filter(p, exact ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_BILINEAR);
    return p;
}

extern "C" {

Status WINGDIPAPI GdipCreateTexture(GpImage* image, GpWrap wrapmode, GpTexture** texture) {
    BitmapImpl* bitmap = ToBitmap(image);
    if (!bitmap) {
        if (texture)
            *texture = nullptr;
        return InvalidParameter;
    }
    return GdipCreateTexture2(image, wrapmode, 0, 0, REAL(bitmap->store->width),
                              REAL(bitmap->store->height), texture);
}

Status WINGDIPAPI GdipCreateTexture2(GpImage* image, GpWrap wrapmode, REAL x, REAL y, REAL width,
                                     REAL height, GpTexture** texture) {
    if (!texture)
        return InvalidParameter;
    *texture = nullptr;
    BitmapImpl* bitmap = ToBitmap(image);
    if (!bitmap || !ValidWrap(wrapmode))
        return InvalidParameter;
    // The part in whole pixels, inside the image.
    double left = std::round(x), top = std::round(y);
    double w = std::round(width), h = std::round(height);
    if (!(left >= 0 && top >= 0 && w >= 1 && h >= 1 && left + w <= bitmap->store->width &&
          top + h <= bitmap->store->height))
        return InvalidParameter;
    cairo_surface_t* pixels = CopyPixels(*bitmap, int(left), int(top), int(w), int(h));
    if (!pixels)
        return OutOfMemory;
    auto* brush = new (std::nothrow) TextureImpl(pixels);
    if (!brush) {
        cairo_surface_destroy(pixels);
        return OutOfMemory;
    }
    brush->wrap = wrapmode;
    *texture = brush;
    return Ok;
}

Status WINGDIPAPI GdipSetTextureTransform(GpTexture* brush, GDIPCONST GpMatrix* matrix) {
    TextureImpl* t = TextureOf(brush);
    if (!t || !Valid(matrix) || !t->transform.Set(matrix->m))
        return InvalidParameter;
    return Ok;
}

Status WINGDIPAPI GdipGetTextureTransform(GpTexture* brush, GpMatrix* matrix) {
    TextureImpl* t = TextureOf(brush);
    if (!t || !Valid(matrix))
        return InvalidParameter;
    matrix->m = t->transform.matrix;
    return Ok;
}

Status WINGDIPAPI GdipMultiplyTextureTransform(GpTexture* brush, GDIPCONST GpMatrix* matrix,
                                               GpMatrixOrder order) {
    TextureImpl* t = TextureOf(brush);
    if (!t || !Valid(matrix) || (order != MatrixOrderPrepend && order != MatrixOrderAppend))
        return InvalidParameter;
    cairo_matrix_t r;
    if (order == MatrixOrderPrepend)
        cairo_matrix_multiply(&r, &matrix->m, &t->transform.matrix); // matrix applies first
    else
        cairo_matrix_multiply(&r, &t->transform.matrix, &matrix->m);
    return t->transform.Set(r) ? Ok : InvalidParameter;
}

Status WINGDIPAPI GdipSetTextureWrapMode(GpTexture* brush, GpWrap wrapmode) {
    TextureImpl* t = TextureOf(brush);
    if (!t || !ValidWrap(wrapmode))
        return InvalidParameter;
    t->wrap = wrapmode;
    return Ok;
}

Status WINGDIPAPI GdipGetTextureWrapMode(GpTexture* brush, GpWrap* wrapmode) {
    TextureImpl* t = TextureOf(brush);
    if (!t || !wrapmode)
        return InvalidParameter;
    *wrapmode = t->wrap;
    return Ok;
}

} // extern "C"

} // namespace Gdiplus
