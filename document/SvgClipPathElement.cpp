#include "document/SvgClipPathElement.h"

#include "document/SvgLayerScope.h"
#include "document/SvgRenderContext.h"
#include "document/SvgRenderState.h"
#include "document/SvgUseElement.h"
#include "render/SvgFigure.h"
#include "style/SvgStyle.h"

#include <tinyxml.h>

#include <cstring>

using namespace Gdiplus;

namespace {

const unsigned kVisibilityVisible = 2;
const unsigned kClipRuleEvenodd = 2;

bool Visible(const SvgElement* e) {
    const SvgStyle* style = e->GetFigure() ? e->GetFigure()->PeekStyle() : nullptr;
    return !style || style->visibility.computed == kVisibilityVisible;
}

bool NamesClipPath(const SvgElement* e) {
    const SvgStyle* style = e->GetFigure() ? e->GetFigure()->PeekStyle() : nullptr;
    return style && !style->clipPath.value.empty();
}

// The element a part draws: the part itself, or a use's copy.
const SvgElement* Drawn(const SvgElement* part) {
    if (part->GetKind() != SvgKindUse)
        return part;
    return part->GetChildren().empty() ? nullptr : part->GetChildren().front();
}

SvgMatrix TransformOf(const SvgElement* e) {
    const auto* t = dynamic_cast<const SvgTransformableElement*>(e);
    return t ? t->GetTransform().getMatrix() : SvgMatrix();
}

} // namespace

SvgClipPathElement::SvgClipPathElement() : SvgFigureElement(SvgKindClipPath, "clipPath") {
    m_figure = SvgFigure::CreateStyleHolder();
    m_figure->SetOwner(this);
}

SvgClipPathElement::~SvgClipPathElement() {
    delete m_figure;
}

bool SvgClipPathElement::ReadAttributes(TiXmlElement* xml) {
    const char* units = xml->Attribute("clipPathUnits");
    m_boundingBox = units && std::strcmp(units, "objectBoundingBox") == 0;
    return true;
}

void SvgClipPathElement::CopyFrom(const SvgElement* source) {
    SvgFigureElement::CopyFrom(source);
    if (const auto* clip = dynamic_cast<const SvgClipPathElement*>(source))
        m_boundingBox = clip->m_boundingBox;
}

std::vector<const SvgElement*> SvgClipPathElement::Parts() const {
    std::vector<const SvgElement*> parts;
    for (const SvgElement* child : m_children) {
        const SvgElement* drawn = Drawn(child);
        if (!drawn || !child->IsDisplayed() || !drawn->IsDisplayed())
            continue;
        int kind = drawn->GetKind();
        bool shape = SvgIsShapeKind(kind);
        if ((shape && Visible(drawn)) || kind == SvgKindText)
            parts.push_back(child);
    }
    return parts;
}

bool SvgClipPathElement::IsSimple() const {
    if (NamesClipPath(this))
        return false;
    std::vector<const SvgElement*> parts = Parts();
    if (parts.empty())
        return true;
    if (parts.size() > 1)
        return false;
    const SvgElement* drawn = Drawn(parts.front());
    return SvgIsShapeKind(drawn->GetKind()) && !NamesClipPath(parts.front()) &&
           !NamesClipPath(drawn);
}

void SvgClipPathElement::IntersectClip(GdiGraphics& graphics, const RectF& box) const {
    std::vector<const SvgElement*> parts = Parts();
    GdiPath* outline = nullptr;
    if (parts.size() == 1) {
        const SvgElement* part = parts.front();
        const SvgElement* drawn = Drawn(part);
        // The shape's outline in the element's user space: its transform, a
        // use's transform and offset, then the clipPath's units and transform.
        SvgMatrix m = ContentMatrix(box);
        if (part != drawn) {
            const auto* use = static_cast<const SvgUseElement*>(part);
            m = m.multiply(TransformOf(use))
                    .multiply(SvgMatrix(1, 0, 0, 1, use->GetX(), use->GetY()));
        }
        m = m.multiply(TransformOf(drawn));
        SvgFigure* figure = drawn->GetFigure();
        outline = figure && figure->GetPath() ? figure->GetPath()->Clone() : nullptr;
        GdiMatrix* matrix = GdiMatrix::Create();
        bool placed = outline && matrix && m.toGdiMatrix(*matrix) == Ok &&
                      GdipTransformPath(outline->Get(), matrix->Get()) == Ok;
        delete matrix;
        if (placed) {
            const SvgStyle* style = figure->PeekStyle();
            bool evenodd = style && style->clipRule.computed == kClipRuleEvenodd;
            GdipSetPathFillMode(outline->Get(), evenodd ? FillModeAlternate : FillModeWinding);
        } else {
            delete outline;
            outline = nullptr;
        }
    }
    // No part, or one that cannot be placed: nothing shows.
    if (!outline)
        outline = GdiPath::Create();
    if (outline)
        graphics.Record(GdipSetClipPath(graphics.Get(), outline->Get(), CombineModeIntersect));
    delete outline;
}

void SvgClipPathElement::DrawCoverage(GdiGraphics& graphics, const RectF& box,
                                      SvgRenderContext& context) const {
    context.applying.push_back(this);
    ++context.coverage;
    GraphicsState state = SvgRenderState::Save(graphics);
    {
        // The clipPath's own clip-path, in the element's user space.
        SvgLayerScope own(*this, graphics, &box);
        if (own.Draws()) {
            GdiMatrix* matrix = GdiMatrix::Create();
            if (matrix && ContentMatrix(box).toGdiMatrix(*matrix) == Ok) {
                SvgRenderState::Prepend(graphics, matrix);
                for (const SvgElement* part : Parts())
                    const_cast<SvgElement*>(part)->Render(graphics);
            }
            delete matrix;
        }
    }
    SvgRenderState::Restore(graphics, state);
    --context.coverage;
    context.applying.pop_back();
}

SvgMatrix SvgClipPathElement::ContentMatrix(const RectF& box) const {
    SvgMatrix m = m_transform.getMatrix();
    if (m_boundingBox)
        m = m.multiply(SvgMatrix(box.Width, 0, 0, box.Height, box.X, box.Y));
    return m;
}
