#include "document/SvgLayerScope.h"

#include "document/SvgClipPathElement.h"
#include "document/SvgElementBounds.h"
#include "document/SvgFilterEffect.h"
#include "document/SvgMaskElement.h"
#include "document/SvgRenderContext.h"
#include "engine/SvgEngine.h"
#include "render/SvgFigure.h"
#include "style/SvgStyle.h"

using namespace Gdiplus;

namespace {

// The element a clip-path or mask names, when it is of the kind wanted and not
// one being applied already (a reference back is ignored, as is one nested
// too deep); null otherwise, and the property is then as if not given.
const SvgElement* Resolve(SvgEngine& engine, const SvgRenderContext& context, const std::string& id,
                          int kind) {
    if (id.empty() || context.applying.size() >= SvgRenderContext::kMaxNesting)
        return nullptr;
    const SvgElement* target = engine.FindElementById(id.c_str());
    if (!target || target->GetKind() != kind || context.Applying(target))
        return nullptr;
    return target;
}

KelBlendMode BackendBlend(SvgBlendMode mode) {
    static_assert(int(SvgBlendMode::Luminosity) == KelBlendLuminosity, "the same order");
    return KelBlendMode(mode);
}

bool HasArea(const RectF& r) {
    return r.Width > 0 && r.Height > 0;
}

} // namespace

SvgLayerScope::SvgLayerScope(const SvgElement& element, GdiGraphics& graphics, const RectF* box)
    : m_graphics(graphics) {
    Begin(element, box);
}

void SvgLayerScope::Begin(const SvgElement& element, const RectF* box) {
    // A glyph paints with its text's style, which applies to the text.
    if (element.GetKind() == SvgKindPositionGlyph)
        return;
    SvgFigure* figure = element.GetFigure();
    const SvgStyle* style = figure ? figure->PeekStyle() : nullptr;
    if (!style)
        return;
    SvgEngine* engine = element.GetOwner();
    m_context = engine ? &engine->GetRenderContext() : nullptr;
    bool coverage = m_context && m_context->coverage > 0;
    double opacity = 1;
    if (!box && !coverage) {
        opacity = style->opacity.value / double(SvgScale24::One);
        if (!(opacity > 0)) {
            m_draws = false;
            return;
        }
    }
    if (m_context) {
        m_clip = static_cast<const SvgClipPathElement*>(
            Resolve(*engine, *m_context, style->clipPath.value, SvgKindClipPath));
        if (!coverage)
            m_mask = static_cast<const SvgMaskElement*>(
                Resolve(*engine, *m_context, style->mask.value, SvgKindMask));
    }

    if (box)
        m_box = *box;
    else if ((m_clip && m_clip->InBoundingBox()) ||
             (m_mask && (m_mask->RegionInBoundingBox() || m_mask->ContentInBoundingBox())))
        SvgElementBounds::Of(element, m_box);
    // On a box without area, units of the box cannot be used: a clip path or
    // mask content in them is ignored, a mask region in them shows nothing.
    if (!HasArea(m_box)) {
        if (m_clip && m_clip->InBoundingBox())
            m_clip = nullptr;
        if (m_mask && m_mask->ContentInBoundingBox())
            m_mask = nullptr;
    }
    if (m_mask) {
        RectF region = m_mask->Region(m_box, element);
        if (!HasArea(region)) {
            m_draws = false;
            return;
        }
        // Nothing shows outside the region: the layer need not be larger.
        m_graphics.Record(GdipSetClipRect(m_graphics.Get(), region.X, region.Y, region.Width,
                                          region.Height, CombineModeIntersect));
    }
    if (m_clip && m_clip->IsSimple()) {
        if (m_clip->Parts().empty()) {
            m_draws = false;
            return;
        }
        m_clip->IntersectClip(m_graphics, m_box);
        m_clip = nullptr;
    }

    // Filters, which clip paths and masks ignore.
    if (!box && !coverage && !style->filter.value.empty()) {
        m_filter = std::make_unique<SvgFilterEffect>();
        SvgFilterEffect::Outcome outcome = m_filter->Prepare(element, m_graphics);
        if (outcome != SvgFilterEffect::Applied)
            m_filter.reset();
        if (outcome == SvgFilterEffect::Hidden) {
            m_draws = false;
            return;
        }
    }

    bool layerOpacity = opacity < 1 && (m_filter || !figure->AbsorbsOpacity());
    // A blend mode mixes the element, drawn whole, with what lies below it in
    // the nearest layer; isolation gives a group a layer of its own, which
    // its children's blend modes do not reach through.
    SvgBlendMode blend = SvgBlendMode::Normal;
    bool isolate = false;
    if (!box && !coverage) {
        blend = style->GetBlendMode();
        isolate = style->Isolates();
    }
    if (layerOpacity || m_clip || m_mask || blend != SvgBlendMode::Normal || isolate) {
        // The layer need hold no more than the element (or its filters) draw.
        RectF ink;
        bool bounded = m_filter ? m_filter->Bounds(ink) : SvgElementBounds::Ink(element, ink);
        GpGraphics* g = m_graphics.Get();
        m_graphics.Record(
            KelBeginLayer(g, REAL(layerOpacity ? opacity : 1), bounded ? &ink : nullptr));
        if (blend != SvgBlendMode::Normal)
            m_graphics.Record(KelSetLayerBlendMode(g, BackendBlend(blend)));
        m_layer = true;
    }
    if (m_filter)
        m_filter->Begin(m_graphics);
}

SvgLayerScope::~SvgLayerScope() {
    if (m_filter)
        m_filter->End(m_graphics);
    if (!m_layer)
        return;
    GpGraphics* g = m_graphics.Get();
    if (m_clip) {
        m_graphics.Record(KelBeginLayerMask(g));
        m_clip->DrawCoverage(m_graphics, m_box, *m_context);
        m_graphics.Record(KelEndLayerMask(g, KelMaskAlpha));
    }
    if (m_mask) {
        m_graphics.Record(KelBeginLayerMask(g));
        m_mask->DrawContent(m_graphics, m_box, *m_context);
        m_graphics.Record(KelEndLayerMask(g, m_mask->Alpha() ? KelMaskAlpha : KelMaskLuminance));
    }
    m_graphics.Record(KelEndLayer(g));
}
