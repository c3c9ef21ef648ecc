#include "render/SvgFigure.h"

#include "render/SvgGlyphSet.h"
#include "render/SvgPaintServer.h"
#include "render/SvgPathBounds.h"
#include "style/SvgColorReaders.h"
#include "style/SvgStyle.h"

#include "document/SvgElement.h"
#include "document/SvgRenderContext.h"
#include "engine/GdiMatrix.h"
#include "engine/SvgEngine.h"
#include "style/SvgPaintOrder.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <thread>

using namespace Gdiplus;

namespace {

// fill-rule keyword numbers.
const unsigned kFillRuleNonzero = 0;
const unsigned kFillRuleEvenodd = 2;

// Most dash entries read from a dash array.
const int kMaxDashes = 64;
// The length, in multiples of the width, that stands for a dash of length 0.
const double kShortestDash = 1e-3;

// Whether figure's element specified any style of its own.
bool GivesStyle(const SvgFigure* figure) {
    const SvgStyle* style = figure->PeekStyle();
    return style && style->specified;
}

} // namespace

SvgFigure::SvgFigure()
    : style(nullptr), owner(nullptr), path(GdiPath::Create(FillModeAlternate)), fillBrush(nullptr),
      strokePen(nullptr) {}

SvgFigure::~SvgFigure() {
    delete path;
    delete style;
    delete fillBrush;
    delete strokePen;
}

SvgFigure* SvgFigure::CreateStyleHolder() {
    SvgFigure* figure = new SvgFigure();
    figure->styleHolder = true;
    return figure;
}

Status SvgFigure::BuildPath() {
    return Ok;
}

void SvgFigure::CopyFrom(const SvgFigure* source) {
    if (!source || source == this)
        return;
    GdiPath* copy = source->path ? source->path->Clone() : GdiPath::Create(FillModeAlternate);
    if (copy) {
        delete path;
        path = copy;
    }
    if (styleHolder && !style && !GivesStyle(source))
        return;
    SvgElement* parent = owner ? owner->GetParent() : nullptr;
    GetStyle()->ReadCopyOf(source->style, parent ? parent->GetInheritableStyle() : nullptr);
}

long SvgFigure::CopyCost() const {
    INT points = 0;
    if (path)
        GdipGetPointCount(path->Get(), &points);
    bool copyHoldsStyle = !styleHolder || GivesStyle(this);
    return 1 + (copyHoldsStyle ? 1 : 0) + points / 16;
}

SvgStyle* SvgFigure::GetStyle() {
    if (!style)
        style = new SvgStyle();
    return style;
}

Status SvgFigure::Fill(GdiGraphics& graphics) {
    return FillPath(graphics, path);
}

Status SvgFigure::FillText(GdiGraphics& graphics, const SvgGlyphSet& glyphs) {
    Status status = FillGlyphs(graphics, glyphs);
    // Colour glyphs are pictures painted after the fill, with its opacity.
    if (glyphs.HasPictures() && ReadyFill())
        glyphs.PaintPictures(graphics, float(PaintAlpha(style->fillOpacity.value)) / 255.0f);
    return status;
}

Status SvgFigure::FillGlyphs(GdiGraphics& graphics, const SvgGlyphSet& glyphs) {
    if (!glyphs.KeepsText(graphics))
        return FillPath(graphics, path);
    if (!ReadyFill())
        return Ok;
    GdiBrush* made = nullptr;
    SvgContextPaint context =
        style->fill.uri.empty() ? style->fill.Context() : SvgContextPaint::None;
    if (fillServer || context != SvgContextPaint::None) {
        made = BrushForPaint(graphics, fillServer, context, style->fillOpacity.value);
        if (!made)
            return Ok;
    }
    GdiBrush* brush = made ? made : fillBrush;
    glyphs.FillAsText(graphics, brush ? brush->Get() : nullptr, fillColor, path);
    delete made;
    return Ok;
}

Status SvgFigure::FillPath(GdiGraphics& graphics, GdiPath* outline) {
    if (!ReadyFill())
        return Ok;
    GpPath* nativePath = outline ? outline->Get() : nullptr;
    SvgContextPaint context =
        style->fill.uri.empty() ? style->fill.Context() : SvgContextPaint::None;
    if (fillServer || context != SvgContextPaint::None) {
        GdiBrush* brush = BrushForPaint(graphics, fillServer, context, style->fillOpacity.value);
        Status status =
            brush ? graphics.Record(GdipFillPath(graphics.Get(), brush->Get(), nativePath)) : Ok;
        delete brush;
        return status;
    }
    if (fillBrush)
        return graphics.Record(GdipFillPath(graphics.Get(), fillBrush->Get(), nativePath));
    return graphics.Record(KelFillPathColor(graphics.Get(), fillColor, nativePath));
}

Status SvgFigure::Stroke(GdiGraphics& graphics) {
    return StrokePath(graphics, path);
}

Status SvgFigure::StrokePath(GdiGraphics& graphics, GdiPath* outline) {
    bool strokes = false;
    GdiPen* pen = StrokePen(strokes);
    if (!strokes)
        return Ok;
    GpPath* nativePath = outline ? outline->Get() : nullptr;
    SvgContextPaint context =
        style->stroke.uri.empty() ? style->stroke.Context() : SvgContextPaint::None;
    if (strokeServer || context != SvgContextPaint::None) {
        // A pen for this paint alone.
        GdiBrush* brush =
            BrushForPaint(graphics, strokeServer, context, style->strokeOpacity.value);
        float width = style->strokeWidth.computed;
        GdiPen* made = brush ? GdiPen::CreateFromBrush(*brush, width, UnitWorld) : nullptr;
        delete brush;
        if (!made)
            return Ok;
        SetUpPen(*made, width);
        Status status = graphics.Record(GdipDrawPath(graphics.Get(), made->Get(), nativePath));
        delete made;
        return status;
    }
    // A pen that could not be made records the failure.
    return graphics.Record(GdipDrawPath(graphics.Get(), pen ? pen->Get() : nullptr, nativePath));
}

void SvgFigure::PrepareToPaint() {
    GetStyle();
    ReadyFill();
    bool strokes = false;
    StrokePen(strokes);
}

void SvgFigure::PrepareOnce() {
    if (prepared.load(std::memory_order_acquire) == 2)
        return;
    unsigned char idle = 0;
    if (prepared.compare_exchange_strong(idle, 1, std::memory_order_acq_rel)) {
        PrepareToPaint();
        prepared.store(2, std::memory_order_release);
        return;
    }
    while (prepared.load(std::memory_order_acquire) != 2)
        std::this_thread::yield();
}

void SvgFigure::PrepareStyle() {
    ResolveStrokeWidth(*GetStyle());
}

bool SvgFigure::ReadyFill() {
    if (fillReady)
        return fillPaints;
    fillReady = true;
    SvgStyle& s = *GetStyle();
    if (s.fill.noneSet)
        return false;

    // The rule in force, whether the element or an ancestor gave it.
    if (path) {
        GpPath* nativePath = path->Get();
        if (s.fillRule.computed == kFillRuleEvenodd)
            path->Record(GdipSetPathFillMode(nativePath, FillModeAlternate));
        else if (s.fillRule.computed == kFillRuleNonzero)
            path->Record(GdipSetPathFillMode(nativePath, FillModeWinding));
    }

    // context-fill and context-stroke take their paint as each paint comes.
    if (s.fill.uri.empty() && s.fill.Context() != SvgContextPaint::None) {
        fillPaints = true;
        return true;
    }
    unsigned alpha = PaintAlpha(s.fillOpacity.value);
    if (!s.fill.uri.empty()) {
        const SvgPaintServer* server = FindPaintServer(s.fill.uri);
        if (server && server->PaintsAtResolution()) {
            fillServer = server;
            fillPaints = true;
            return true;
        }
        fillBrush = CreateReferencedBrush(s.fill.uri, alpha);
        // No paint server behind the reference: the fallback colour, if one
        // was given. A loaded tree never changes, so the answer is kept.
        if (!fillBrush && !s.fill.colorSet)
            return false;
    }
    // Without a colour of its own, the style's default colour.
    if (!fillBrush)
        fillColor = ToArgb(s.fill.color, alpha);
    fillPaints = true;
    return true;
}

GdiPen* SvgFigure::StrokePen(bool& strokes) {
    strokes = false;
    if (strokePen) {
        strokes = true;
        return strokePen;
    }
    SvgStyle& s = *GetStyle();
    bool context = s.stroke.uri.empty() && s.stroke.Context() != SvgContextPaint::None;
    if (strokeUnpaintable || (s.stroke.uri.empty() && !s.stroke.colorSet && !context))
        return nullptr;
    // The width as computed, in user units; none at all draws no stroke.
    REAL width = ResolveStrokeWidth(s);
    if (!(width > 0))
        return nullptr;
    // Pens made at each paint (Stroke).
    if (!strokeServer && !s.stroke.uri.empty()) {
        const SvgPaintServer* server = FindPaintServer(s.stroke.uri);
        if (server && server->PaintsAtResolution())
            strokeServer = server;
    }
    if (context || strokeServer) {
        strokes = true;
        return nullptr;
    }

    unsigned alpha = PaintAlpha(s.strokeOpacity.value);
    GdiPen* pen = nullptr;
    GdiBrush* server = s.stroke.uri.empty() ? nullptr : CreateReferencedBrush(s.stroke.uri, alpha);
    if (server) {
        pen = GdiPen::CreateFromBrush(*server, width, UnitWorld);
        delete server;
    } else if (s.stroke.colorSet) {
        // A colour, or the fallback colour of a reference to no paint server.
        pen = GdiPen::Create(ToArgb(s.stroke.color, alpha), width, UnitWorld);
    } else {
        strokeUnpaintable = true; // a reference that will never paint
        return nullptr;
    }
    strokes = true;
    if (!pen)
        return nullptr;
    SetUpPen(*pen, width);
    strokePen = pen;
    return strokePen;
}

void SvgFigure::SetUpPen(GdiPen& pen, float width) {
    const SvgStyle& s = *GetStyle();
    SetDashes(pen, s.strokeDash, width, s.strokeDash.hasPercentages() ? PercentBase() : 0);
    // Caps and join in force, whether the element or an ancestor gave them;
    // every dash takes the line's cap.
    unsigned cap = s.strokeLinecap.computed;
    pen.Record(GdipSetPenStartCap(pen.Get(), CapFromKeyword(cap)));
    pen.Record(GdipSetPenEndCap(pen.Get(), CapFromKeyword(cap)));
    pen.Record(GdipSetPenDashCap197819(pen.Get(), DashCapFromKeyword(cap)));
    pen.Record(GdipSetPenLineJoin(pen.Get(), JoinFromKeyword(s.strokeLinejoin.computed)));
    pen.Record(GdipSetPenMiterLimit(pen.Get(), s.strokeMiterlimit.value));
}

bool SvgFigure::OutsideView(GdiGraphics& graphics) const {
    RectF box;
    if (!path || GdipGetPathWorldBounds(path->Get(), &box, nullptr, nullptr) != Ok)
        return false;
    // How far a stroke reaches past the outline: half its width, times the
    // miter limit at joins (square caps reach less).
    double reach = 0;
    if (style && (!style->stroke.uri.empty() || style->stroke.colorSet))
        reach = style->strokeWidth.computed / 2.0 *
                std::max(double(style->strokeMiterlimit.value), std::sqrt(2.0));
    if (!std::isfinite(reach))
        return false;
    BOOL visible = TRUE;
    GdipIsVisibleRect(graphics.Get(), REAL(box.X - reach), REAL(box.Y - reach),
                      REAL(box.Width + 2 * reach), REAL(box.Height + 2 * reach), &visible);
    return !visible;
}

Status SvgFigure::PaintCoverage(GdiGraphics& graphics) {
    return PaintCoverageOf(graphics, path);
}

Status SvgFigure::PaintCoverageOf(GdiGraphics& graphics, GdiPath* outline) {
    GpPath* nativePath = outline ? outline->Get() : nullptr;
    if (!nativePath)
        return Ok;
    const SvgStyle& s = *GetStyle();
    // The fill's own rule comes back afterwards: the cached brush fills with it.
    FillMode previous = FillModeAlternate;
    GdipGetPathFillMode(nativePath, &previous);
    GdipSetPathFillMode(nativePath, s.clipRule.computed == kFillRuleEvenodd ? FillModeAlternate
                                                                            : FillModeWinding);
    Status status = graphics.Record(KelFillPathColor(graphics.Get(), 0xFF000000, nativePath));
    GdipSetPathFillMode(nativePath, previous);
    return status;
}

bool SvgFigure::AbsorbsOpacity() const {
    if (!owner || !SvgIsShapeKind(owner->GetKind()) || !owner->GetChildren().empty() || !style ||
        owner->PaintsMarkers())
        return false;
    const SvgStyle& s = *style;
    bool fills = !s.fill.noneSet;
    // A width yet to be resolved counts as one that strokes.
    bool strokes = (!s.stroke.uri.empty() || s.stroke.colorSet) &&
                   (s.strokeWidth.computed > 0 || s.strokeWidth.unit == SvgUnitEm ||
                    s.strokeWidth.unit == SvgUnitPercent);
    return !(fills && strokes);
}

unsigned SvgFigure::PaintAlpha(unsigned scale24) const {
    if (style && style->opacity.value < SvgScale24::One && AbsorbsOpacity())
        scale24 = unsigned(uint64_t(scale24) * style->opacity.value / SvgScale24::One);
    return AlphaFromScale24(scale24);
}

const SvgPaintServer* SvgFigure::FindPaintServer(const std::string& id) const {
    SvgEngine* engine = owner ? owner->GetOwner() : nullptr;
    SvgElement* target = engine ? engine->FindElementById(id.c_str()) : nullptr;
    if (!target)
        return nullptr;
    int kind = target->GetKind();
    if (kind != SvgKindLinearGradient && kind != SvgKindRadialGradient && kind != SvgKindPattern)
        return nullptr;
    return dynamic_cast<const SvgPaintServer*>(target);
}

GdiBrush* SvgFigure::CreateReferencedBrush(const std::string& id, unsigned alpha) {
    const SvgPaintServer* server = FindPaintServer(id);
    if (!server)
        return nullptr;
    return server->CreateBrush(PaintBox(), alpha);
}

GdiBrush* SvgFigure::BrushForPaint(GdiGraphics& graphics, const SvgPaintServer* server,
                                   SvgContextPaint context, unsigned scale24) {
    unsigned alpha = PaintAlpha(scale24);
    if (server)
        return server->CreateBrushFor(PaintBox(), alpha, graphics);
    // The paint of the innermost element that gives context: the shape whose
    // markers, or the use whose copy, is drawn (one level out for each that
    // names its own context's paint). None gives no paint.
    SvgEngine* engine = owner ? owner->GetOwner() : nullptr;
    if (!engine)
        return nullptr;
    const std::vector<SvgPaintContext>& contexts = engine->GetRenderContext().paintContext;
    const SvgFigure* from = nullptr;
    const SvgPaint* paint = nullptr;
    SvgMatrix fromPixels;
    for (size_t i = contexts.size(); i-- > 0 && !paint;) {
        from = contexts[i].element->GetFigure();
        fromPixels = contexts[i].pixels;
        const SvgStyle* given = from ? from->PeekStyle() : nullptr;
        if (!given)
            return nullptr;
        paint = context == SvgContextPaint::Fill ? &given->fill : &given->stroke;
        if (paint->uri.empty() && paint->Context() != SvgContextPaint::None) {
            context = paint->Context();
            paint = nullptr;
        }
    }
    if (!paint || paint->noneSet)
        return nullptr;
    if (!paint->uri.empty()) {
        if (const SvgPaintServer* other = from->FindPaintServer(paint->uri)) {
            // The context's paint server lies as on the context: its brush
            // is carried from the context's user space into this one.
            GdiBrush* brush = other->CreateBrushFor(from->PaintBox(), alpha, graphics);
            if (brush)
                AppendToBrush(*brush, SvgRenderContext::PixelTransform(graphics).inverse().multiply(
                                          fromPixels));
            return brush;
        }
    }
    return paint->colorSet ? GdiBrush::CreateSolid(ToArgb(paint->color, alpha)) : nullptr;
}

RectF SvgFigure::PaintBox() const {
    return SvgPathBounds::Of(path ? path->Get() : nullptr);
}

void SvgFigure::SetDashes(GdiPen& pen, const SvgDashArray& dash, float width, double percentBase) {
    if (!dash.dasharraySet || dash.dashCount <= 0 || !dash.dashes)
        return;
    int count = std::min(dash.dashCount, kMaxDashes);
    double lengths[kMaxDashes];
    double total = 0;
    for (int i = 0; i < count; ++i) {
        lengths[i] = dash.dashes[i];
        if (dash.percentMask & (uint64_t(1) << i))
            lengths[i] *= percentBase;
        if (!(lengths[i] >= 0))
            return; // a negative length: no dashing
        total += lengths[i];
    }
    if (!(total > 0))
        return;
    // The back end takes multiples of the width. An odd list is repeated to
    // an even one; a dash of length 0 still shows its caps, so it is kept as a
    // very short one (the back end refuses 0). Dashes too long to express
    // (on a line far thinner than them) are not drawn as dashes.
    REAL dashes[2 * kMaxDashes];
    int n = 0;
    for (int round = 0; round < (count % 2 ? 2 : 1); ++round) {
        for (int i = 0; i < count; ++i) {
            double multiple = std::max(lengths[i] / width, kShortestDash);
            if (!(multiple <= FLT_MAX))
                return;
            dashes[n++] = static_cast<REAL>(multiple);
        }
    }
    pen.Record(GdipSetPenDashArray(pen.Get(), dashes, n));
    // Within one period, so that it stays expressible too.
    double period = count % 2 ? 2 * total : total;
    double offset = dash.dashOffset;
    if (dash.offsetUnit == SvgDashArray::OffsetPercent)
        offset *= percentBase;
    offset = std::fmod(offset, period) / width;
    if (std::isfinite(offset) && std::fabs(offset) <= FLT_MAX)
        pen.Record(GdipSetPenDashOffset(pen.Get(), static_cast<REAL>(offset)));
}

float SvgFigure::ResolveStrokeWidth(SvgStyle& s) const {
    SvgLength& width = s.strokeWidth;
    float resolved = width.computed;
    if (width.unit == SvgUnitEm) {
        resolved = width.value * s.fontSize.computed;
    } else if (width.unit == SvgUnitPercent) {
        double computed = PercentBase() * width.value;
        resolved = static_cast<float>(std::clamp(computed, -double(FLT_MAX), double(FLT_MAX)));
    }
    // Written only when it changes: a resolved record is only read.
    if (!(width.computed == resolved))
        width.computed = resolved;
    return resolved;
}

double SvgFigure::PercentBase() const {
    SvgRect viewport = owner ? owner->GetViewportRect() : SvgRect();
    double w = viewport.getWidth();
    double h = viewport.getHeight();
    return std::sqrt(w * w + h * h) / std::sqrt(2.0);
}

void SvgFigure::AppendToBrush(GdiBrush& brush, const SvgMatrix& map) {
    GpBrushType type;
    GdiMatrix* matrix = GdiMatrix::Create();
    GdiMatrix* extra = GdiMatrix::Create();
    if (GdipGetBrushType(brush.Get(), &type) == Ok && matrix && extra &&
        map.toGdiMatrix(*extra) == Ok) {
        GpMatrix* m = matrix->Get();
        if (type == BrushTypeTextureFill) {
            brush.Record(GdipMultiplyTextureTransform(static_cast<GpTexture*>(brush.Get()),
                                                      extra->Get(), MatrixOrderAppend));
        } else if (type == BrushTypeLinearGradient) {
            auto* line = static_cast<GpLineGradient*>(brush.Get());
            if (GdipGetLineTransform(line, m) == Ok &&
                GdipMultiplyMatrix(m, extra->Get(), MatrixOrderAppend) == Ok)
                brush.Record(GdipSetLineTransform(line, m));
        } else if (type == BrushTypePathGradient) {
            auto* path = static_cast<GpPathGradient*>(brush.Get());
            if (GdipGetPathGradientTransform(path, m) == Ok &&
                GdipMultiplyMatrix(m, extra->Get(), MatrixOrderAppend) == Ok)
                brush.Record(GdipSetPathGradientTransform(path, m));
        }
    }
    delete matrix;
    delete extra;
}

unsigned SvgFigure::AlphaFromScale24(unsigned value) {
    double alpha = std::trunc(static_cast<double>(value) / 16711680.0 * 255.0);
    return static_cast<unsigned>(alpha) & 0xFFu;
}

LineCap SvgFigure::CapFromKeyword(unsigned keyword) {
    switch (keyword) {
    case 0: // butt
        return LineCapFlat;
    case 1: // round
        return LineCapRound;
    default: // square, and anything else
        return LineCapSquare;
    }
}

DashCap SvgFigure::DashCapFromKeyword(unsigned keyword) {
    switch (keyword) {
    case 0: // butt
        return DashCapFlat;
    case 1: // round
        return DashCapRound;
    default: // square, and anything else
        return KelDashCapSquare;
    }
}

LineJoin SvgFigure::JoinFromKeyword(unsigned keyword) {
    switch (keyword) {
    case 1: // round
        return LineJoinRound;
    case 2: // bevel
        return LineJoinBevel;
    default: // miter, and anything else
        return LineJoinMiter;
    }
}
