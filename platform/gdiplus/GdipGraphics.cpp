// Graphics contexts: world transform, saved states, smoothing, and painting
// paths and images with Cairo.

#include <new>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/gdiplus/CoverageRasterizer.h"
#include "platform/gdiplus/GdipObjects.h"

namespace Gdiplus {

namespace {

// Past this many dash periods along a path, dashes are too fine to see and
// too many to draw: the stroke is drawn solid.
constexpr double kMaxDashPeriods = 1e6;

bool AntiAliased(SmoothingMode mode) {
    return mode == SmoothingModeHighQuality || mode == SmoothingModeAntiAlias ||
           mode == SmoothingModeAntiAlias8x8;
}

cairo_line_cap_t CairoCap(LineCap cap) {
    switch (cap) {
    case LineCapSquare:
    case LineCapSquareAnchor:
    case LineCapDiamondAnchor:
        return CAIRO_LINE_CAP_SQUARE;
    case LineCapRound:
    case LineCapRoundAnchor:
        return CAIRO_LINE_CAP_ROUND;
    default:
        return CAIRO_LINE_CAP_BUTT;
    }
}

cairo_line_join_t CairoJoin(LineJoin join) {
    switch (join) {
    case LineJoinBevel:
        return CAIRO_LINE_JOIN_BEVEL;
    case LineJoinRound:
        return CAIRO_LINE_JOIN_ROUND;
    default:
        return CAIRO_LINE_JOIN_MITER;
    }
}

void SetSourceColor(cairo_t* cr, ARGB c) {
    cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                          (c & 0xFF) / 255.0, (c >> 24) / 255.0);
}

// Length of the path's control polygon in device space: an upper bound of
// its drawn length.
double DeviceLength(const GpPath* path, const cairo_matrix_t& m) {
    double total = 0, px = 0, py = 0;
    for (size_t i = 0; i < path->points.size(); ++i) {
        double x = path->points[i].X, y = path->points[i].Y;
        cairo_matrix_transform_point(&m, &x, &y);
        if (i > 0 && (path->types[i] & PathPointTypePathTypeMask) != PathPointTypeStart)
            total += std::hypot(x - px, y - py);
        px = x;
        py = y;
    }
    return total;
}

// Cairo makes a pattern's mapping from device space into fixed-point numbers
// for its rasteriser; one that does not fit (a gradient squeezed far below a
// pixel, or filled far from where it lies) fails, and the failure becomes an
// error of the target surface that nothing clears. Such patterns are drawn
// through a group of their own, where a failure stays.
bool NeedsIsolation(cairo_pattern_t* pattern, const cairo_matrix_t& world) {
    if (cairo_pattern_get_type(pattern) == CAIRO_PATTERN_TYPE_SOLID)
        return false;
    cairo_matrix_t toPattern, fromDevice = world;
    if (cairo_matrix_invert(&fromDevice) != CAIRO_STATUS_SUCCESS)
        return true;
    cairo_pattern_get_matrix(pattern, &toPattern);
    cairo_matrix_t m;
    cairo_matrix_multiply(&m, &fromDevice, &toPattern);
    const double limit = 1024;
    for (double v : {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0})
        if (!(std::fabs(v) <= limit))
            return true;
    return false;
}

// A colour premultiplied as Cairo does for a solid source: sixteen bits a
// channel, rounded, then the top eight.
uint32_t SourcePixel(ARGB c) {
    double alpha = (c >> 24) / 255.0;
    auto channel = [alpha](uint32_t v) { return uint32_t(v / 255.0 * alpha * 65535.0 + 0.5) >> 8; };
    return (channel(255) << 24) | (channel((c >> 16) & 0xFF) << 16) |
           (channel((c >> 8) & 0xFF) << 8) | channel(c & 0xFF);
}

// The pixels of target the clip leaves, as one rectangle; false when the
// clip is not one whole-pixel rectangle. The clip's rectangles are in the
// surface's units, which its device scale (sx, sy) and offset (ox, oy) map
// onto pixels.
bool ClipPixels(GpGraphics* graphics, cairo_t* cr, cairo_surface_t* target, double sx, double sy,
                double ox, double oy, int box[4]) {
    box[0] = box[1] = 0;
    box[2] = cairo_image_surface_get_width(target);
    box[3] = cairo_image_surface_get_height(target);
    if (graphics->ClippedBySurfaceOnly())
        return true;
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_rectangle_list_t* list = cairo_copy_clip_rectangle_list(cr);
    cairo_restore(cr);
    bool one = list->status == CAIRO_STATUS_SUCCESS && list->num_rectangles == 1;
    if (one) {
        const cairo_rectangle_t& r = list->rectangles[0];
        double edges[4] = {r.x * sx + ox, r.y * sy + oy, (r.x + r.width) * sx + ox,
                           (r.y + r.height) * sy + oy};
        double limits[4] = {double(box[2]), double(box[3]), double(box[2]), double(box[3])};
        for (int i = 0; i < 4; ++i) {
            one = one && edges[i] == std::floor(edges[i]);
            box[i] = int(std::clamp(edges[i], 0.0, limits[i]));
        }
    }
    cairo_rectangle_list_destroy(list);
    return one;
}

// Fills path with a solid colour through our own rasteriser, straight into
// the target's pixels, when the target is a 32-bit image, the clip one
// rectangle and the outline small: Cairo's set-up for each fill costs far
// more than such a shape's pixels. False when Cairo is to fill it.
bool RasterizeSmall(GpGraphics* graphics, cairo_t* cr, const GpPath* path, ARGB color) {
    cairo_surface_t* target = cairo_get_group_target(cr);
    if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(target) != CAIRO_FORMAT_ARGB32)
        return false;
    double sx = 1, sy = 1, ox = 0, oy = 0;
    cairo_surface_get_device_scale(target, &sx, &sy);
    cairo_surface_get_device_offset(target, &ox, &oy);
    cairo_matrix_t m, pixels;
    cairo_get_matrix(cr, &m);
    cairo_matrix_init(&pixels, sx, 0, 0, sy, ox, oy);
    cairo_matrix_multiply(&m, &m, &pixels);

    thread_local CoverageRasterizer raster;
    raster.Reset();
    const PointF* points = path->points.data();
    const BYTE* types = path->types.data();
    size_t n = path->points.size();
    auto at = [&m, points](size_t i, double& x, double& y) {
        x = points[i].X;
        y = points[i].Y;
        cairo_matrix_transform_point(&m, &x, &y);
    };
    for (size_t i = 0; i < n;) {
        BYTE type = types[i] & PathPointTypePathTypeMask;
        size_t last = i;
        double x, y;
        if (type == PathPointTypeBezier && i + 2 < n) {
            double x1, y1, x2, y2;
            at(i, x1, y1);
            at(i + 1, x2, y2);
            at(i + 2, x, y);
            raster.CurveTo(x1, y1, x2, y2, x, y);
            last = i + 2;
        } else if (type == PathPointTypeStart) {
            at(i, x, y);
            raster.MoveTo(x, y);
        } else {
            at(i, x, y);
            raster.LineTo(x, y);
        }
        if (raster.TooLarge())
            return false;
        for (size_t j = i; j <= last; ++j)
            if (types[j] & PathPointTypeCloseSubpath)
                raster.Close();
        i = last + 1;
    }
    int clip[4];
    if (!raster.Fits() || !ClipPixels(graphics, cr, target, sx, sy, ox, oy, clip))
        return false;
    cairo_surface_flush(target);
    unsigned char* data = cairo_image_surface_get_data(target);
    if (!data)
        return false;
    raster.Fill(data, cairo_image_surface_get_stride(target), clip[0], clip[1], clip[2], clip[3],
                path->fillMode == FillModeWinding, SourcePixel(color));
    cairo_surface_mark_dirty(target);
    return true;
}

// RasterizeSmall for anti-aliased drawing; false when Cairo is to fill.
bool FillSmall(GpGraphics* graphics, cairo_t* cr, const GpPath* path, ARGB color) {
    if (!AntiAliased(graphics->smoothing))
        return false;
    try {
        return RasterizeSmall(graphics, cr, path, color);
    } catch (const std::bad_alloc&) {
        return false; // no pixel written yet: Cairo may still manage
    }
}

// The stroke of one straight segment with flat or square caps by a solid pen
// is a quadrilateral: filled as one by the small-fill rasteriser where it
// may (far cheaper than Cairo's stroker for the short lines of diagrams).
// False when the stroke is to be drawn as usual.
bool StrokeLineAsFill(GpGraphics* graphics, cairo_t* cr, const GpPen* pen, const GpPath* path) {
    if (pen->brush.get() || pen->unit != UnitWorld || !(pen->width > 0) ||
        (!pen->dashes.empty() && pen->dashStyle != DashStyleSolid) ||
        pen->startCap != pen->endCap || CairoCap(pen->startCap) == CAIRO_LINE_CAP_ROUND ||
        path->points.size() != 2 || path->types[1] != PathPointTypeLine)
        return false;
    double x1 = path->points[0].X, y1 = path->points[0].Y;
    double x2 = path->points[1].X, y2 = path->points[1].Y;
    double length = std::hypot(x2 - x1, y2 - y1);
    if (!(length > 0) || !std::isfinite(length))
        return false;
    // Half the width across the segment, and along it for square caps.
    double half = pen->width / 2.0;
    double ax = (x2 - x1) / length * half, ay = (y2 - y1) / length * half;
    double ex = 0, ey = 0;
    if (CairoCap(pen->startCap) == CAIRO_LINE_CAP_SQUARE) {
        ex = ax;
        ey = ay;
    }
    const PointF corners[4] = {PointF(REAL(x1 - ex - ay), REAL(y1 - ey + ax)),
                               PointF(REAL(x2 + ex - ay), REAL(y2 + ey + ax)),
                               PointF(REAL(x2 + ex + ay), REAL(y2 + ey - ax)),
                               PointF(REAL(x1 - ex + ay), REAL(y1 - ey - ax))};
    GpPath quad;
    quad.fillMode = FillModeWinding;
    return GdipAddPathPolygon(&quad, corners, 4) == Ok &&
           FillSmall(graphics, cr, &quad, pen->color);
}

// Puts path into cr as the current path, with its fill rule.
void AppendForFill(cairo_t* cr, const GpPath* path) {
    path->AppendTo(cr);
    cairo_set_fill_rule(cr, path->fillMode == FillModeWinding ? CAIRO_FILL_RULE_WINDING
                                                              : CAIRO_FILL_RULE_EVEN_ODD);
}

// Draws the current path with fill or stroke, isolated as above when asked.
void DrawPathWith(cairo_t* cr, bool isolate, void (*draw)(cairo_t*),
                  void (*extents)(cairo_t*, double*, double*, double*, double*)) {
    if (!isolate) {
        draw(cr);
        return;
    }
    double x1, y1, x2, y2;
    extents(cr, &x1, &y1, &x2, &y2);
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_rectangle(cr, x1, y1, x2 - x1, y2 - y1);
    cairo_clip(cr);
    cairo_push_group(cr);
    cairo_append_path(cr, path);
    draw(cr);
    cairo_pop_group_to_source(cr); // nothing happens once the group failed
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_path_destroy(path);
}

// Cairo draws no square cap on a figure of length zero (all its points one
// point), where a round cap gives a dot; square caps give a square of the pen
// width, aligned with the axes of the path's coordinates. Adds those squares
// to cr's path, in device space when device is set; whether any was added.
bool AddZeroLengthSquares(cairo_t* cr, const GpPath* path, const cairo_matrix_t& world, bool device,
                          double width) {
    bool added = false;
    size_t n = path->points.size();
    for (size_t first = 0; first < n;) {
        size_t end = first + 1;
        bool zero = true;
        for (; end < n && (path->types[end] & PathPointTypePathTypeMask) != PathPointTypeStart;
             ++end)
            zero = zero && path->points[end].X == path->points[first].X &&
                   path->points[end].Y == path->points[first].Y;
        if (zero && end - first >= 2) {
            double x = path->points[first].X, y = path->points[first].Y;
            if (device)
                cairo_matrix_transform_point(&world, &x, &y);
            cairo_rectangle(cr, x - width / 2, y - width / 2, width, width);
            added = true;
        }
        first = end;
    }
    return added;
}

Status Finish(cairo_t* cr) {
    cairo_new_path(cr);
    return cairo_status(cr) == CAIRO_STATUS_SUCCESS ? Ok : GenericError;
}

Status Hide(GpGraphics* g) {
    g->hidden = true;
    return InvalidParameter;
}

// Makes m the world transform after combining, or hides drawing when the
// result is unusable.
Status Compose(GpGraphics* g, const cairo_matrix_t& m, MatrixOrder order) {
    if (order != MatrixOrderPrepend && order != MatrixOrderAppend)
        return InvalidParameter;
    if (!IsUsableMatrix(m))
        return Hide(g);
    cairo_matrix_t r;
    if (order == MatrixOrderPrepend)
        cairo_matrix_multiply(&r, &m, &g->world);
    else
        cairo_matrix_multiply(&r, &g->world, &m);
    if (!IsUsableMatrix(r))
        return Hide(g);
    g->world = r;
    return Ok;
}

Status NewGraphics(std::shared_ptr<PixelStore> store, GpGraphics** graphics) {
    GpGraphics* g = new (std::nothrow) GpGraphics(std::move(store));
    if (g && cairo_status(g->cr) != CAIRO_STATUS_SUCCESS) {
        delete g;
        g = nullptr;
    }
    *graphics = g;
    return g ? Ok : OutOfMemory;
}

} // namespace

GpGraphics::GpGraphics(std::shared_ptr<PixelStore> s) : store(std::move(s)) {
    cairo_matrix_init_identity(&device);
    cairo_matrix_init_identity(&world);
    cr = cairo_create(store->surface);
    // Curves are flattened to within a quarter pixel: invisible, and cheaper
    // than Cairo's default of a tenth.
    cairo_set_tolerance(cr, 0.25);
}

GpGraphics::GpGraphics(cairo_t* host) : cr(cairo_reference(host)), hostContext(true) {
    cairo_matrix_init_identity(&world);
    // The current path is no part of Cairo's saved state: keep it aside.
    hostPath = cairo_copy_path(cr);
    cairo_save(cr);
    cairo_get_matrix(cr, &device);
    cairo_set_tolerance(cr, 0.25);
}

GpGraphics::~GpGraphics() {
    UnwindLevels(this, 0);
    tag = kDeadTag;
    if (hostContext) {
        cairo_restore(cr);
        cairo_new_path(cr);
        if (hostPath && hostPath->status == CAIRO_STATUS_SUCCESS && hostPath->num_data > 0)
            cairo_append_path(cr, hostPath);
        if (hostPath)
            cairo_path_destroy(hostPath);
    }
    if (cr)
        cairo_destroy(cr);
}

bool GpGraphics::SetMatrix(const cairo_matrix_t& m) {
    cairo_matrix_t r;
    cairo_matrix_multiply(&r, &m, &device);
    if (!IsUsableMatrix(r))
        return false;
    cairo_set_matrix(cr, &r);
    return true;
}

cairo_matrix_t GpGraphics::PixelTransform() const {
    cairo_matrix_t r;
    cairo_matrix_multiply(&r, &world, &device);
    if (hostContext) {
        cairo_surface_t* target = cairo_get_group_target(cr);
        double sx = 1, sy = 1, ox = 0, oy = 0;
        cairo_surface_get_device_scale(target, &sx, &sy);
        cairo_surface_get_device_offset(target, &ox, &oy);
        cairo_matrix_t pixels;
        cairo_matrix_init(&pixels, sx, 0, 0, sy, ox, oy);
        cairo_matrix_multiply(&r, &r, &pixels);
    }
    return r;
}

cairo_t* GpGraphics::Begin() {
    if (hidden || hidingLevels > 0)
        return nullptr;
    if (hostContext) {
        // An error in the host's context cannot be undone: draw no more.
        if (cairo_status(cr) != CAIRO_STATUS_SUCCESS || !SetMatrix(world))
            return nullptr;
    } else if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
        // The clips and groups of the open levels went with the error: draw
        // nothing until they have ended.
        for (const GraphicsLevel& level : levels)
            if (level.mode == GraphicsLevel::Live)
                return nullptr;
        // Never let an error of an earlier call disable later drawing.
        cairo_destroy(cr);
        cr = cairo_create(store->surface);
        if (cairo_status(cr) != CAIRO_STATUS_SUCCESS)
            return nullptr;
        cairo_set_tolerance(cr, 0.25);
    }
    if (!hostContext) {
        store->BeginDraw();
        cairo_set_matrix(cr, &world);
    }
    cairo_new_path(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_set_antialias(cr,
                        AntiAliased(smoothing) ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    return cr;
}

extern "C" {

Status WINGDIPAPI GdipCreateFromHDC(HDC hdc, GpGraphics** graphics) {
    if (!graphics)
        return InvalidParameter;
    *graphics = nullptr;
    if (!hdc || hdc->tag != kHdcTag)
        return InvalidParameter;
    if (hdc->cr)
        return KelCreateGraphicsFromCairo(hdc->cr, graphics);
    if (!hdc->store)
        return InvalidParameter;
    return NewGraphics(hdc->store, graphics);
}

Status WINGDIPAPI GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics) {
    if (!graphics)
        return InvalidParameter;
    *graphics = nullptr;
    BitmapImpl* b = ToBitmap(image);
    if (!b)
        return InvalidParameter;
    return NewGraphics(b->store, graphics);
}

Status WINGDIPAPI GdipDeleteGraphics(GpGraphics* graphics) {
    if (!Valid(graphics))
        return InvalidParameter;
    delete graphics;
    return Ok;
}

Status WINGDIPAPI GdipIsVisibleRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height,
                                    BOOL* result) {
    if (!Valid(graphics) || !result)
        return InvalidParameter;
    *result = TRUE;
    if (graphics->hidden || graphics->hidingLevels > 0) {
        *result = FALSE;
        return Ok;
    }
    // The rectangle's box in Cairo's device space, and the clip's there.
    cairo_matrix_t m;
    cairo_matrix_multiply(&m, &graphics->world, &graphics->device);
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (int i = 0; i < 4; ++i) {
        double px = i & 1 ? double(x) + width : x, py = i & 2 ? double(y) + height : y;
        cairo_matrix_transform_point(&m, &px, &py);
        x0 = std::min(x0, px);
        y0 = std::min(y0, py);
        x1 = std::max(x1, px);
        y1 = std::max(y1, py);
    }
    if (!(x0 <= x1 && y0 <= y1) || !std::isfinite(x0 + y0 + x1 + y1))
        return Ok; // not to be judged: may show
    cairo_t* cr = graphics->cr;
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS)
        return Ok;
    double cx0, cy0, cx1, cy1;
    cairo_surface_t* target = cairo_get_target(cr);
    if (graphics->ClippedBySurfaceOnly() &&
        cairo_surface_get_type(target) == CAIRO_SURFACE_TYPE_IMAGE) {
        // Nothing clips but the surface's edges: no need to ask Cairo.
        double ox = 0, oy = 0;
        cairo_surface_get_device_offset(target, &ox, &oy);
        cx0 = -ox;
        cy0 = -oy;
        cx1 = cx0 + cairo_image_surface_get_width(target);
        cy1 = cy0 + cairo_image_surface_get_height(target);
    } else {
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_clip_extents(cr, &cx0, &cy0, &cx1, &cy1);
        cairo_restore(cr);
    }
    *result = x1 + 1 > cx0 && x0 - 1 < cx1 && y1 + 1 > cy0 && y0 - 1 < cy1;
    return Ok;
}

Status WINGDIPAPI GdipSaveGraphics(GpGraphics* graphics, GraphicsState* state) {
    if (!Valid(graphics) || !state)
        return InvalidParameter;
    SavedGraphics s{graphics->nextState++, graphics->world,         graphics->hidden,
                    graphics->smoothing,   graphics->levels.size(), graphics->interpolation};
    if (graphics->nextState == 0)
        graphics->nextState = 1;
    graphics->saved.push_back(s);
    *state = s.id;
    return Ok;
}

Status WINGDIPAPI GdipRestoreGraphics(GpGraphics* graphics, GraphicsState state) {
    if (!Valid(graphics))
        return InvalidParameter;
    auto& saved = graphics->saved;
    for (size_t i = saved.size(); i-- > 0;) {
        if (saved[i].id != state)
            continue;
        graphics->world = saved[i].world;
        graphics->hidden = saved[i].hidden;
        graphics->smoothing = saved[i].smoothing;
        UnwindLevels(graphics, saved[i].levels);
        graphics->interpolation = saved[i].interpolation;
        saved.resize(i); // later saves go too
        break;
    }
    return Ok;
}

Status WINGDIPAPI GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix) {
    if (!Valid(graphics) || !Valid(matrix))
        return InvalidParameter;
    if (!IsUsableMatrix(matrix->m))
        return Hide(graphics);
    graphics->world = matrix->m;
    graphics->hidden = false;
    return Ok;
}

Status WINGDIPAPI GdipGetWorldTransform(GpGraphics* graphics, GpMatrix* matrix) {
    if (!Valid(graphics) || !Valid(matrix))
        return InvalidParameter;
    matrix->m = graphics->world;
    return Ok;
}

Status WINGDIPAPI GdipResetWorldTransform(GpGraphics* graphics) {
    if (!Valid(graphics))
        return InvalidParameter;
    cairo_matrix_init_identity(&graphics->world);
    graphics->hidden = false;
    return Ok;
}

Status WINGDIPAPI GdipMultiplyWorldTransform(GpGraphics* graphics, GDIPCONST GpMatrix* matrix,
                                             GpMatrixOrder order) {
    if (!Valid(graphics) || !Valid(matrix))
        return InvalidParameter;
    return Compose(graphics, matrix->m, order);
}

Status WINGDIPAPI GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy,
                                              GpMatrixOrder order) {
    if (!Valid(graphics))
        return InvalidParameter;
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, dx, dy);
    return Compose(graphics, m, order);
}

Status WINGDIPAPI GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy,
                                          GpMatrixOrder order) {
    if (!Valid(graphics))
        return InvalidParameter;
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, sx, sy);
    return Compose(graphics, m, order);
}

Status WINGDIPAPI GdipRotateWorldTransform(GpGraphics* graphics, REAL angle, GpMatrixOrder order) {
    if (!Valid(graphics))
        return InvalidParameter;
    if (!std::isfinite(angle))
        return Hide(graphics);
    cairo_matrix_t m;
    cairo_matrix_init_rotate(&m, std::fmod(double(angle), 360.0) * M_PI / 180.0);
    return Compose(graphics, m, order);
}

Status WINGDIPAPI GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode) {
    if (!Valid(graphics) || mode < SmoothingModeDefault || mode > SmoothingModeAntiAlias8x8)
        return InvalidParameter;
    graphics->smoothing = mode;
    return Ok;
}

Status WINGDIPAPI GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode) {
    if (!Valid(graphics) || !mode)
        return InvalidParameter;
    *mode = graphics->smoothing;
    return Ok;
}

Status WINGDIPAPI GdipSetInterpolationMode(GpGraphics* graphics, InterpolationMode mode) {
    if (!Valid(graphics) || mode < InterpolationModeDefault ||
        mode > InterpolationModeHighQualityBicubic)
        return InvalidParameter;
    graphics->interpolation = mode;
    return Ok;
}

Status WINGDIPAPI GdipGetInterpolationMode(GpGraphics* graphics, InterpolationMode* mode) {
    if (!Valid(graphics) || !mode)
        return InvalidParameter;
    *mode = graphics->interpolation;
    return Ok;
}

Status WINGDIPAPI GdipGraphicsClear(GpGraphics* graphics, ARGB color) {
    if (!Valid(graphics))
        return InvalidParameter;
    if (!graphics->hostContext) {
        graphics->store->Fill(color);
        return Ok;
    }
    // Everything inside the host's clip, whatever the transform.
    cairo_t* cr = graphics->cr;
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS)
        return GenericError;
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    SetSourceColor(cr, color);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    return Ok;
}

Status WINGDIPAPI GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path) {
    if (!Valid(graphics) || !brush || !Valid(path))
        return InvalidParameter;
    GpBrushType type;
    if (GdipGetBrushType(brush, &type) != Ok)
        return InvalidParameter;
    if (type == BrushTypeSolidColor) {
        ARGB color = 0;
        GdipGetSolidFillColor(static_cast<GpSolidFill*>(brush), &color);
        return KelFillPathColor(graphics, color, path);
    }
    cairo_t* cr = graphics->Begin();
    if (!cr || path->points.empty())
        return Ok;
    cairo_pattern_t* pattern = CreateBrushPattern(brush, graphics->PixelTransform());
    if (!pattern)
        return Ok;
    if (cairo_pattern_status(pattern) != CAIRO_STATUS_SUCCESS) {
        cairo_pattern_destroy(pattern); // would put the context in an error state
        return Ok;
    }
    AppendForFill(cr, path);
    cairo_set_source(cr, pattern);
    DrawPathWith(cr, NeedsIsolation(pattern, graphics->PixelTransform()), cairo_fill,
                 cairo_fill_extents);
    cairo_pattern_destroy(pattern);
    return Finish(cr);
}

Status WINGDIPAPI GdipDrawPath(GpGraphics* graphics, GpPen* pen, GpPath* path) {
    if (!Valid(graphics) || !Valid(pen) || !Valid(path))
        return InvalidParameter;
    cairo_t* cr = graphics->Begin();
    if (!cr || path->points.empty() || StrokeLineAsFill(graphics, cr, pen, path))
        return Ok;
    // The source is set in user space, before a device pen leaves it.
    bool isolate = false;
    if (GpBrush* brush = pen->brush.get()) {
        cairo_pattern_t* pattern = CreateBrushPattern(brush, graphics->PixelTransform());
        if (!pattern)
            return Ok;
        if (cairo_pattern_status(pattern) != CAIRO_STATUS_SUCCESS) {
            cairo_pattern_destroy(pattern);
            return Ok;
        }
        cairo_set_source(cr, pattern);
        isolate = NeedsIsolation(pattern, graphics->PixelTransform());
        cairo_pattern_destroy(pattern);
    } else {
        SetSourceColor(cr, pen->color);
    }
    // Width 0 is one device pixel; pixel-unit pens are measured on the device.
    bool device = pen->width == 0 || pen->unit == UnitPixel;
    double width = pen->width == 0 ? 1.0 : double(pen->width);
    path->AppendTo(cr);
    if (device)
        cairo_set_matrix(cr, &graphics->device);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CairoJoin(pen->join));
    cairo_set_miter_limit(cr, pen->miterLimit);

    bool dashed = !pen->dashes.empty() && pen->dashStyle != DashStyleSolid;
    if (dashed) {
        std::vector<double> dashes;
        double period = 0;
        for (REAL d : pen->dashes) {
            dashes.push_back(d * width);
            period += d * width;
        }
        // Compare in device units: scale the period by the transform's size.
        const cairo_matrix_t& w = graphics->world;
        double scale = device ? 1.0 : std::sqrt(std::fabs(w.xx * w.yy - w.xy * w.yx));
        if (DeviceLength(path, w) > kMaxDashPeriods * period * scale)
            dashed = false;
        else
            cairo_set_dash(cr, dashes.data(), int(dashes.size()), pen->dashOffset * width);
    }
    if (!dashed)
        cairo_set_dash(cr, nullptr, 0, 0);
    // Cairo has one cap for all ends: dashes take the dash cap, as GDI+ draws
    // them; an undashed line takes the start cap.
    if (dashed)
        cairo_set_line_cap(cr, pen->dashCap == DashCapRound       ? CAIRO_LINE_CAP_ROUND
                               : pen->dashCap == KelDashCapSquare ? CAIRO_LINE_CAP_SQUARE
                                                                  : CAIRO_LINE_CAP_BUTT);
    else
        cairo_set_line_cap(cr, CairoCap(pen->startCap));
    DrawPathWith(cr, isolate, cairo_stroke, cairo_stroke_extents);
    if (!dashed && CairoCap(pen->startCap) == CAIRO_LINE_CAP_SQUARE &&
        AddZeroLengthSquares(cr, path, graphics->world, device, width))
        DrawPathWith(cr, isolate, cairo_fill, cairo_fill_extents);
    return Finish(cr);
}

Status WINGDIPAPI GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y,
                                    REAL width, REAL height) {
    if (!Valid(graphics) || !brush)
        return InvalidParameter;
    GpPath path;
    Status s = GdipAddPathRectangle(&path, x, y, width, height);
    return s != Ok ? s : GdipFillPath(graphics, brush, &path);
}

Status WINGDIPAPI GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width,
                                     INT height) {
    return GdipFillRectangle(graphics, brush, REAL(x), REAL(y), REAL(width), REAL(height));
}

Status WINGDIPAPI GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2,
                               REAL y2) {
    if (!Valid(graphics) || !Valid(pen))
        return InvalidParameter;
    GpPath path;
    Status s = GdipAddPathLine(&path, x1, y1, x2, y2);
    return s != Ok ? s : GdipDrawPath(graphics, pen, &path);
}

Status WINGDIPAPI GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y,
                                    REAL width, REAL height) {
    BitmapImpl* b = ToBitmap(image);
    if (!b)
        return InvalidParameter;
    return GdipDrawImageRectRect(graphics, image, x, y, width, height, 0, 0, REAL(b->store->width),
                                 REAL(b->store->height), UnitPixel, nullptr, nullptr, nullptr);
}

Status WINGDIPAPI GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, REAL dstx, REAL dsty,
                                        REAL dstwidth, REAL dstheight, REAL srcx, REAL srcy,
                                        REAL srcwidth, REAL srcheight, GpUnit srcUnit,
                                        GDIPCONST GpImageAttributes* imageAttributes,
                                        DrawImageAbort callback, void*) {
    BitmapImpl* b = ToBitmap(image);
    if (!Valid(graphics) || !b || srcUnit != UnitPixel)
        return InvalidParameter;
    if (imageAttributes || callback)
        return NotImplemented;
    for (REAL v : {dstx, dsty, dstwidth, dstheight, srcx, srcy, srcwidth, srcheight})
        if (!std::isfinite(v))
            return InvalidParameter;
    cairo_t* cr = graphics->Begin();
    if (!cr || dstwidth == 0 || dstheight == 0 || srcwidth == 0 || srcheight == 0)
        return Ok;
    PixelStore& src = *b->store;
    src.BeginDraw(); // publish direct pixel writes to Cairo
    cairo_surface_t* surface = cairo_surface_reference(src.surface);
    if (b->store == graphics->store) {
        // Drawing a bitmap onto itself: draw from a copy.
        cairo_surface_t* copy =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, src.width, src.height);
        cairo_t* c = cairo_create(copy);
        cairo_set_source_surface(c, surface, 0, 0);
        cairo_set_operator(c, CAIRO_OPERATOR_SOURCE);
        cairo_paint(c);
        cairo_destroy(c);
        cairo_surface_destroy(surface);
        surface = copy;
    }
    // Image pixels to device: the source part onto the destination, then the world.
    double sx = double(dstwidth) / srcwidth, sy = double(dstheight) / srcheight;
    cairo_matrix_t m, place, pixels = graphics->PixelTransform();
    cairo_matrix_init(&place, sx, 0, 0, sy, dstx - srcx * sx, dsty - srcy * sy);
    cairo_matrix_multiply(&m, &place, &graphics->world);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS || !graphics->SetMatrix(m)) {
        cairo_surface_destroy(surface);
        return Ok; // scaled to nothing, or no memory for the copy
    }
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    // One bitmap pixel on one target pixel: copied as it is.
    cairo_matrix_multiply(&m, &place, &pixels);
    bool exact = m.xx == 1 && m.yy == 1 && m.xy == 0 && m.yx == 0 && m.x0 == std::floor(m.x0) &&
                 m.y0 == std::floor(m.y0);
    cairo_filter_t filter = CAIRO_FILTER_GOOD;
    switch (graphics->interpolation) {
    case InterpolationModeNearestNeighbor:
        filter = CAIRO_FILTER_NEAREST;
        break;
    case InterpolationModeLowQuality:
    case InterpolationModeBilinear:
    case InterpolationModeHighQualityBilinear:
        filter = CAIRO_FILTER_BILINEAR;
        break;
    default:
        break;
    }
    cairo_pattern_set_filter(pattern, exact ? CAIRO_FILTER_NEAREST : filter);
    cairo_set_source(cr, pattern);
    cairo_rectangle(cr, srcx, srcy, srcwidth, srcheight);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
    cairo_surface_destroy(surface);
    return Finish(cr);
}

Status WINGDIPAPI GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width,
                                     INT height) {
    return GdipDrawImageRect(graphics, image, REAL(x), REAL(y), REAL(width), REAL(height));
}

} // extern "C"

Status KelCreateGraphicsFromCairo(cairo_t* cr, GpGraphics** graphics) {
    if (!graphics)
        return InvalidParameter;
    *graphics = nullptr;
    if (!cr || cairo_status(cr) != CAIRO_STATUS_SUCCESS)
        return InvalidParameter;
    *graphics = new (std::nothrow) GpGraphics(cr);
    return *graphics ? Ok : OutOfMemory;
}

Status KelGetPixelTransform(GpGraphics* graphics, GpMatrix* matrix) {
    if (!Valid(graphics) || !Valid(matrix))
        return InvalidParameter;
    matrix->m = graphics->PixelTransform();
    return Ok;
}

Status KelFillPathColor(GpGraphics* graphics, ARGB color, GpPath* path) {
    if (!Valid(graphics) || !Valid(path))
        return InvalidParameter;
    cairo_t* cr = graphics->Begin();
    if (!cr || path->points.empty() || FillSmall(graphics, cr, path, color))
        return Ok;
    AppendForFill(cr, path);
    SetSourceColor(cr, color);
    cairo_fill(cr);
    return Finish(cr);
}

Status KelCreateBandGraphics(GpGraphics* graphics, INT index, INT count, GpGraphics** band) {
    if (!band)
        return InvalidParameter;
    *band = nullptr;
    if (!Valid(graphics) || graphics->hostContext || !graphics->store || count < 1 || index < 0 ||
        index >= count)
        return InvalidParameter;
    // Clips and layers live in the Cairo context: a band could not share them.
    if (!graphics->levels.empty() || graphics->hidden || graphics->hidingLevels > 0)
        return NotImplemented;
    PixelStore& store = *graphics->store;
    int top = int(int64_t(store.height) * index / count);
    int bottom = int(int64_t(store.height) * (index + 1) / count);
    if (bottom <= top)
        return InvalidParameter;
    // The band's surface writes the store's pixels behind Cairo's back: the
    // store's own surface is told before it draws or is read again.
    store.BeginPixelAccess();
    store.MarkWritten();
    // Map the band's pages for writing now, while one thread runs: a page
    // first read and then written by a band costs two faults and a flush of
    // every core's address cache. Content is kept; where the call is unknown
    // nothing happens.
    uintptr_t first = reinterpret_cast<uintptr_t>(store.data + size_t(top) * store.stride);
    uintptr_t end = reinterpret_cast<uintptr_t>(store.data + size_t(bottom) * store.stride);
    uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    first = (first + page - 1) / page * page;
    end = end / page * page;
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        store.data + size_t(top) * store.stride, CAIRO_FORMAT_ARGB32, store.width, bottom - top,
        store.stride);
    cairo_surface_set_device_offset(surface, 0, -top);
    cairo_t* cr = cairo_create(surface);
    cairo_surface_destroy(surface);
    Status status = KelCreateGraphicsFromCairo(cr, band);
    cairo_destroy(cr);
    if (status != Ok)
        return status;
    GpGraphics* g = *band;
    g->ownContext = true;
    g->world = graphics->world;
    g->smoothing = graphics->smoothing;
    g->interpolation = graphics->interpolation;
    return Ok;
}

} // namespace Gdiplus
