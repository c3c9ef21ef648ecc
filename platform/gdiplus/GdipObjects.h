#pragma once

// The back end's own objects behind the GDI+ handles. Internal to the library
// (the text group of the layer builds on GpPath through the flat functions).

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/gdiplus/GdiPlus.h"

namespace Gdiplus {

// Tags at the start of the non-polymorphic objects, so that a handle of the
// wrong kind is refused instead of misread.
enum : uint32_t {
    kMatrixTag = 0x4D617472,   // "Matr"
    kPathTag = 0x50617468,     // "Path"
    kPenTag = 0x50656E20,      // "Pen "
    kGraphicsTag = 0x47726166, // "Graf"
    kHdcTag = 0x48444320,      // "HDC "
    kDeadTag = 0xDEADBEEF
};

inline bool IsFinite(double v) {
    return std::isfinite(v);
}

// Straight-alpha ARGB to Cairo's premultiplied pixel and back (rounding as Cairo does).
inline uint32_t Premultiply(ARGB c) {
    uint32_t a = c >> 24;
    if (a == 255)
        return c;
    if (a == 0)
        return 0;
    auto mul = [a](uint32_t v) {
        uint32_t t = v * a + 0x80;
        return ((t >> 8) + t) >> 8;
    };
    return (a << 24) | (mul((c >> 16) & 0xFF) << 16) | (mul((c >> 8) & 0xFF) << 8) | mul(c & 0xFF);
}

inline ARGB Unpremultiply(uint32_t p) {
    uint32_t a = p >> 24;
    if (a == 255)
        return p;
    if (a == 0)
        return 0;
    auto div = [a](uint32_t v) {
        uint32_t r = (v * 255 + a / 2) / a;
        return r > 255 ? 255u : r;
    };
    return (a << 24) | (div((p >> 16) & 0xFF) << 16) | (div((p >> 8) & 0xFF) << 8) | div(p & 0xFF);
}

// The pixels of a bitmap, shared by the bitmap, its graphics contexts and
// device contexts, so that none of them outlives the memory it draws into.
//
// Cairo draws premultiplied; GDI+ callers see straight alpha. A colour whose
// premultiplied form loses information (0x00FFFFFF becomes 0) is kept in
// `exact`, and reads give it back as long as the pixel still holds its
// premultiplied form (any drawing over it changes that).
class PixelStore {
public:
    static std::shared_ptr<PixelStore> Create(int width, int height, Status* status);
    ~PixelStore();
    PixelStore(const PixelStore&) = delete;
    PixelStore& operator=(const PixelStore&) = delete;

    // Call before Cairo draws on the surface.
    void BeginDraw() {
        if (written) {
            cairo_surface_mark_dirty(surface);
            written = false;
        }
        drawn = true;
    }
    // Call before pixels are read or written directly.
    void BeginPixelAccess() {
        if (drawn) {
            cairo_surface_flush(surface);
            drawn = false;
        }
    }

    uint32_t* Row(int y) { return reinterpret_cast<uint32_t*>(data + size_t(y) * stride); }

    // Direct access; coordinates must be in range, BeginPixelAccess called.
    ARGB Get(int x, int y) {
        uint32_t p = Row(y)[x];
        if (!exact.empty()) {
            ARGB e = exact[size_t(y) * width + x];
            if (e != 0 && Premultiply(e) == p)
                return e;
        }
        return Unpremultiply(p);
    }
    void Set(int x, int y, ARGB c) {
        uint32_t p = Premultiply(c);
        Row(y)[x] = p;
        written = true;
        size_t i = size_t(y) * width + x;
        if (Unpremultiply(p) != c) {
            if (exact.empty())
                exact.assign(size_t(width) * height, 0);
            exact[i] = c;
        } else if (!exact.empty()) {
            exact[i] = 0;
        }
    }

    // Call after pixels were written directly other than through Set.
    void MarkWritten() { written = true; }

    // Sets every pixel to c (premultiplied form and exact colour).
    void Fill(ARGB c);

    cairo_surface_t* surface = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    unsigned char* data = nullptr;
    std::vector<ARGB> exact;

private:
    PixelStore() = default;
    bool written = false; // pixels written directly since Cairo last drew
    bool drawn = false;   // Cairo drew since pixels were last accessed directly
};

class BitmapImpl : public GpBitmap {
public:
    BitmapImpl(std::shared_ptr<PixelStore> s, PixelFormat f) : store(std::move(s)), format(f) {}
    ~BitmapImpl() override;
    std::shared_ptr<PixelStore> store;
    PixelFormat format;
    void* lock = nullptr; // state of GdipBitmapLockBits until the unlock
};

inline BitmapImpl* ToBitmap(GpImage* image) {
    return dynamic_cast<BitmapImpl*>(image);
}

class GpMatrix {
public:
    uint32_t tag = kMatrixTag;
    cairo_matrix_t m; // xx = m11, yx = m12, xy = m21, yy = m22, x0 = dx, y0 = dy

    GpMatrix() { cairo_matrix_init_identity(&m); }
    ~GpMatrix() { tag = kDeadTag; }
};

// Points and point types as GDI+ keeps them, with the Cairo form of the path
// built on first use and kept until the path changes.
class GpPath {
public:
    uint32_t tag = kPathTag;
    std::vector<PointF> points;
    std::vector<BYTE> types;
    FillMode fillMode = FillModeAlternate;
    bool startFigure = true; // the next addition starts a new figure
    // Set while the path is exactly one ellipse added to an empty path.
    bool isEllipse = false;
    RectF ellipse;

    ~GpPath() { tag = kDeadTag; }

    void Changed() { isEllipse = false; }
    // Appends p as the first point of an addition: a figure start, or a line
    // from the open figure's last point (omitted when it is that point).
    void Join(const PointF& p);
    void Add(const PointF& p, BYTE type) {
        if (points.capacity() == 0) {
            // Room for a small outline at once: most are a few points.
            points.reserve(8);
            types.reserve(8);
        }
        points.push_back(p);
        types.push_back(type);
    }
    void CloseFigure();
    // Adds the path to cr's current path (coordinates untransformed). Reads
    // the path only, so one path may be drawn on several threads at once.
    void AppendTo(cairo_t* cr) const;
    bool Bounds(RectF* bounds, const cairo_matrix_t* m) const;
};

// The brush behind a handle, or null when the handle is no live brush.
GpBrush* LiveBrush(const void* handle);
// A copy of a brush of any kind; null when out of memory.
GpBrush* CopyBrush(const GpBrush* brush);

// The brush a pen paints with, if any; copying it copies the brush.
class PenBrush {
public:
    PenBrush() = default;
    explicit PenBrush(GpBrush* b) : brush(b) {}
    PenBrush(const PenBrush& other) : brush(other.brush ? CopyBrush(other.brush.get()) : nullptr) {}
    PenBrush& operator=(const PenBrush&) = delete;
    GpBrush* get() const { return brush.get(); }
    void reset(GpBrush* b) { brush.reset(b); }

private:
    std::unique_ptr<GpBrush> brush;
};

class GpPen {
public:
    uint32_t tag = kPenTag;
    ARGB color = 0xFF000000;
    REAL width = 1;
    Unit unit = UnitWorld;
    LineCap startCap = LineCapFlat;
    LineCap endCap = LineCapFlat;
    DashCap dashCap = DashCapFlat;
    LineJoin join = LineJoinMiter;
    REAL miterLimit = 10;
    DashStyle dashStyle = DashStyleSolid;
    REAL dashOffset = 0;
    std::vector<REAL> dashes; // in multiples of the width
    PenBrush brush;           // paints instead of color when set

    ~GpPen() { tag = kDeadTag; }
};

class SolidFillImpl : public GpSolidFill {
public:
    explicit SolidFillImpl(ARGB c) : color(c) {}
    ARGB color;
};

// A pattern in user space that paints brush under the transform world; null
// when there is nothing to paint.
cairo_pattern_t* CreateBrushPattern(GpBrush* brush, const cairo_matrix_t& world);

// Colour stops shared by both gradient kinds.
struct Blend {
    std::vector<ARGB> colors;
    std::vector<REAL> positions;
};
Status CheckPresetBlend(const ARGB* blend, const REAL* positions, INT count);

// A brush's own transform (brush space to world space), kept with its inverse.
struct BrushTransform {
    BrushTransform() {
        cairo_matrix_init_identity(&matrix);
        cairo_matrix_init_identity(&inverse);
    }
    // False, and nothing changes, for a singular or non-finite matrix.
    bool Set(const cairo_matrix_t& m);
    // Makes pattern, built in brush space, paint in world space.
    void Apply(cairo_pattern_t* pattern) const;

    cairo_matrix_t matrix;
    cairo_matrix_t inverse;
};

class LineGradientImpl : public GpLineGradient {
public:
    LineGradientImpl() = default;
    LineGradientImpl(const LineGradientImpl& o)
        : GpLineGradient(), rect(o.rect), colors{o.colors[0], o.colors[1]}, mode(o.mode),
          wrap(o.wrap), preset(o.preset), fromPoints(o.fromPoints), point1(o.point1),
          point2(o.point2), transform(o.transform), spread(o.spread) {}

    RectF rect;
    ARGB colors[2] = {0, 0};
    LinearGradientMode mode = LinearGradientModeHorizontal;
    WrapMode wrap = WrapModeTile;
    Blend preset;            // empty: the two colours
    bool fromPoints = false; // runs from point1 to point2 (else across rect by mode)
    PointF point1;
    PointF point2;
    BrushTransform transform;
    KelSpread spread = KelSpreadNone;
    // A pattern in user space.
    cairo_pattern_t* CreatePattern() const;
};

class PathGradientImpl : public GpPathGradient {
public:
    PathGradientImpl() = default;
    PathGradientImpl(const PathGradientImpl& other);
    ~PathGradientImpl() override;

    GpPath outline;
    RectF bounds;
    PointF center;
    ARGB centerColor = 0xFFFFFFFF;
    ARGB surroundColor = 0xFFFFFFFF;
    WrapMode wrap = WrapModeClamp;
    Blend preset;
    BrushTransform transform;
    KelSpread spread = KelSpreadNone; // only on an ellipse outline
    REAL focusRadius = 0;             // with a spread: the circle position 0 starts from

    // A pattern in user space for drawing under the transform `world`; null
    // when there is nothing to paint.
    cairo_pattern_t* CreatePattern(const cairo_matrix_t& world);
    void Changed() { DropTile(); }

private:
    // The blend as (position, colour) pairs: position 0 on the outline, 1 at the centre.
    std::vector<std::pair<double, ARGB>> Stops() const;
    // The ellipse's radial pattern in brush space, from the centre point out to the ellipse.
    cairo_pattern_t* CreateEllipsePattern() const;
    void DropTile();
    cairo_surface_t* tile = nullptr; // rendered bounding box, kept between fills
    int tileWidth = 0;
    int tileHeight = 0;
};

// An image repeated by a wrap mode. The pixels, copied when the brush is
// made, are never written again: copies of the brush share them.
class TextureImpl : public GpTexture {
public:
    explicit TextureImpl(cairo_surface_t* pixels) : surface(pixels) {}
    TextureImpl(const TextureImpl& other)
        : GpTexture(), surface(cairo_surface_reference(other.surface)), wrap(other.wrap),
          transform(other.transform) {}
    ~TextureImpl() override { cairo_surface_destroy(surface); }

    cairo_surface_t* surface; // premultiplied ARGB
    WrapMode wrap = WrapModeTile;
    BrushTransform transform;

    // A pattern in user space for drawing onto pixels that the world maps
    // into by pixels; null when there is nothing to paint.
    cairo_pattern_t* CreatePattern(const cairo_matrix_t& pixels) const;
};

struct SavedGraphics {
    GraphicsState id;
    cairo_matrix_t world;
    bool hidden;
    SmoothingMode smoothing;
    size_t levels; // GpGraphics::levels at the save
    InterpolationMode interpolation;
};

// What a clip or a layer added to a graphics state (GdipLayer.cpp). A live
// level holds a Cairo save (clip) or a save and a group (layer, mask) on the
// graphics' context; a flat one holds nothing; a hiding one holds nothing and
// hides all drawing until it ends.
struct GraphicsLevel {
    enum Kind { Clip, Layer, Mask, Filter };
    enum Mode { Live, Flat, Hiding };
    Kind kind;
    Mode mode;
    double opacity = 1;                  // of a layer
    KelBlendMode blend = KelBlendNormal; // of a layer
    double pixels = 0;                   // of a live layer or mask, taken from the graphics' budget
    // A live filter layer draws with a context of its own over an image of
    // its box (in the target's pixels); the graphics' context waits here.
    cairo_t* outer = nullptr;
    int box[4] = {0, 0, 0, 0};
    uint32_t* memory = nullptr; // its image's pixels (from the graphics' spares)
    size_t capacity = 0;
};

// A graphics draws either into a bitmap's pixels, with a Cairo context of its
// own, or with a host's Cairo context. A host's context is never left in an
// error state and gets its state back when the graphics is deleted: the
// graphics saves it on creation and restores it on deletion, and never resets
// its clip (drawing stays inside what the host allows).
class GpGraphics {
public:
    uint32_t tag = kGraphicsTag;
    std::shared_ptr<PixelStore> store; // null over a host's context
    cairo_t* cr = nullptr;             // own context, or a reference to the host's
    bool hostContext = false;
    // The context was made by the back end with no clip of its own (a band):
    // only the levels clip it.
    bool ownContext = false;
    // The device space the world transform maps into, in cr's user space:
    // identity over a bitmap, the host's transform when the graphics was made.
    cairo_matrix_t device;
    cairo_matrix_t world;
    bool hidden = false; // a refused transform hides drawing until the next restore
    SmoothingMode smoothing = SmoothingModeDefault;
    InterpolationMode interpolation = InterpolationModeDefault;
    std::vector<SavedGraphics> saved;
    GraphicsState nextState = 1;
    std::vector<GraphicsLevel> levels; // clips and layers, innermost last
    // Pixels of ended filter layers, kept for the next ones (fresh memory
    // costs a page fault per page).
    std::vector<std::pair<size_t, std::unique_ptr<uint32_t[]>>> spareFilterPixels;
    double layerPixels = 0; // pixels of the live layers and masks
    int hidingLevels = 0;

    explicit GpGraphics(std::shared_ptr<PixelStore> s);
    explicit GpGraphics(cairo_t* host);
    ~GpGraphics();

    // A usable Cairo context for drawing under the world transform; null when
    // nothing is to be drawn.
    cairo_t* Begin();
    // Sets cr's transform to m (user space to this graphics' device space);
    // false, and cr unchanged, when m is not usable.
    bool SetMatrix(const cairo_matrix_t& m);
    // Whether nothing but the target surface's edges clips drawing: no clip
    // or layer open, and no clip of a host's.
    bool ClippedBySurfaceOnly() const { return levels.empty() && (!hostContext || ownContext); }
    // The world transform onto the target's pixels (its device scale and
    // offset included): for brushes rendered at the target's resolution and
    // for checks of what Cairo's rasteriser can take.
    cairo_matrix_t PixelTransform() const;

private:
    cairo_path_t* hostPath = nullptr; // the host's current path, put back on deletion
};

// Ends the levels past the first count (clips restored, layers composited,
// masks dropped, filter layers composited unfiltered), innermost first.
void UnwindLevels(GpGraphics* graphics, size_t count);

// Validity checks for handles.
template <class T> inline bool Valid(const T* p, uint32_t tag) {
    return p && p->tag == tag;
}
inline bool Valid(const GpMatrix* m) {
    return Valid(m, kMatrixTag);
}
inline bool Valid(const GpPath* p) {
    return Valid(p, kPathTag);
}
inline bool Valid(const GpPen* p) {
    return Valid(p, kPenTag);
}
inline bool Valid(const GpGraphics* g) {
    return Valid(g, kGraphicsTag);
}

// A matrix usable as a world transform: finite and invertible.
bool IsUsableMatrix(const cairo_matrix_t& m);

} // namespace Gdiplus

// The drawing surface behind an HDC: a bitmap's pixels or a host's Cairo
// context (a reference to it, released with the device context).
struct HDC__ {
    uint32_t tag = Gdiplus::kHdcTag;
    std::shared_ptr<Gdiplus::PixelStore> store;
    cairo_t* cr = nullptr;
    int saveDepth = 0;

    HDC__() = default;
    HDC__(const HDC__&) = delete;
    HDC__& operator=(const HDC__&) = delete;
    ~HDC__() {
        if (cr)
            cairo_destroy(cr);
    }
};
