// Colour glyph pictures drawn onto a graphics: each picture's pixels are
// painted through Cairo under the world transform, smoothed when scaled.

#include "platform/gdiplus/FontColorGlyphs.h"
#include "platform/gdiplus/GdipFontTraits.h"
#include "platform/gdiplus/GdipObjects.h"

#include <cairo.h>

#include <cmath>
#include <new>

namespace Gdiplus {

namespace {

bool Valid(const GpColorGlyphs* g) {
    return g && g->tag == GpColorGlyphs::kTag;
}

} // namespace

void PaintColorPicture(GpGraphics& graphics, const FontColorGlyph& picture, const float p[6],
                       double opacity) {
    cairo_t* cr = graphics.Begin();
    if (!cr || !(opacity > 0))
        return;
    // Cairo only reads the pixels, which live as long as the font cache.
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(picture.pixels.data())),
        CAIRO_FORMAT_ARGB32, picture.width, picture.height, picture.width * 4);
    cairo_matrix_t place, m;
    cairo_matrix_init(&place, p[0], p[1], p[2], p[3], p[4], p[5]);
    cairo_matrix_multiply(&m, &place, &graphics.world);
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS && graphics.SetMatrix(m)) {
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
        cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
        cairo_set_source(cr, pattern);
        cairo_rectangle(cr, 0, 0, picture.width, picture.height);
        cairo_clip(cr);
        cairo_paint_with_alpha(cr, std::min(opacity, 1.0));
        cairo_reset_clip(cr);
        cairo_pattern_destroy(pattern);
    }
    cairo_surface_destroy(surface);
    cairo_new_path(cr);
}

extern "C" {

Status WINGDIPAPI KelDrawColorGlyphs(GpGraphics* graphics, GDIPCONST GpColorGlyphs* colorGlyphs,
                                     REAL opacity) {
    if (!Gdiplus::Valid(graphics) || !Valid(colorGlyphs) || !std::isfinite(opacity))
        return InvalidParameter;
    cairo_t* cr = graphics->Begin();
    if (!cr || opacity <= 0)
        return Ok;
    for (const FontColorPlacement& g : colorGlyphs->glyphs) {
        const float place[6] = {g.pixel, 0, 0, g.pixel, g.left, g.top};
        PaintColorPicture(*graphics, *g.picture, place, opacity);
    }
    return cairo_status(cr) == CAIRO_STATUS_SUCCESS ? Ok : GenericError;
}

Status WINGDIPAPI KelCloneColorGlyphs(GDIPCONST GpColorGlyphs* colorGlyphs, GpColorGlyphs** clone) {
    if (!clone)
        return InvalidParameter;
    *clone = nullptr;
    if (!Valid(colorGlyphs))
        return InvalidParameter;
    *clone = new (std::nothrow) GpColorGlyphs(*colorGlyphs);
    return *clone ? Ok : OutOfMemory;
}

Status WINGDIPAPI KelDeleteColorGlyphs(GpColorGlyphs* colorGlyphs) {
    if (!Valid(colorGlyphs))
        return InvalidParameter;
    delete colorGlyphs;
    return Ok;
}

} // extern "C"

} // namespace Gdiplus
