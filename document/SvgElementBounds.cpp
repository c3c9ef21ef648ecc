#include "document/SvgElementBounds.h"

#include "document/SvgRootElement.h"
#include "document/SvgSymbolElement.h"
#include "document/SvgUseElement.h"
#include "engine/GdiMatrix.h"
#include "render/SvgFigure.h"
#include "render/SvgFontRun.h"
#include "render/SvgPathBounds.h"
#include "style/SvgStyle.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

using namespace Gdiplus;

namespace {

// stroke-linejoin round and bevel, stroke-linecap butt and round: every other
// value draws as miter and square.
const unsigned kJoinRound = 1, kJoinBevel = 2;
const unsigned kCapButt = 0, kCapRound = 1;

struct Box {
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;

    bool Empty() const { return !(right >= left && bottom >= top); }
    void Add(const Box& b) {
        if (b.Empty())
            return;
        left = std::min(left, b.left);
        top = std::min(top, b.top);
        right = std::max(right, b.right);
        bottom = std::max(bottom, b.bottom);
    }
    void Grow(double by) {
        left -= by;
        top -= by;
        right += by;
        bottom += by;
    }
    void Add(double x, double y) {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
    void Add(const RectF& r) {
        left = std::min(left, double(r.X));
        top = std::min(top, double(r.Y));
        right = std::max(right, double(r.X) + r.Width);
        bottom = std::max(bottom, double(r.Y) + r.Height);
    }
};

bool IsIdentity(const SvgMatrix& m) {
    return m.getA() == 1 && m.getB() == 0 && m.getC() == 0 && m.getD() == 1 && m.getE() == 0 &&
           m.getF() == 0;
}

// Adds the box of path under m: exact, or (loose) the box of its own box's
// corners, which is cheaper and holds it.
void AddPath(const GdiPath* path, const SvgMatrix& m, bool loose, Box& box) {
    INT count = 0;
    if (!path || GdipGetPointCount(path->Get(), &count) != Ok || count <= 0)
        return;
    if (IsIdentity(m) || loose) {
        RectF r = SvgPathBounds::Of(path->Get());
        if (IsIdentity(m)) {
            box.Add(r);
            return;
        }
        for (int i = 0; i < 4; ++i) {
            double x, y;
            m.transformPoint(r.X + (i & 1 ? double(r.Width) : 0.0),
                             r.Y + (i & 2 ? double(r.Height) : 0.0), &x, &y);
            box.Add(x, y);
        }
        return;
    }
    GdiPath* placed = path->Clone();
    GdiMatrix* matrix = GdiMatrix::Create();
    if (placed && matrix && m.toGdiMatrix(*matrix) == Ok &&
        GdipTransformPath(placed->Get(), matrix->Get()) == Ok)
        box.Add(SvgPathBounds::Of(placed->Get()));
    delete matrix;
    delete placed;
}

// The map of an element's content into its user space: an svg's or a
// symbol's viewport; false when the content is not drawn.
bool ContentMatrix(const SvgElement& e, SvgMatrix& m) {
    if (e.GetKind() == SvgKindSvg) {
        const auto& svg = static_cast<const SvgRootElement&>(e);
        float v[6];
        svg.GetViewportElements(v);
        m = SvgMatrix(v[0], v[1], v[2], v[3], v[4], v[5]);
        return svg.IsDrawable();
    }
    if (e.GetKind() == SvgKindSymbol) {
        const auto& symbol = static_cast<const SvgSymbolElement&>(e);
        return symbol.IsInstantiated() && symbol.GetContentMatrix(m);
    }
    m = SvgMatrix();
    return true;
}

// Whether a child is drawn where it stands, and the map that places it in its
// parent's content (its transform, and a use's offset).
bool Placement(const SvgElement& child, SvgMatrix& m) {
    int kind = child.GetKind();
    if (!child.IsDisplayed() || !(kind < kSvgKindTransformLimit || kind == SvgKindSvg ||
                                  kind == SvgKindSymbol || kind == SvgKindDesc))
        return false;
    m = SvgMatrix();
    if (kind >= kSvgKindTransformLimit)
        return true;
    if (const auto* t = dynamic_cast<const SvgTransformableElement*>(&child))
        m = t->GetTransform().getMatrix();
    if (kind == SvgKindUse) {
        const auto& use = static_cast<const SvgUseElement&>(child);
        m = m.multiply(SvgMatrix(1, 0, 0, 1, use.GetX(), use.GetY()));
    }
    return true;
}

// How far a stroke reaches beyond the outline, in the figure's user space:
// half its width, times the miter limit for miter joins and √2 for square
// caps; -1 when the width is yet to be resolved.
double StrokeReach(const SvgStyle* style) {
    if (!style || (style->stroke.uri.empty() && !style->stroke.colorSet))
        return 0;
    const SvgLength& width = style->strokeWidth;
    if (width.unit == SvgUnitPercent)
        return -1;
    if (!(width.computed > 0))
        return 0;
    double factor = 1;
    unsigned join = style->strokeLinejoin.computed, cap = style->strokeLinecap.computed;
    if (join != kJoinRound && join != kJoinBevel)
        factor = std::max(factor, double(style->strokeMiterlimit.value));
    if (cap != kCapButt && cap != kCapRound)
        factor = std::max(factor, std::sqrt(2.0));
    return width.computed / 2.0 * factor;
}

// Adds e's outlines to box under m; with ink, their strokes too. False when
// the ink of something drawn cannot be told.
bool Accumulate(const SvgElement& e, const SvgMatrix& m, bool ink, Box& box) {
    int kind = e.GetKind();
    if (ink && (!(SvgIsShapeKind(kind) || kind == SvgKindText || kind == SvgKindTspan ||
                  kind == SvgKindPositionGlyph || kind == SvgKindGroup || kind == SvgKindUse ||
                  kind == SvgKindSvg || kind == SvgKindSymbol || kind == SvgKindDesc) ||
                e.PaintsMarkers()))
        return false;
    // What a filter draws reaches beyond the outlines, as far as its region.
    const SvgStyle* filtered = e.GetFigure() ? e.GetFigure()->PeekStyle() : nullptr;
    if (ink && filtered && !filtered->filter.value.empty())
        return false;
    if (const SvgFigure* figure = e.GetFigure()) {
        // Colour glyph pictures lie beyond the outline.
        if (ink && SvgFontRun::DrawsPictures(figure))
            return false;
        Box own;
        AddPath(figure->GetPath(), m, ink, own);
        if (ink && !own.Empty()) {
            double reach = StrokeReach(figure->PeekStyle());
            if (reach < 0)
                return false;
            // The reach under m: at most its size times m's largest stretch,
            // which the square root of the sum of the squares bounds.
            double scale = std::sqrt(m.getA() * m.getA() + m.getB() * m.getB() +
                                     m.getC() * m.getC() + m.getD() * m.getD());
            own.Grow(reach * scale);
        }
        box.Add(own);
    }
    SvgMatrix content;
    if (!ContentMatrix(e, content))
        return true;
    SvgMatrix inner = m.multiply(content);
    std::pair<size_t, size_t> drawn = e.DrawnChildren();
    for (size_t i = drawn.first; i < drawn.second; ++i) {
        const SvgElement& child = *e.GetChildren()[i];
        SvgMatrix placement;
        if (Placement(child, placement) && !Accumulate(child, inner.multiply(placement), ink, box))
            return false;
    }
    return true;
}

bool Measure(const SvgElement& element, bool ink, RectF& box) {
    Box b;
    bool known = Accumulate(element, SvgMatrix(), ink, b);
    box = RectF();
    if (!known)
        return false;
    if (b.Empty())
        return !ink ? false : true;
    if (!std::isfinite(b.right - b.left) || !std::isfinite(b.bottom - b.top))
        return false;
    auto narrow = [](double v) { return REAL(std::clamp(v, -double(FLT_MAX), double(FLT_MAX))); };
    box = RectF(narrow(b.left), narrow(b.top), narrow(b.right - b.left), narrow(b.bottom - b.top));
    return true;
}

} // namespace

bool SvgElementBounds::Of(const SvgElement& element, RectF& box) {
    return Measure(element, false, box);
}

bool SvgElementBounds::Ink(const SvgElement& element, RectF& box) {
    return Measure(element, true, box);
}
