// Brushes: solid colours, linear gradients over a rectangle and path
// gradients, and the Cairo patterns that paint them.

#include <mutex>
#include <new>
#include <unordered_set>

#include "platform/gdiplus/GdipObjects.h"

namespace Gdiplus {

namespace {

// Every live brush. A handle is looked up here before it is used, so that an
// object of another kind (a pen, a path, an image) or a deleted brush passed
// as a brush is refused instead of misread. Never destroyed: a brush may
// outlive the static objects of the process.
std::mutex& LiveBrushesLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}
std::unordered_set<const void*>& LiveBrushes() {
    static auto* brushes = new std::unordered_set<const void*>;
    return *brushes;
}

// The brush of one kind behind a handle of a derived brush type, or null.
template <class Impl> Impl* BrushAs(void* handle) {
    return dynamic_cast<Impl*>(LiveBrush(handle));
}

constexpr int kMaxTileSide = 2048;
constexpr double kMaxTilePixels = 4.0 * 1024 * 1024;

void AddStop(cairo_pattern_t* p, double offset, ARGB c) {
    cairo_pattern_add_color_stop_rgba(p, offset, ((c >> 16) & 0xFF) / 255.0,
                                      ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                                      (c >> 24) / 255.0);
}

bool ValidWrap(WrapMode w) {
    return w >= WrapModeTile && w <= WrapModeClamp;
}

bool FiniteRect(const RectF& r) {
    return std::isfinite(r.X) && std::isfinite(r.Y) && std::isfinite(r.Width) &&
           std::isfinite(r.Height);
}

// Copies src into dst at (dx, dy), mirrored as asked.
void PaintTile(cairo_t* cr, cairo_surface_t* src, int w, int h, int dx, int dy, bool flipX,
               bool flipY) {
    cairo_save(cr);
    cairo_translate(cr, dx + (flipX ? w : 0), dy + (flipY ? h : 0));
    cairo_scale(cr, flipX ? -1 : 1, flipY ? -1 : 1);
    cairo_set_source_surface(cr, src, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    cairo_restore(cr);
}

} // namespace

GpBrush::GpBrush() {
    std::lock_guard<std::mutex> guard(LiveBrushesLock());
    try {
        LiveBrushes().insert(this);
    } catch (...) {
        // Out of memory: the brush stays unknown and is refused where used.
    }
}

GpBrush::~GpBrush() {
    std::lock_guard<std::mutex> guard(LiveBrushesLock());
    LiveBrushes().erase(this);
}

GpBrush* LiveBrush(const void* handle) {
    if (!handle)
        return nullptr;
    std::lock_guard<std::mutex> guard(LiveBrushesLock());
    if (LiveBrushes().count(handle) == 0)
        return nullptr;
    return static_cast<GpBrush*>(const_cast<void*>(handle));
}

Status CheckPresetBlend(const ARGB* blend, const REAL* positions, INT count) {
    if (!blend || !positions || count < 2)
        return InvalidParameter;
    for (INT i = 0; i < count; ++i)
        if (!std::isfinite(positions[i]))
            return InvalidParameter;
    if (positions[0] != 0.0f || positions[count - 1] != 1.0f)
        return InvalidParameter;
    return Ok;
}

// ---- Linear gradient ---------------------------------------------------------

cairo_pattern_t* LineGradientImpl::CreatePattern() const {
    cairo_pattern_t* p;
    cairo_matrix_t m;
    bool alongX = true;
    switch (mode) {
    case LinearGradientModeVertical:
        p = cairo_pattern_create_linear(rect.X, rect.Y, rect.X, double(rect.Y) + rect.Height);
        alongX = false;
        break;
    case LinearGradientModeForwardDiagonal:
    case LinearGradientModeBackwardDiagonal:
        // In the unit square of the rectangle, from one corner to the opposite one.
        p = mode == LinearGradientModeForwardDiagonal ? cairo_pattern_create_linear(0, 0, 1, 1)
                                                      : cairo_pattern_create_linear(1, 0, 0, 1);
        cairo_matrix_init_scale(&m, 1.0 / rect.Width, 1.0 / rect.Height);
        cairo_matrix_translate(&m, -rect.X, -rect.Y);
        cairo_pattern_set_matrix(p, &m);
        break;
    default:
        p = cairo_pattern_create_linear(rect.X, rect.Y, double(rect.X) + rect.Width, rect.Y);
        break;
    }
    bool flip = wrap == WrapModeTileFlipXY || (alongX && wrap == WrapModeTileFlipX) ||
                (!alongX && wrap == WrapModeTileFlipY);
    cairo_pattern_set_extend(p, flip ? CAIRO_EXTEND_REFLECT : CAIRO_EXTEND_REPEAT);
    if (preset.colors.empty()) {
        AddStop(p, 0, colors[0]);
        AddStop(p, 1, colors[1]);
    } else {
        for (size_t i = 0; i < preset.colors.size(); ++i)
            AddStop(p, std::clamp(double(preset.positions[i]), 0.0, 1.0), preset.colors[i]);
    }
    return p;
}

// ---- Path gradient -----------------------------------------------------------

PathGradientImpl::PathGradientImpl(const PathGradientImpl& other)
    : GpPathGradient(), bounds(other.bounds), center(other.center), centerColor(other.centerColor),
      surroundColor(other.surroundColor), wrap(other.wrap), preset(other.preset) {
    outline.points = other.outline.points;
    outline.types = other.outline.types;
    outline.fillMode = other.outline.fillMode;
    outline.isEllipse = other.outline.isEllipse;
    outline.ellipse = other.outline.ellipse;
}

PathGradientImpl::~PathGradientImpl() {
    DropTile();
}

void PathGradientImpl::DropTile() {
    if (tile)
        cairo_surface_destroy(tile);
    tile = nullptr;
    tileWidth = tileHeight = 0;
}

cairo_pattern_t* PathGradientImpl::CreatePattern(const cairo_matrix_t& world) {
    if (!(bounds.Width > 0) || !(bounds.Height > 0))
        return nullptr;
    // Render the bounding box once at about device resolution.
    double sx = std::hypot(world.xx, world.yx) * bounds.Width;
    double sy = std::hypot(world.xy, world.yy) * bounds.Height;
    double w = std::clamp(std::ceil(sx), 1.0, double(kMaxTileSide));
    double h = std::clamp(std::ceil(sy), 1.0, double(kMaxTileSide));
    if (w * h > kMaxTilePixels) {
        double f = std::sqrt(kMaxTilePixels / (w * h));
        w = std::max(1.0, std::floor(w * f));
        h = std::max(1.0, std::floor(h * f));
    }
    int tw = int(w), th = int(h);
    if (!tile || tw != tileWidth || th != tileHeight) {
        DropTile();
        cairo_surface_t* box = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, tw, th);
        cairo_t* cr = cairo_create(box);
        cairo_scale(cr, tw / double(bounds.Width), th / double(bounds.Height));
        cairo_translate(cr, -bounds.X, -bounds.Y);

        std::vector<std::pair<double, ARGB>> stops; // blend position, colour
        if (preset.colors.empty()) {
            stops = {{0.0, surroundColor}, {1.0, centerColor}};
        } else {
            for (size_t i = 0; i < preset.colors.size(); ++i)
                stops.emplace_back(std::clamp(double(preset.positions[i]), 0.0, 1.0),
                                   preset.colors[i]);
        }

        cairo_pattern_t* inner;
        if (outline.isEllipse) {
            // Position 0 on the ellipse, 1 at its centre: a radial gradient
            // in the ellipse's unit circle.
            const RectF& e = outline.ellipse;
            inner = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
            cairo_matrix_t m;
            cairo_matrix_init_scale(&m, 2.0 / e.Width, 2.0 / e.Height);
            cairo_matrix_translate(&m, -(e.X + e.Width / 2.0), -(e.Y + e.Height / 2.0));
            cairo_pattern_set_matrix(inner, &m);
            for (size_t i = stops.size(); i-- > 0;)
                AddStop(inner, 1.0 - stops[i].first, stops[i].second);
            cairo_pattern_set_extend(inner, CAIRO_EXTEND_PAD);
        } else {
            // Bands between the outline (position 0) and the centre (1): one
            // mesh patch per flattened edge and stop interval.
            cairo_append_path(cr, outline.CairoPath());
            cairo_path_t* flat = cairo_copy_path_flat(cr);
            cairo_new_path(cr);
            inner = cairo_pattern_create_mesh();
            std::vector<PointF> poly;
            auto emit = [&]() {
                size_t n = poly.size();
                for (size_t i = 0; n >= 2 && i < n; ++i) {
                    const PointF& a = poly[i];
                    const PointF& b = poly[(i + 1) % n];
                    for (size_t k = 0; k + 1 < stops.size(); ++k) {
                        double t0 = stops[k].first, t1 = stops[k + 1].first;
                        if (t1 <= t0)
                            continue;
                        auto at = [&](const PointF& p, double t, double* x, double* y) {
                            *x = p.X + (center.X - p.X) * t;
                            *y = p.Y + (center.Y - p.Y) * t;
                        };
                        double x, y;
                        cairo_mesh_pattern_begin_patch(inner);
                        at(a, t0, &x, &y);
                        cairo_mesh_pattern_move_to(inner, x, y);
                        at(b, t0, &x, &y);
                        cairo_mesh_pattern_line_to(inner, x, y);
                        at(b, t1, &x, &y);
                        cairo_mesh_pattern_line_to(inner, x, y);
                        at(a, t1, &x, &y);
                        cairo_mesh_pattern_line_to(inner, x, y);
                        ARGB c[4] = {stops[k].second, stops[k].second, stops[k + 1].second,
                                     stops[k + 1].second};
                        for (unsigned corner = 0; corner < 4; ++corner)
                            cairo_mesh_pattern_set_corner_color_rgba(
                                inner, corner, ((c[corner] >> 16) & 0xFF) / 255.0,
                                ((c[corner] >> 8) & 0xFF) / 255.0, (c[corner] & 0xFF) / 255.0,
                                (c[corner] >> 24) / 255.0);
                        cairo_mesh_pattern_end_patch(inner);
                    }
                }
                poly.clear();
            };
            for (int i = 0; i < flat->num_data; i += flat->data[i].header.length) {
                const cairo_path_data_t* d = &flat->data[i];
                if (d->header.type == CAIRO_PATH_MOVE_TO) {
                    emit();
                    poly.emplace_back(REAL(d[1].point.x), REAL(d[1].point.y));
                } else if (d->header.type == CAIRO_PATH_LINE_TO) {
                    poly.emplace_back(REAL(d[1].point.x), REAL(d[1].point.y));
                }
            }
            emit();
            cairo_path_destroy(flat);
        }

        cairo_append_path(cr, outline.CairoPath());
        cairo_set_fill_rule(cr, outline.fillMode == FillModeWinding ? CAIRO_FILL_RULE_WINDING
                                                                    : CAIRO_FILL_RULE_EVEN_ODD);
        cairo_set_source(cr, inner);
        cairo_fill(cr);
        cairo_pattern_destroy(inner);
        cairo_destroy(cr);

        // Mirrored single-axis wraps repeat a tile made of the box and its mirror image.
        bool twoX = wrap == WrapModeTileFlipX, twoY = wrap == WrapModeTileFlipY;
        if (twoX || twoY) {
            cairo_surface_t* pair = cairo_image_surface_create(
                CAIRO_FORMAT_ARGB32, twoX ? 2 * tw : tw, twoY ? 2 * th : th);
            cairo_t* pc = cairo_create(pair);
            PaintTile(pc, box, tw, th, 0, 0, false, false);
            PaintTile(pc, box, tw, th, twoX ? tw : 0, twoY ? th : 0, twoX, twoY);
            cairo_destroy(pc);
            cairo_surface_destroy(box);
            box = pair;
        }
        if (cairo_surface_status(box) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(box);
            return nullptr;
        }
        tile = box;
        tileWidth = tw;
        tileHeight = th;
    }

    cairo_pattern_t* p = cairo_pattern_create_for_surface(tile);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, tileWidth / double(bounds.Width),
                            tileHeight / double(bounds.Height));
    cairo_matrix_translate(&m, -bounds.X, -bounds.Y);
    cairo_pattern_set_matrix(p, &m);
    switch (wrap) {
    case WrapModeClamp:
        cairo_pattern_set_extend(p, CAIRO_EXTEND_NONE);
        break;
    case WrapModeTileFlipXY:
        cairo_pattern_set_extend(p, CAIRO_EXTEND_REFLECT);
        break;
    default:
        cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
        break;
    }
    cairo_pattern_set_filter(p, CAIRO_FILTER_GOOD);
    return p;
}

cairo_pattern_t* CreateBrushPattern(GpBrush* brush, const cairo_matrix_t& world) {
    if (auto* solid = dynamic_cast<SolidFillImpl*>(brush)) {
        ARGB c = solid->color;
        return cairo_pattern_create_rgba(((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                         (c & 0xFF) / 255.0, (c >> 24) / 255.0);
    }
    if (auto* line = dynamic_cast<LineGradientImpl*>(brush))
        return line->CreatePattern();
    if (auto* path = dynamic_cast<PathGradientImpl*>(brush))
        return path->CreatePattern(world);
    return nullptr;
}

extern "C" {

Status WINGDIPAPI GdipCreateSolidFill(ARGB color, GpSolidFill** brush) {
    if (!brush)
        return InvalidParameter;
    *brush = new (std::nothrow) SolidFillImpl(color);
    return *brush ? Ok : OutOfMemory;
}

Status WINGDIPAPI GdipGetSolidFillColor(GpSolidFill* brush, ARGB* color) {
    auto* b = BrushAs<SolidFillImpl>(brush);
    if (!b || !color)
        return InvalidParameter;
    *color = b->color;
    return Ok;
}

Status WINGDIPAPI GdipSetSolidFillColor(GpSolidFill* brush, ARGB color) {
    auto* b = BrushAs<SolidFillImpl>(brush);
    if (!b)
        return InvalidParameter;
    b->color = color;
    return Ok;
}

Status WINGDIPAPI GdipCloneBrush(GpBrush* handle, GpBrush** cloneBrush) {
    GpBrush* brush = LiveBrush(handle);
    if (!brush || !cloneBrush)
        return InvalidParameter;
    GpBrush* copy = nullptr;
    if (auto* s = dynamic_cast<SolidFillImpl*>(brush))
        copy = new (std::nothrow) SolidFillImpl(s->color);
    else if (auto* l = dynamic_cast<LineGradientImpl*>(brush))
        copy = new (std::nothrow) LineGradientImpl(*l);
    else if (auto* p = dynamic_cast<PathGradientImpl*>(brush))
        copy = new (std::nothrow) PathGradientImpl(*p);
    else
        return InvalidParameter;
    *cloneBrush = copy;
    return copy ? Ok : OutOfMemory;
}

Status WINGDIPAPI GdipDeleteBrush(GpBrush* handle) {
    GpBrush* brush = LiveBrush(handle);
    if (!brush)
        return InvalidParameter;
    delete brush;
    return Ok;
}

Status WINGDIPAPI GdipGetBrushType(GpBrush* handle, GpBrushType* type) {
    GpBrush* brush = LiveBrush(handle);
    if (!brush || !type)
        return InvalidParameter;
    if (dynamic_cast<SolidFillImpl*>(brush))
        *type = BrushTypeSolidColor;
    else if (dynamic_cast<LineGradientImpl*>(brush))
        *type = BrushTypeLinearGradient;
    else if (dynamic_cast<PathGradientImpl*>(brush))
        *type = BrushTypePathGradient;
    else
        return InvalidParameter;
    return Ok;
}

Status WINGDIPAPI GdipCreateLineBrushFromRect(GDIPCONST GpRectF* rect, ARGB color1, ARGB color2,
                                              LinearGradientMode mode, GpWrap wrapMode,
                                              GpLineGradient** lineGradient) {
    if (!lineGradient)
        return InvalidParameter;
    *lineGradient = nullptr;
    if (!rect || !FiniteRect(*rect) || !ValidWrap(wrapMode) || wrapMode == WrapModeClamp ||
        mode < LinearGradientModeHorizontal || mode > LinearGradientModeBackwardDiagonal)
        return InvalidParameter;
    if (rect->Width == 0 || rect->Height == 0)
        return OutOfMemory;
    auto* b = new (std::nothrow) LineGradientImpl;
    if (!b)
        return OutOfMemory;
    b->rect = *rect;
    b->colors[0] = color1;
    b->colors[1] = color2;
    b->mode = mode;
    b->wrap = wrapMode;
    *lineGradient = b;
    return Ok;
}

Status WINGDIPAPI GdipCreateLineBrushFromRectI(GDIPCONST GpRect* rect, ARGB color1, ARGB color2,
                                               LinearGradientMode mode, GpWrap wrapMode,
                                               GpLineGradient** lineGradient) {
    if (!rect) {
        if (lineGradient)
            *lineGradient = nullptr;
        return InvalidParameter;
    }
    RectF r(REAL(rect->X), REAL(rect->Y), REAL(rect->Width), REAL(rect->Height));
    return GdipCreateLineBrushFromRect(&r, color1, color2, mode, wrapMode, lineGradient);
}

Status WINGDIPAPI GdipGetLineRect(GpLineGradient* brush, GpRectF* rect) {
    auto* b = BrushAs<LineGradientImpl>(brush);
    if (!b || !rect)
        return InvalidParameter;
    *rect = b->rect;
    return Ok;
}

Status WINGDIPAPI GdipGetLineRectI(GpLineGradient* brush, GpRect* rect) {
    auto* b = BrushAs<LineGradientImpl>(brush);
    if (!b || !rect)
        return InvalidParameter;
    *rect = Rect(INT(std::lround(b->rect.X)), INT(std::lround(b->rect.Y)),
                 INT(std::lround(b->rect.Width)), INT(std::lround(b->rect.Height)));
    return Ok;
}

Status WINGDIPAPI GdipGetLineColors(GpLineGradient* brush, ARGB* colors) {
    auto* b = BrushAs<LineGradientImpl>(brush);
    if (!b || !colors)
        return InvalidParameter;
    colors[0] = b->colors[0];
    colors[1] = b->colors[1];
    return Ok;
}

Status WINGDIPAPI GdipSetLineWrapMode(GpLineGradient* brush, GpWrap wrapmode) {
    auto* b = BrushAs<LineGradientImpl>(brush);
    if (!b || !ValidWrap(wrapmode) || wrapmode == WrapModeClamp)
        return InvalidParameter;
    b->wrap = wrapmode;
    return Ok;
}

Status WINGDIPAPI GdipGetLineWrapMode(GpLineGradient* brush, GpWrap* wrapmode) {
    auto* b = BrushAs<LineGradientImpl>(brush);
    if (!b || !wrapmode)
        return InvalidParameter;
    *wrapmode = b->wrap;
    return Ok;
}

Status WINGDIPAPI GdipSetLinePresetBlend(GpLineGradient* brush, GDIPCONST ARGB* blend,
                                         GDIPCONST REAL* positions, INT count) {
    auto* b = BrushAs<LineGradientImpl>(brush);
    if (!b)
        return InvalidParameter;
    Status s = CheckPresetBlend(blend, positions, count);
    if (s != Ok)
        return s;
    b->preset.colors.assign(blend, blend + count);
    b->preset.positions.assign(positions, positions + count);
    return Ok;
}

Status WINGDIPAPI GdipGetLinePresetBlendCount(GpLineGradient* brush, INT* count) {
    auto* b = BrushAs<LineGradientImpl>(brush);
    if (!b || !count)
        return InvalidParameter;
    *count = INT(b->preset.colors.size());
    return Ok;
}

Status WINGDIPAPI GdipGetLinePresetBlend(GpLineGradient* brush, ARGB* blend, REAL* positions,
                                         INT count) {
    auto* b = BrushAs<LineGradientImpl>(brush);
    if (!b || !blend || !positions || count < 2)
        return InvalidParameter;
    if (b->preset.colors.empty())
        return GenericError;
    if (size_t(count) < b->preset.colors.size())
        return InsufficientBuffer;
    std::copy(b->preset.colors.begin(), b->preset.colors.end(), blend);
    std::copy(b->preset.positions.begin(), b->preset.positions.end(), positions);
    return Ok;
}

Status WINGDIPAPI GdipCreatePathGradientFromPath(GDIPCONST GpPath* path,
                                                 GpPathGradient** polyGradient) {
    if (!polyGradient)
        return InvalidParameter;
    *polyGradient = nullptr;
    if (!Valid(path))
        return InvalidParameter;
    if (path->points.size() < 2)
        return OutOfMemory;
    auto* b = new (std::nothrow) PathGradientImpl;
    if (!b)
        return OutOfMemory;
    b->outline.points = path->points;
    b->outline.types = path->types;
    b->outline.fillMode = path->fillMode;
    b->outline.isEllipse = path->isEllipse;
    b->outline.ellipse = path->ellipse;
    path->Bounds(&b->bounds, nullptr);
    if (path->isEllipse) {
        b->center = PointF(path->ellipse.X + path->ellipse.Width / 2,
                           path->ellipse.Y + path->ellipse.Height / 2);
    } else {
        double x = 0, y = 0;
        for (const PointF& p : path->points) {
            x += p.X;
            y += p.Y;
        }
        b->center = PointF(REAL(x / path->points.size()), REAL(y / path->points.size()));
    }
    *polyGradient = b;
    return Ok;
}

Status WINGDIPAPI GdipSetPathGradientWrapMode(GpPathGradient* brush, GpWrap wrapmode) {
    auto* b = BrushAs<PathGradientImpl>(brush);
    if (!b || !ValidWrap(wrapmode))
        return InvalidParameter;
    b->wrap = wrapmode;
    b->Changed();
    return Ok;
}

Status WINGDIPAPI GdipGetPathGradientWrapMode(GpPathGradient* brush, GpWrap* wrapmode) {
    auto* b = BrushAs<PathGradientImpl>(brush);
    if (!b || !wrapmode)
        return InvalidParameter;
    *wrapmode = b->wrap;
    return Ok;
}

Status WINGDIPAPI GdipSetPathGradientCenterColor(GpPathGradient* brush, ARGB color) {
    auto* b = BrushAs<PathGradientImpl>(brush);
    if (!b)
        return InvalidParameter;
    b->centerColor = color;
    b->Changed();
    return Ok;
}

Status WINGDIPAPI GdipGetPathGradientCenterColor(GpPathGradient* brush, ARGB* color) {
    auto* b = BrushAs<PathGradientImpl>(brush);
    if (!b || !color)
        return InvalidParameter;
    *color = b->centerColor;
    return Ok;
}

Status WINGDIPAPI GdipGetPathGradientCenterPoint(GpPathGradient* brush, GpPointF* point) {
    auto* b = BrushAs<PathGradientImpl>(brush);
    if (!b || !point)
        return InvalidParameter;
    *point = b->center;
    return Ok;
}

Status WINGDIPAPI GdipGetPathGradientRect(GpPathGradient* brush, GpRectF* rect) {
    auto* b = BrushAs<PathGradientImpl>(brush);
    if (!b || !rect)
        return InvalidParameter;
    *rect = b->bounds;
    return Ok;
}

Status WINGDIPAPI GdipSetPathGradientPresetBlend(GpPathGradient* brush, GDIPCONST ARGB* blend,
                                                 GDIPCONST REAL* positions, INT count) {
    auto* b = BrushAs<PathGradientImpl>(brush);
    if (!b)
        return InvalidParameter;
    Status s = CheckPresetBlend(blend, positions, count);
    if (s != Ok)
        return s;
    b->preset.colors.assign(blend, blend + count);
    b->preset.positions.assign(positions, positions + count);
    b->Changed();
    return Ok;
}

Status WINGDIPAPI GdipGetPathGradientPresetBlendCount(GpPathGradient* brush, INT* count) {
    auto* b = BrushAs<PathGradientImpl>(brush);
    if (!b || !count)
        return InvalidParameter;
    *count = INT(b->preset.colors.size());
    return Ok;
}

Status WINGDIPAPI GdipGetPathGradientPresetBlend(GpPathGradient* brush, ARGB* blend,
                                                 REAL* positions, INT count) {
    auto* b = BrushAs<PathGradientImpl>(brush);
    if (!b || !blend || !positions || count < 2)
        return InvalidParameter;
    if (b->preset.colors.empty())
        return GenericError;
    if (size_t(count) < b->preset.colors.size())
        return InsufficientBuffer;
    std::copy(b->preset.colors.begin(), b->preset.colors.end(), blend);
    std::copy(b->preset.positions.begin(), b->preset.positions.end(), positions);
    return Ok;
}

} // extern "C"

} // namespace Gdiplus
