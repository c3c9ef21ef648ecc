// Clips and layers: the levels a graphics state stacks on its Cairo context.
//
// A clip is a cairo_save and a cairo_clip; a layer is a cairo_save (with the
// clip to its bounds) and a cairo_push_group, composited at its end with
// cairo_paint_with_alpha; a mask is a group of its own whose alpha, or
// luminance, multiplies the layer below it (DEST_IN). Everything works on
// whatever surface the context draws on.

#include "platform/gdiplus/GdipObjects.h"

#include <cstring>
#include <new>

namespace Gdiplus {

namespace {

// Live layers and masks at once, and the pixels they may hold together (four
// bytes each): eight times the target's, and at least 2^25; deeper or larger
// ones are refused.
constexpr size_t kMaxLiveLayers = 64;
constexpr double kLayerPixelsPerTargetPixel = 8;
constexpr double kMinLayerPixels = double(1 << 25);

// The clip's box on the target, in the target's units, rounded out to whole
// pixels; false when the clip is empty.
bool DeviceClipBox(cairo_t* cr, double* x, double* y, double* width, double* height) {
    cairo_save(cr);
    cairo_identity_matrix(cr);
    double x1, y1, x2, y2;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    cairo_restore(cr);
    x1 = std::floor(x1);
    y1 = std::floor(y1);
    x2 = std::ceil(x2);
    y2 = std::ceil(y2);
    if (!(x2 > x1 && y2 > y1))
        return false;
    *x = x1;
    *y = y1;
    *width = x2 - x1;
    *height = y2 - y1;
    return true;
}

// The pixels of the graphics' target: a bitmap's, else its clip box's.
double TargetPixels(GpGraphics* g) {
    if (g->store)
        return double(g->store->width) * g->store->height;
    double x, y, w, h;
    return DeviceClipBox(g->cr, &x, &y, &w, &h) ? w * h : 0;
}

size_t LiveGroups(const GpGraphics* g) {
    size_t n = 0;
    for (const GraphicsLevel& level : g->levels)
        n += level.kind != GraphicsLevel::Clip && level.mode == GraphicsLevel::Live;
    return n;
}

// The innermost level of a kind, or -1.
long Innermost(const GpGraphics* g, GraphicsLevel::Kind kind) {
    for (size_t i = g->levels.size(); i-- > 0;)
        if (g->levels[i].kind == kind)
            return long(i);
    return -1;
}

void Push(GpGraphics* g, GraphicsLevel level) {
    if (level.mode == GraphicsLevel::Hiding)
        ++g->hidingLevels;
    g->levels.push_back(level);
}

// Starts a group for a layer or mask on the context, within box (x, y, width,
// height on the target) when given; the clip box and the budget decide
// whether it can be live. Pushes the level.
Status PushGroup(GpGraphics* g, GraphicsLevel level, cairo_t* cr, const double* box) {
    cairo_save(cr);
    cairo_identity_matrix(cr);
    if (box) {
        cairo_new_path(cr);
        cairo_rectangle(cr, box[0], box[1], box[2], box[3]);
        cairo_clip(cr);
    }
    double x, y, w, h;
    Status status = Ok;
    if (!DeviceClipBox(cr, &x, &y, &w, &h)) {
        // Nothing would show: hide the drawing instead of making a group.
        level.mode = GraphicsLevel::Hiding;
    } else if (LiveGroups(g) >= kMaxLiveLayers ||
               g->layerPixels + w * h >
                   std::max(kMinLayerPixels, kLayerPixelsPerTargetPixel * TargetPixels(g))) {
        level.mode =
            level.kind == GraphicsLevel::Layer ? GraphicsLevel::Flat : GraphicsLevel::Hiding;
        status = OutOfMemory;
    } else {
        cairo_push_group(cr);
        level.mode = GraphicsLevel::Live;
        level.pixels = w * h;
        g->layerPixels += level.pixels;
    }
    if (level.mode != GraphicsLevel::Live)
        cairo_restore(cr);
    Push(g, level);
    return status;
}

cairo_operator_t BlendOperator(KelBlendMode mode) {
    static const cairo_operator_t kOperators[] = {
        CAIRO_OPERATOR_OVER,          CAIRO_OPERATOR_MULTIPLY,       CAIRO_OPERATOR_SCREEN,
        CAIRO_OPERATOR_OVERLAY,       CAIRO_OPERATOR_DARKEN,         CAIRO_OPERATOR_LIGHTEN,
        CAIRO_OPERATOR_COLOR_DODGE,   CAIRO_OPERATOR_COLOR_BURN,     CAIRO_OPERATOR_HARD_LIGHT,
        CAIRO_OPERATOR_SOFT_LIGHT,    CAIRO_OPERATOR_DIFFERENCE,     CAIRO_OPERATOR_EXCLUSION,
        CAIRO_OPERATOR_HSL_HUE,       CAIRO_OPERATOR_HSL_SATURATION, CAIRO_OPERATOR_HSL_COLOR,
        CAIRO_OPERATOR_HSL_LUMINOSITY};
    return kOperators[mode];
}

// The luminance of a mask group as alpha, in an image over the clip box (a
// pattern in the target's units); null when it cannot be made.
cairo_pattern_t* LuminanceOf(cairo_t* cr, cairo_pattern_t* group) {
    double x, y, w, h;
    if (!DeviceClipBox(cr, &x, &y, &w, &h))
        return nullptr;
    double sx = 1, sy = 1;
    cairo_surface_get_device_scale(cairo_get_group_target(cr), &sx, &sy);
    if (!(sx > 0 && sy > 0 && w * sx <= 32767 && h * sy <= 32767))
        sx = sy = 1;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(std::ceil(w * sx)),
                                                        int(std::ceil(h * sy)));
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return nullptr;
    }
    cairo_surface_set_device_scale(image, sx, sy);
    cairo_t* c = cairo_create(image);
    cairo_translate(c, -x, -y);
    cairo_set_source(c, group);
    cairo_set_operator(c, CAIRO_OPERATOR_SOURCE);
    cairo_paint(c);
    cairo_destroy(c);

    // Premultiplied channels already carry the alpha: the weighted sum of
    // them is luminance times alpha (weights in 1/65536, summing to 65536).
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    int stride = cairo_image_surface_get_stride(image);
    int rows = cairo_image_surface_get_height(image);
    int columns = cairo_image_surface_get_width(image);
    for (int row = 0; row < rows; ++row) {
        uint32_t* p = reinterpret_cast<uint32_t*>(data + size_t(row) * stride);
        for (int i = 0; i < columns; ++i) {
            uint32_t v = p[i];
            uint32_t l = (((v >> 16) & 0xFF) * 13926 + ((v >> 8) & 0xFF) * 46885 +
                          (v & 0xFF) * 4725 + 32768) >>
                         16;
            p[i] = l << 24;
        }
    }
    cairo_surface_mark_dirty(image);

    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(image);
    cairo_surface_destroy(image);
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, -x, -y);
    cairo_pattern_set_matrix(pattern, &m);
    return pattern;
}

void FinishFilter(GpGraphics* g, const GraphicsLevel& level, KelLayerFilter filter, void* closure);

// Ends the innermost level: a clip is restored, a layer composited, a mask
// applied to the layer below in the given mode (or dropped without one), a
// filter layer composited as drawn.
void PopLevel(GpGraphics* g, const KelMaskMode* maskMode) {
    GraphicsLevel level = g->levels.back();
    g->levels.pop_back();
    if (level.mode == GraphicsLevel::Hiding)
        --g->hidingLevels;
    if (level.mode != GraphicsLevel::Live)
        return;
    if (level.kind == GraphicsLevel::Filter) {
        FinishFilter(g, level, nullptr, nullptr);
        return;
    }
    cairo_t* cr = g->cr;
    if (level.kind == GraphicsLevel::Clip) {
        cairo_restore(cr);
        return;
    }
    g->layerPixels -= level.pixels;
    cairo_pattern_t* group = cairo_pop_group(cr);
    if (level.kind == GraphicsLevel::Layer) {
        cairo_set_operator(cr, BlendOperator(level.blend));
        cairo_set_source(cr, group);
        cairo_paint_with_alpha(cr, level.opacity);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    } else if (maskMode) {
        cairo_pattern_t* mask = group;
        if (*maskMode == KelMaskLuminance)
            mask = LuminanceOf(cr, group);
        // A mask that could not be made leaves nothing of the layer.
        cairo_set_operator(cr, mask ? CAIRO_OPERATOR_DEST_IN : CAIRO_OPERATOR_CLEAR);
        if (mask)
            cairo_set_source(cr, mask);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        if (mask != group)
            cairo_pattern_destroy(mask);
    }
    cairo_pattern_destroy(group);
    cairo_restore(cr);
}

// Sets the clip to path (already in world units) or intersects it.
Status Clip(GpGraphics* g, const GpPath* path, CombineMode mode) {
    if (mode != CombineModeReplace && mode != CombineModeIntersect)
        return NotImplemented;
    cairo_t* cr = g->Begin();
    if (!cr)
        return Ok; // nothing is drawn until the state this belongs to ends
    cairo_save(cr);
    Push(g, GraphicsLevel{GraphicsLevel::Clip, GraphicsLevel::Live});
    if (mode == CombineModeReplace)
        cairo_reset_clip(cr);
    path->AppendTo(cr);
    cairo_set_fill_rule(cr, path->fillMode == FillModeWinding ? CAIRO_FILL_RULE_WINDING
                                                              : CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr);
    return Ok;
}

// ---- Filter layers ----

// The map from the device space of cr's target onto its pixels.
cairo_matrix_t PixelMatrix(cairo_t* cr) {
    cairo_surface_t* target = cairo_get_target(cr);
    double sx = 1, sy = 1, ox = 0, oy = 0;
    cairo_surface_get_device_scale(target, &sx, &sy);
    cairo_surface_get_device_offset(target, &ox, &oy);
    cairo_matrix_t m;
    cairo_matrix_init(&m, sx, 0, 0, sy, ox, oy);
    return m;
}

// Pixels spare filter layers keep for later ones, at most.
constexpr size_t kMaxSparePixels = size_t(1) << 24;

// Memory for a filter layer of count pixels, cleared: a spare one that
// fits, else new; null when there is none.
uint32_t* TakeFilterPixels(GpGraphics* g, size_t count, size_t* capacity) {
    auto& spares = g->spareFilterPixels;
    size_t best = spares.size();
    for (size_t i = 0; i < spares.size(); ++i)
        if (spares[i].first >= count &&
            (best == spares.size() || spares[i].first < spares[best].first))
            best = i;
    uint32_t* pixels;
    if (best < spares.size()) {
        *capacity = spares[best].first;
        pixels = spares[best].second.release();
        spares.erase(spares.begin() + long(best));
    } else {
        pixels = new (std::nothrow) uint32_t[count];
        *capacity = count;
        if (!pixels)
            return nullptr;
    }
    std::memset(pixels, 0, sizeof(uint32_t) * count);
    return pixels;
}

void GiveFilterPixels(GpGraphics* g, uint32_t* pixels, size_t capacity) {
    std::unique_ptr<uint32_t[]> owned(pixels);
    auto& spares = g->spareFilterPixels;
    size_t kept = 0;
    for (const auto& spare : spares)
        kept += spare.first;
    if (kept + capacity <= kMaxSparePixels)
        spares.emplace_back(capacity, std::move(owned));
}

// Ends a live filter layer: its own context goes, filter rewrites its
// pixels, and they are painted pixel for pixel onto the context below.
void FinishFilter(GpGraphics* g, const GraphicsLevel& level, KelLayerFilter filter, void* closure) {
    g->layerPixels -= level.pixels;
    cairo_t* inner = g->cr;
    g->cr = level.outer;
    cairo_surface_t* image = cairo_surface_reference(cairo_get_target(inner));
    cairo_destroy(inner);
    cairo_surface_flush(image);
    if (filter && cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
        filter(closure, reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(image)),
               level.box[2], level.box[3]);
        cairo_surface_mark_dirty(image);
    }
    cairo_surface_set_device_offset(image, 0, 0);
    cairo_surface_set_device_scale(image, 1, 1);
    cairo_t* cr = g->cr;
    if (cairo_status(cr) == CAIRO_STATUS_SUCCESS) {
        cairo_save(cr);
        cairo_matrix_t toDevice = PixelMatrix(cr);
        cairo_matrix_invert(&toDevice);
        cairo_set_matrix(cr, &toDevice); // user space: the target's pixels
        cairo_set_source_surface(cr, image, level.box[0], level.box[1]);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        cairo_paint(cr);
        cairo_restore(cr);
    }
    // Finished, a surface that drew it keeps a copy of what it needs
    // (vector targets refer to their sources until their page is written).
    cairo_surface_finish(image);
    cairo_surface_destroy(image);
    GiveFilterPixels(g, level.memory, level.capacity);
}

} // namespace

void UnwindLevels(GpGraphics* graphics, size_t count) {
    while (graphics->levels.size() > count)
        PopLevel(graphics, nullptr);
}

extern "C" {

Status WINGDIPAPI GdipSetClipPath(GpGraphics* graphics, GpPath* path, CombineMode combineMode) {
    if (!Valid(graphics) || !Valid(path))
        return InvalidParameter;
    return Clip(graphics, path, combineMode);
}

Status WINGDIPAPI GdipSetClipRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height,
                                  CombineMode combineMode) {
    if (!Valid(graphics))
        return InvalidParameter;
    GpPath path;
    Status s = GdipAddPathRectangle(&path, x, y, width, height);
    return s != Ok ? s : Clip(graphics, &path, combineMode);
}

Status WINGDIPAPI GdipResetClip(GpGraphics* graphics) {
    if (!Valid(graphics))
        return InvalidParameter;
    cairo_t* cr = graphics->Begin();
    if (!cr)
        return Ok;
    cairo_save(cr);
    Push(graphics, GraphicsLevel{GraphicsLevel::Clip, GraphicsLevel::Live});
    cairo_reset_clip(cr);
    return Ok;
}

Status WINGDIPAPI GdipIsClipEmpty(GpGraphics* graphics, BOOL* result) {
    if (!Valid(graphics) || !result)
        return InvalidParameter;
    double x, y, w, h;
    *result = cairo_status(graphics->cr) == CAIRO_STATUS_SUCCESS &&
                      DeviceClipBox(graphics->cr, &x, &y, &w, &h)
                  ? FALSE
                  : TRUE;
    return Ok;
}

} // extern "C"

Status KelBeginLayer(GpGraphics* graphics, REAL opacity, GDIPCONST GpRectF* bounds) {
    if (!Valid(graphics) || !std::isfinite(opacity))
        return InvalidParameter;
    GraphicsLevel level{GraphicsLevel::Layer, GraphicsLevel::Flat};
    level.opacity = std::clamp(double(opacity), 0.0, 1.0);
    cairo_t* cr = graphics->Begin();
    if (!cr) {
        Push(graphics, level); // drawing is hidden anyway
        return Ok;
    }
    if (!bounds)
        return PushGroup(graphics, level, cr, nullptr);
    // The bounds' box on the target, rounded out to whole pixels.
    double x1 = HUGE_VAL, y1 = HUGE_VAL, x2 = -HUGE_VAL, y2 = -HUGE_VAL;
    for (int i = 0; i < 4; ++i) {
        double x = bounds->X + (i & 1 ? double(bounds->Width) : 0.0);
        double y = bounds->Y + (i & 2 ? double(bounds->Height) : 0.0);
        cairo_user_to_device(cr, &x, &y);
        x1 = std::min(x1, x);
        y1 = std::min(y1, y);
        x2 = std::max(x2, x);
        y2 = std::max(y2, y);
    }
    if (!(x2 - x1 < HUGE_VAL && y2 - y1 < HUGE_VAL))
        return PushGroup(graphics, level, cr, nullptr); // no usable box: the clip alone
    // Clamped to Cairo's coordinate range, far beyond any surface.
    const double limit = 1 << 22;
    x1 = std::clamp(std::floor(x1), -limit, limit);
    y1 = std::clamp(std::floor(y1), -limit, limit);
    x2 = std::clamp(std::ceil(x2), -limit, limit);
    y2 = std::clamp(std::ceil(y2), -limit, limit);
    const double box[4] = {x1, y1, x2 - x1, y2 - y1};
    return PushGroup(graphics, level, cr, box);
}

Status KelEndLayer(GpGraphics* graphics) {
    if (!Valid(graphics))
        return InvalidParameter;
    long i = Innermost(graphics, GraphicsLevel::Layer);
    if (i < 0)
        return WrongState;
    UnwindLevels(graphics, size_t(i));
    return Ok;
}

Status KelSetLayerBlendMode(GpGraphics* graphics, KelBlendMode mode) {
    if (!Valid(graphics) || mode < KelBlendNormal || mode > KelBlendLuminosity)
        return InvalidParameter;
    long i = Innermost(graphics, GraphicsLevel::Layer);
    if (i < 0)
        return WrongState;
    graphics->levels[size_t(i)].blend = mode;
    return Ok;
}

Status KelBeginLayerMask(GpGraphics* graphics) {
    if (!Valid(graphics))
        return InvalidParameter;
    long i = Innermost(graphics, GraphicsLevel::Layer);
    GraphicsLevel level{GraphicsLevel::Mask, GraphicsLevel::Hiding};
    if (i < 0 || graphics->levels[size_t(i)].mode != GraphicsLevel::Live) {
        Push(graphics, level);
        return i < 0 ? WrongState : Ok;
    }
    UnwindLevels(graphics, size_t(i) + 1);
    cairo_t* cr = graphics->cr;
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
        Push(graphics, level);
        return GenericError;
    }
    return PushGroup(graphics, level, cr, nullptr);
}

Status KelEndLayerMask(GpGraphics* graphics, KelMaskMode mode) {
    if (!Valid(graphics) || (mode != KelMaskAlpha && mode != KelMaskLuminance))
        return InvalidParameter;
    long i = Innermost(graphics, GraphicsLevel::Mask);
    if (i < 0)
        return WrongState;
    UnwindLevels(graphics, size_t(i) + 1);
    PopLevel(graphics, &mode);
    return Ok;
}

Status KelGetPixelSpace(GpGraphics* graphics, GpMatrix* toPixels, GpRect* visible) {
    if (!Valid(graphics) || !Valid(toPixels) || !visible)
        return InvalidParameter;
    cairo_t* cr = graphics->cr;
    cairo_matrix_t pixels = PixelMatrix(cr);
    cairo_matrix_multiply(&toPixels->m, &graphics->world, &graphics->device);
    cairo_matrix_multiply(&toPixels->m, &toPixels->m, &pixels);
    *visible = Rect(0, 0, 0, 0);
    double x, y, w, h;
    if (graphics->hidden || graphics->hidingLevels > 0 ||
        cairo_status(cr) != CAIRO_STATUS_SUCCESS || !DeviceClipBox(cr, &x, &y, &w, &h))
        return Ok;
    const double limit = 1 << 30;
    double x1 = x * pixels.xx + pixels.x0, x2 = (x + w) * pixels.xx + pixels.x0;
    double y1 = y * pixels.yy + pixels.y0, y2 = (y + h) * pixels.yy + pixels.y0;
    x1 = std::clamp(std::floor(std::min(x1, x2)), -limit, limit);
    x2 = std::clamp(std::ceil(std::max(x * pixels.xx, (x + w) * pixels.xx) + pixels.x0), -limit,
                    limit);
    y1 = std::clamp(std::floor(std::min(y1, y2)), -limit, limit);
    y2 = std::clamp(std::ceil(std::max(y * pixels.yy, (y + h) * pixels.yy) + pixels.y0), -limit,
                    limit);
    *visible = Rect(INT(x1), INT(y1), INT(std::max(0.0, x2 - x1)), INT(std::max(0.0, y2 - y1)));
    return Ok;
}

Status KelBeginFilterLayer(GpGraphics* graphics, GDIPCONST GpRect* box) {
    if (!Valid(graphics) || !box)
        return InvalidParameter;
    GraphicsLevel level{GraphicsLevel::Filter, GraphicsLevel::Flat};
    cairo_t* cr = graphics->Begin();
    if (!cr) {
        Push(graphics, level); // drawing is hidden anyway
        return Ok;
    }
    const int w = box->Width, h = box->Height;
    if (w <= 0 || h <= 0) {
        // Nothing of the result can show.
        level.mode = GraphicsLevel::Hiding;
        Push(graphics, level);
        return Ok;
    }
    const double pixels = double(w) * h;
    cairo_surface_t* image = nullptr;
    uint32_t* memory = nullptr;
    size_t capacity = 0;
    if (w <= 32767 && h <= 32767 && LiveGroups(graphics) < kMaxLiveLayers &&
        graphics->layerPixels + pixels <=
            std::max(kMinLayerPixels, kLayerPixelsPerTargetPixel * TargetPixels(graphics)))
        memory = TakeFilterPixels(graphics, size_t(w) * size_t(h), &capacity);
    if (memory)
        image = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(memory),
                                                    CAIRO_FORMAT_ARGB32, w, h, w * 4);
    if (!image || cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        if (image)
            cairo_surface_destroy(image);
        if (memory)
            GiveFilterPixels(graphics, memory, capacity);
        Push(graphics, level); // drawn straight, unfiltered
        return OutOfMemory;
    }
    // The image's pixels are the target's within the box.
    cairo_matrix_t toPixels = PixelMatrix(cr);
    cairo_surface_set_device_scale(image, toPixels.xx, toPixels.yy);
    cairo_surface_set_device_offset(image, toPixels.x0 - box->X, toPixels.y0 - box->Y);
    cairo_t* inner = cairo_create(image);
    cairo_surface_destroy(image);
    cairo_set_tolerance(inner, 0.25);
    // Its bounds as its clip, so that clip checks see one rectangle.
    cairo_rectangle(inner, (box->X - toPixels.x0) / toPixels.xx,
                    (box->Y - toPixels.y0) / toPixels.yy, w / toPixels.xx, h / toPixels.yy);
    cairo_clip(inner);
    level.mode = GraphicsLevel::Live;
    level.outer = cr;
    level.box[0] = box->X;
    level.box[1] = box->Y;
    level.box[2] = w;
    level.box[3] = h;
    level.pixels = pixels;
    level.memory = memory;
    level.capacity = capacity;
    graphics->layerPixels += pixels;
    graphics->cr = inner;
    Push(graphics, level);
    return Ok;
}

Status KelEndFilterLayer(GpGraphics* graphics, KelLayerFilter filter, void* closure) {
    if (!Valid(graphics))
        return InvalidParameter;
    long i = Innermost(graphics, GraphicsLevel::Filter);
    if (i < 0)
        return WrongState;
    UnwindLevels(graphics, size_t(i) + 1);
    GraphicsLevel level = graphics->levels.back();
    graphics->levels.pop_back();
    if (level.mode == GraphicsLevel::Hiding)
        --graphics->hidingLevels;
    if (level.mode == GraphicsLevel::Live)
        FinishFilter(graphics, level, filter, closure);
    return Ok;
}

} // namespace Gdiplus
