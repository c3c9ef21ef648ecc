#include "document/SvgElementBounds.h"

#include "document/SvgRootElement.h"
#include "document/SvgSymbolElement.h"
#include "document/SvgUseElement.h"
#include "engine/GdiMatrix.h"
#include "render/SvgFigure.h"
#include "render/SvgPathBounds.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

using namespace Gdiplus;

namespace {

struct Box {
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;

    bool Empty() const { return !(right >= left && bottom >= top); }
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

// Adds the box of path under m.
void AddPath(const GdiPath* path, const SvgMatrix& m, Box& box) {
    INT count = 0;
    if (!path || GdipGetPointCount(path->Get(), &count) != Ok || count <= 0)
        return;
    if (IsIdentity(m)) {
        box.Add(SvgPathBounds::Of(path->Get()));
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

void Accumulate(const SvgElement& e, const SvgMatrix& m, Box& box) {
    if (const SvgFigure* figure = e.GetFigure())
        AddPath(figure->GetPath(), m, box);
    SvgMatrix content;
    if (!ContentMatrix(e, content))
        return;
    SvgMatrix inner = m.multiply(content);
    for (const SvgElement* child : e.GetChildren()) {
        SvgMatrix placement;
        if (Placement(*child, placement))
            Accumulate(*child, inner.multiply(placement), box);
    }
}

} // namespace

bool SvgElementBounds::Of(const SvgElement& element, RectF& box) {
    Box b;
    Accumulate(element, SvgMatrix(), b);
    if (b.Empty() || !std::isfinite(b.right - b.left) || !std::isfinite(b.bottom - b.top)) {
        box = RectF();
        return false;
    }
    auto narrow = [](double v) { return REAL(std::clamp(v, -double(FLT_MAX), double(FLT_MAX))); };
    box = RectF(narrow(b.left), narrow(b.top), narrow(b.right - b.left), narrow(b.bottom - b.top));
    return true;
}
