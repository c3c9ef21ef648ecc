#include "render/SvgFigure.h"

#include "render/SvgGlyphSet.h"
#include "render/SvgPaintServer.h"
#include "render/SvgPathBounds.h"
#include "style/SvgColorReaders.h"
#include "style/SvgStyle.h"

#include "document/SvgElement.h"
#include "engine/SvgEngine.h"

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

Status SvgFigure::Paint(GdiGraphics& graphics) {
    Fill(graphics);
    return Stroke(graphics);
}

Status SvgFigure::Fill(GdiGraphics& graphics) {
    return FillPath(graphics, path);
}

Status SvgFigure::FillText(GdiGraphics& graphics, const SvgGlyphSet& glyphs) {
    if (!ReadyFill())
        return Ok;
    if (glyphs.FillAsText(graphics, fillBrush ? fillBrush->Get() : nullptr, fillColor, path))
        return Ok;
    return FillPath(graphics, path);
}

Status SvgFigure::FillPath(GdiGraphics& graphics, GdiPath* outline) {
    if (!ReadyFill())
        return Ok;
    GpPath* nativePath = outline ? outline->Get() : nullptr;
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
    // A pen that could not be made records the failure.
    return graphics.Record(GdipDrawPath(graphics.Get(), pen ? pen->Get() : nullptr,
                                        outline ? outline->Get() : nullptr));
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

    unsigned alpha = PaintAlpha(s.fillOpacity.value);
    if (!s.fill.uri.empty()) {
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
    if (strokeUnpaintable || (s.stroke.uri.empty() && !s.stroke.colorSet))
        return nullptr;
    // The width as computed, in user units; none at all draws no stroke.
    REAL width = ResolveStrokeWidth(s);
    if (!(width > 0))
        return nullptr;

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

    SetDashes(*pen, s.strokeDash, width);
    // Caps and join in force, whether the element or an ancestor gave them;
    // every dash takes the line's cap.
    unsigned cap = s.strokeLinecap.computed;
    pen->Record(GdipSetPenStartCap(pen->Get(), CapFromKeyword(cap)));
    pen->Record(GdipSetPenEndCap(pen->Get(), CapFromKeyword(cap)));
    pen->Record(GdipSetPenDashCap197819(pen->Get(), DashCapFromKeyword(cap)));
    pen->Record(GdipSetPenLineJoin(pen->Get(), JoinFromKeyword(s.strokeLinejoin.computed)));
    pen->Record(GdipSetPenMiterLimit(pen->Get(), s.strokeMiterlimit.value));

    strokePen = pen;
    return strokePen;
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
    if (!owner || !SvgIsShapeKind(owner->GetKind()) || !owner->GetChildren().empty() || !style)
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

GdiBrush* SvgFigure::CreateReferencedBrush(const std::string& id, unsigned alpha) {
    SvgEngine* engine = owner ? owner->GetOwner() : nullptr;
    if (!engine)
        return nullptr;
    SvgElement* target = engine->FindElementById(id.c_str());
    if (!target)
        return nullptr;
    int kind = target->GetKind();
    if (kind != SvgKindLinearGradient && kind != SvgKindRadialGradient)
        return nullptr;
    const SvgPaintServer* server = dynamic_cast<const SvgPaintServer*>(target);
    if (!server)
        return nullptr;
    // Gradients in box units are mapped onto the outline's bounds.
    return server->CreateBrush(SvgPathBounds::Of(path ? path->Get() : nullptr), alpha);
}

void SvgFigure::SetDashes(GdiPen& pen, const SvgDashArray& dash, float width) {
    if (!dash.dasharraySet || dash.dashCount <= 0 || !dash.dashes)
        return;
    int count = std::min(dash.dashCount, kMaxDashes);
    double total = 0;
    for (int i = 0; i < count; ++i) {
        if (!(dash.dashes[i] >= 0))
            return; // a negative length: no dashing
        total += dash.dashes[i];
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
            double multiple = std::max(dash.dashes[i] / width, kShortestDash);
            if (!(multiple <= FLT_MAX))
                return;
            dashes[n++] = static_cast<REAL>(multiple);
        }
    }
    pen.Record(GdipSetPenDashArray(pen.Get(), dashes, n));
    // Within one period, so that it stays expressible too.
    double period = count % 2 ? 2 * total : total;
    double offset = std::fmod(dash.dashOffset, period) / width;
    if (std::isfinite(offset) && std::fabs(offset) <= FLT_MAX)
        pen.Record(GdipSetPenDashOffset(pen.Get(), static_cast<REAL>(offset)));
}

float SvgFigure::ResolveStrokeWidth(SvgStyle& s) const {
    SvgLength& width = s.strokeWidth;
    float resolved = width.computed;
    if (width.unit == SvgUnitEm) {
        resolved = width.value * s.fontSize.computed;
    } else if (width.unit == SvgUnitPercent) {
        SvgRect viewport = owner ? owner->GetViewportRect() : SvgRect();
        double w = viewport.getWidth();
        double h = viewport.getHeight();
        double computed = std::sqrt(w * w + h * h) * width.value / std::sqrt(2.0);
        resolved = static_cast<float>(std::clamp(computed, -double(FLT_MAX), double(FLT_MAX)));
    }
    // Written only when it changes: a resolved record is only read.
    if (!(width.computed == resolved))
        width.computed = resolved;
    return resolved;
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
