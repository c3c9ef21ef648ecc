#include "render/SvgFigure.h"

#include "render/SvgPaintServer.h"
#include "style/SvgColorReaders.h"
#include "style/SvgStyle.h"

#include "document/SvgElement.h"
#include "engine/SvgEngine.h"

#include <algorithm>
#include <cmath>

using namespace Gdiplus;

namespace {

// fill-rule keyword numbers.
const unsigned kFillRuleNonzero = 0;
const unsigned kFillRuleEvenodd = 2;

// Most dash entries handed to the back end.
const int kMaxDashes = 64;

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
    GpPath* nativePath = path ? path->Get() : nullptr;
    if (fillBrush)
        return graphics.Record(GdipFillPath(graphics.Get(), fillBrush->Get(), nativePath));

    SvgStyle& s = *GetStyle();
    if (s.fill.noneSet || fillUnpaintable)
        return Ok;
    unsigned alpha = AlphaFromScale24(s.fillOpacity.value);
    ARGB color = ToArgb(s.fill.color, alpha);

    // Only a rule the element gives itself counts; an inherited one does not.
    if (path) {
        if (s.fillRule.value == kFillRuleEvenodd)
            path->Record(GdipSetPathFillMode(nativePath, FillModeAlternate));
        else if (s.fillRule.value == kFillRuleNonzero)
            path->Record(GdipSetPathFillMode(nativePath, FillModeWinding));
    }

    if (!s.fill.uri.empty()) {
        fillBrush = CreateReferencedBrush(s, alpha);
        // No paint server behind the reference: the fallback colour, if one was
        // given. A loaded tree never changes, so the answer is kept.
        if (!fillBrush && !s.fill.colorSet) {
            fillUnpaintable = true;
            return Ok;
        }
    }
    if (!fillBrush) {
        GdiBrush* solid = GdiBrush::CreateSolid(color);
        if (solid) {
            fillBrush = solid->Clone();
            delete solid;
        }
        if (!fillBrush)
            return Ok;
    }
    return graphics.Record(GdipFillPath(graphics.Get(), fillBrush->Get(), nativePath));
}

Status SvgFigure::Stroke(GdiGraphics& graphics) {
    GpPath* nativePath = path ? path->Get() : nullptr;
    if (strokePen)
        return graphics.Record(GdipDrawPath(graphics.Get(), strokePen->Get(), nativePath));

    SvgStyle& s = *GetStyle();
    // Strokes never use a paint server: no colour, no outline.
    if (!s.stroke.colorSet)
        return Ok;
    ARGB color = ToArgb(s.stroke.color, AlphaFromScale24(s.strokeOpacity.value));
    REAL width = PenWidth(ResolveStrokeWidth(s));

    GdiPen* pen = GdiPen::Create(color, width, UnitWorld);
    if (!pen)
        return graphics.Record(GdipDrawPath(graphics.Get(), nullptr, nativePath));

    const SvgDashArray& dash = s.strokeDash;
    if (dash.dasharraySet && dash.dashCount > 0 && dash.dashes) {
        REAL dashes[kMaxDashes];
        int count = std::min(dash.dashCount, kMaxDashes);
        for (int i = 0; i < count; ++i)
            dashes[i] = static_cast<REAL>(dash.dashes[i]);
        pen->Record(GdipSetPenDashArray(pen->Get(), dashes, count));
    }
    // Caps and join only where the element itself gives them.
    LineCap cap = CapFromKeyword(s.strokeLinecap.value);
    pen->Record(GdipSetPenStartCap(pen->Get(), cap));
    pen->Record(GdipSetPenEndCap(pen->Get(), cap));
    pen->Record(GdipSetPenLineJoin(pen->Get(), JoinFromKeyword(s.strokeLinejoin.value)));

    strokePen = pen->Clone();
    delete pen;
    return graphics.Record(
        GdipDrawPath(graphics.Get(), strokePen ? strokePen->Get() : nullptr, nativePath));
}

GdiBrush* SvgFigure::CreateReferencedBrush(const SvgStyle& s, unsigned alpha) {
    SvgEngine* engine = owner ? owner->GetOwner() : nullptr;
    if (!engine)
        return nullptr;
    std::string id = s.fill.uri;
    SvgElement* target = engine->FindElementById(id.c_str());
    if (!target)
        return nullptr;
    int kind = target->GetKind();
    if (kind != SvgKindLinearGradient && kind != SvgKindRadialGradient)
        return nullptr;
    const SvgPaintServer* server = dynamic_cast<const SvgPaintServer*>(target);
    if (!server)
        return nullptr;
    // The object's bounding box is not computed: gradients in object units
    // cannot be mapped onto the shape.
    return server->CreateBrush(GpRect(0, 0, 0, 0), alpha);
}

float SvgFigure::ResolveStrokeWidth(SvgStyle& s) const {
    SvgLength& width = s.strokeWidth;
    if (width.unit == SvgUnitEm) {
        width.computed = width.value * s.fontSize.computed;
    } else if (width.unit == SvgUnitPercent) {
        SvgRect viewport = owner ? owner->GetViewportRect() : SvgRect();
        double w = viewport.getWidth();
        double h = viewport.getHeight();
        width.computed =
            static_cast<float>(std::sqrt(w * w + h * h) * width.value / std::sqrt(2.0));
    }
    return width.computed;
}

unsigned SvgFigure::AlphaFromScale24(unsigned value) {
    double alpha = std::trunc(static_cast<double>(value) / 16711680.0 * 255.0);
    return static_cast<unsigned>(alpha) & 0xFFu;
}

float SvgFigure::PenWidth(float computedWidth) {
    return std::trunc(computedWidth);
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
