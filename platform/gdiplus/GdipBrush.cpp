// Brushes: solid colours, linear gradients over a rectangle and path
// gradients, and the Cairo patterns that paint them.

#include <cstdint>
#include <mutex>
#include <new>
#include <shared_mutex>
#include <unordered_set>

#include "platform/gdiplus/GdipObjects.h"

namespace Gdiplus {

namespace {

// Every live brush. A handle is looked up here before it is used, so that an
// object of another kind (a pen, a path, an image) or a deleted brush passed
// as a brush is refused instead of misread. Never destroyed: a brush may
// outlive the static objects of the process. The set is kept in shards, each
// with a lock of its own, and look-ups share the lock: threads that make,
// use and delete brushes at once (the bands of one picture, or several
// pictures) seldom wait for each other.
struct LiveBrushShard {
    std::shared_mutex lock;
    std::unordered_set<const void*> brushes;
};
constexpr size_t kLiveBrushShards = 64;

LiveBrushShard& LiveBrushesOf(const void* brush) {
    static LiveBrushShard* shards = new LiveBrushShard[kLiveBrushShards];
    // Brushes are allocated at least 16 bytes apart.
    return shards[(reinterpret_cast<uintptr_t>(brush) >> 4) % kLiveBrushShards];
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
    LiveBrushShard& shard = LiveBrushesOf(this);
    std::lock_guard<std::shared_mutex> guard(shard.lock);
    try {
        shard.brushes.insert(this);
    } catch (...) {
        // Out of memory: the brush stays unknown and is refused where used.
    }
}

GpBrush::~GpBrush() {
    LiveBrushShard& shard = LiveBrushesOf(this);
    std::lock_guard<std::shared_mutex> guard(shard.lock);
    shard.brushes.erase(this);
}

GpBrush* LiveBrush(const void* handle) {
    if (!handle)
        return nullptr;
    LiveBrushShard& shard = LiveBrushesOf(handle);
    std::shared_lock<std::shared_mutex> guard(shard.lock);
    if (shard.brushes.count(handle) == 0)
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

// ---- Brush transforms ------------------------------------------------------

bool BrushTransform::Set(const cairo_matrix_t& m) {
    if (!IsUsableMatrix(m))
        return false;
    cairo_matrix_t inv = m;
    if (cairo_matrix_invert(&inv) != CAIRO_STATUS_SUCCESS)
        return false;
    matrix = m;
    inverse = inv;
    return true;
}

void BrushTransform::Apply(cairo_pattern_t* pattern) const {
    // World to brush space first, then the pattern's own mapping.
    cairo_matrix_t own, combined;
    cairo_pattern_get_matrix(pattern, &own);
    cairo_matrix_multiply(&combined, &inverse, &own);
    cairo_pattern_set_matrix(pattern, &combined);
}

namespace {

cairo_extend_t SpreadExtend(KelSpread spread) {
    switch (spread) {
    case KelSpreadReflect:
        return CAIRO_EXTEND_REFLECT;
    case KelSpreadRepeat:
        return CAIRO_EXTEND_REPEAT;
    default:
        return CAIRO_EXTEND_PAD;
    }
}

bool ValidSpread(KelSpread spread) {
    return spread >= KelSpreadNone && spread <= KelSpreadRepeat;
}

} // namespace

// ---- Linear gradient ---------------------------------------------------------

cairo_pattern_t* LineGradientImpl::CreatePattern() const {
    cairo_pattern_t* p;
    cairo_matrix_t m;
    bool alongX = true;
    if (fromPoints) {
        p = cairo_pattern_create_linear(point1.X, point1.Y, point2.X, point2.Y);
    } else {
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
    }
    if (spread != KelSpreadNone) {
        cairo_pattern_set_extend(p, SpreadExtend(spread));
    } else {
        bool flip = wrap == WrapModeTileFlipXY || (alongX && wrap == WrapModeTileFlipX) ||
                    (!alongX && wrap == WrapModeTileFlipY);
        cairo_pattern_set_extend(p, flip ? CAIRO_EXTEND_REFLECT : CAIRO_EXTEND_REPEAT);
    }
    if (preset.colors.empty()) {
        AddStop(p, 0, colors[0]);
        AddStop(p, 1, colors[1]);
    } else {
        for (size_t i = 0; i < preset.colors.size(); ++i)
            AddStop(p, std::clamp(double(preset.positions[i]), 0.0, 1.0), preset.colors[i]);
    }
    transform.Apply(p);
    return p;
}

// ---- Path gradient -----------------------------------------------------------

PathGradientImpl::PathGradientImpl(const PathGradientImpl& other)
    : GpPathGradient(), bounds(other.bounds), center(other.center), centerColor(other.centerColor),
      surroundColor(other.surroundColor), wrap(other.wrap), preset(other.preset),
      transform(other.transform), spread(other.spread), focusRadius(other.focusRadius) {
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

std::vector<std::pair<double, ARGB>> PathGradientImpl::Stops() const {
    std::vector<std::pair<double, ARGB>> stops;
    if (preset.colors.empty()) {
        stops = {{0.0, surroundColor}, {1.0, centerColor}};
    } else {
        for (size_t i = 0; i < preset.colors.size(); ++i)
            stops.emplace_back(std::clamp(double(preset.positions[i]), 0.0, 1.0), preset.colors[i]);
    }
    return stops;
}

cairo_pattern_t* PathGradientImpl::CreateEllipsePattern() const {
    // In the ellipse's unit circle: from the centre point (radius 0) out to
    // the circle, so that every ray from the centre point runs through the
    // whole blend. Position 0 of the blend lies on the ellipse.
    const RectF& e = outline.ellipse;
    double ex = e.X + e.Width / 2.0, ey = e.Y + e.Height / 2.0;
    double fx = (center.X - ex) * 2.0 / e.Width, fy = (center.Y - ey) * 2.0 / e.Height;
    double fr = spread != KelSpreadNone ? focusRadius * 2.0 / e.Width : 0.0;
    cairo_pattern_t* p = cairo_pattern_create_radial(fx, fy, fr, 0, 0, 1);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, 2.0 / e.Width, 2.0 / e.Height);
    cairo_matrix_translate(&m, -ex, -ey);
    cairo_pattern_set_matrix(p, &m);
    std::vector<std::pair<double, ARGB>> stops = Stops();
    for (size_t i = stops.size(); i-- > 0;)
        AddStop(p, 1.0 - stops[i].first, stops[i].second);
    cairo_pattern_set_extend(p, SpreadExtend(spread));
    return p;
}

cairo_pattern_t* PathGradientImpl::CreatePattern(const cairo_matrix_t& world) {
    if (!(bounds.Width > 0) || !(bounds.Height > 0))
        return nullptr;
    if (spread != KelSpreadNone && outline.isEllipse) {
        cairo_pattern_t* p = CreateEllipsePattern();
        transform.Apply(p);
        return p;
    }
    // Render the bounding box once at about device resolution (in brush
    // space, which the brush transform maps into the world).
    cairo_matrix_t device;
    cairo_matrix_multiply(&device, &transform.matrix, &world);
    double sx = std::hypot(device.xx, device.yx) * bounds.Width;
    double sy = std::hypot(device.xy, device.yy) * bounds.Height;
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

        std::vector<std::pair<double, ARGB>> stops = Stops(); // blend position, colour

        cairo_pattern_t* inner;
        if (outline.isEllipse) {
            inner = CreateEllipsePattern();
        } else {
            // Bands between the outline (position 0) and the centre (1): one
            // mesh patch per flattened edge and stop interval.
            outline.AppendTo(cr);
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

        outline.AppendTo(cr);
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
    transform.Apply(p);
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
    if (auto* texture = dynamic_cast<TextureImpl*>(brush))
        return texture->CreatePattern(world);
    return nullptr;
}

GpBrush* CopyBrush(const GpBrush* brush) {
    if (auto* s = dynamic_cast<const SolidFillImpl*>(brush))
        return new (std::nothrow) SolidFillImpl(s->color);
    if (auto* l = dynamic_cast<const LineGradientImpl*>(brush))
        return new (std::nothrow) LineGradientImpl(*l);
    if (auto* p = dynamic_cast<const PathGradientImpl*>(brush))
        return new (std::nothrow) PathGradientImpl(*p);
    if (auto* t = dynamic_cast<const TextureImpl*>(brush))
        return new (std::nothrow) TextureImpl(*t);
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
    GpBrush* copy = CopyBrush(brush);
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
    else if (dynamic_cast<TextureImpl*>(brush))
        *type = BrushTypeTextureFill;
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

Status WINGDIPAPI GdipCreateLineBrush(GDIPCONST GpPointF* point1, GDIPCONST GpPointF* point2,
                                      ARGB color1, ARGB color2, GpWrap wrapMode,
                                      GpLineGradient** lineGradient) {
    if (!lineGradient)
        return InvalidParameter;
    *lineGradient = nullptr;
    if (!point1 || !point2 || !std::isfinite(point1->X) || !std::isfinite(point1->Y) ||
        !std::isfinite(point2->X) || !std::isfinite(point2->Y) || !ValidWrap(wrapMode) ||
        wrapMode == WrapModeClamp)
        return InvalidParameter;
    if (point1->X == point2->X && point1->Y == point2->Y)
        return OutOfMemory;
    auto* b = new (std::nothrow) LineGradientImpl;
    if (!b)
        return OutOfMemory;
    b->fromPoints = true;
    b->point1 = *point1;
    b->point2 = *point2;
    b->rect = RectF(std::min(point1->X, point2->X), std::min(point1->Y, point2->Y),
                    std::fabs(point2->X - point1->X), std::fabs(point2->Y - point1->Y));
    b->colors[0] = color1;
    b->colors[1] = color2;
    b->wrap = wrapMode;
    *lineGradient = b;
    return Ok;
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

Status WINGDIPAPI GdipSetLineTransform(GpLineGradient* brush, GDIPCONST GpMatrix* matrix) {
    auto* b = BrushAs<LineGradientImpl>(brush);
    if (!b || !Valid(matrix) || !b->transform.Set(matrix->m))
        return InvalidParameter;
    return Ok;
}

Status WINGDIPAPI GdipGetLineTransform(GpLineGradient* brush, GpMatrix* matrix) {
    auto* b = BrushAs<LineGradientImpl>(brush);
    if (!b || !Valid(matrix))
        return InvalidParameter;
    matrix->m = b->transform.matrix;
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

Status WINGDIPAPI GdipSetPathGradientCenterPoint(GpPathGradient* brush, GDIPCONST GpPointF* point) {
    auto* b = BrushAs<PathGradientImpl>(brush);
    if (!b || !point || !std::isfinite(point->X) || !std::isfinite(point->Y))
        return InvalidParameter;
    b->center = *point;
    b->Changed();
    return Ok;
}

Status WINGDIPAPI GdipSetPathGradientTransform(GpPathGradient* brush, GpMatrix* matrix) {
    auto* b = BrushAs<PathGradientImpl>(brush);
    if (!b || !Valid(matrix) || !b->transform.Set(matrix->m))
        return InvalidParameter;
    b->Changed();
    return Ok;
}

Status WINGDIPAPI GdipGetPathGradientTransform(GpPathGradient* brush, GpMatrix* matrix) {
    auto* b = BrushAs<PathGradientImpl>(brush);
    if (!b || !Valid(matrix))
        return InvalidParameter;
    matrix->m = b->transform.matrix;
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

Status KelSetGradientSpread(GpBrush* brush, KelSpread spread) {
    if (!ValidSpread(spread))
        return InvalidParameter;
    if (auto* line = BrushAs<LineGradientImpl>(brush)) {
        line->spread = spread;
        return Ok;
    }
    auto* path = BrushAs<PathGradientImpl>(brush);
    if (!path || !path->outline.isEllipse)
        return InvalidParameter;
    path->spread = spread;
    path->Changed();
    return Ok;
}

Status KelSetGradientFocusRadius(GpBrush* brush, REAL radius) {
    auto* path = BrushAs<PathGradientImpl>(brush);
    if (!path || !path->outline.isEllipse || !(radius >= 0) || !std::isfinite(radius))
        return InvalidParameter;
    path->focusRadius = radius;
    path->Changed();
    return Ok;
}

Status KelGetGradientSpread(GpBrush* brush, KelSpread* spread) {
    if (!spread)
        return InvalidParameter;
    if (auto* line = BrushAs<LineGradientImpl>(brush)) {
        *spread = line->spread;
        return Ok;
    }
    auto* path = BrushAs<PathGradientImpl>(brush);
    if (!path)
        return InvalidParameter;
    *spread = path->spread;
    return Ok;
}

} // namespace Gdiplus
