#include "document/SvgFilterEffect.h"

#include "document/SvgElement.h"
#include "document/SvgElementBounds.h"
#include "document/SvgFilterElement.h"
#include "document/SvgRenderContext.h"
#include "document/SvgRenderState.h"
#include "document/SvgViewport.h"
#include "engine/GdiImage.h"
#include "engine/SvgEngine.h"
#include "filter/FilterPool.h"
#include "filter/FilterRunner.h"
#include "render/SvgFigure.h"
#include "style/SvgStyle.h"

#include <cfloat>
#include <cmath>
#include <cstring>

using namespace Gdiplus;

namespace {

FilterColor ColorOf(const SvgPaint& paint, unsigned opacity) {
    if (!paint.colorSet || paint.noneSet)
        return FilterColor();
    return FilterColor{paint.color.r, paint.color.g, paint.color.b,
                       float(opacity) / float(SvgScale24::One)};
}

// The pixels a user-space rectangle touches on the target, unclipped.
FilterRect PixelBox(const SvgFilterMatrix& toPixels, const RectF& r) {
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (int i = 0; i < 4; ++i) {
        double x = r.X + (i & 1 ? double(r.Width) : 0.0);
        double y = r.Y + (i & 2 ? double(r.Height) : 0.0);
        toPixels.Apply(x, y);
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    }
    if (!(x1 >= x0 && y1 >= y0))
        return FilterRect();
    auto clamp = [](double v) { return int(std::max(-1e9, std::min(1e9, v))); };
    return {clamp(std::floor(x0 + 1e-3)), clamp(std::floor(y0 + 1e-3)), clamp(std::ceil(x1 - 1e-3)),
            clamp(std::ceil(y1 - 1e-3))};
}

FilterRect Grow(const FilterRect& r, long dx, long dy) {
    auto clamp = [](long v) { return int(std::max(-(1L << 30), std::min(1L << 30, v))); };
    return {clamp(r.x0 - dx), clamp(r.y0 - dy), clamp(r.x1 + dx), clamp(r.y1 + dy)};
}

// Hands a layer's pixels to the filter run of a stage.
struct RunClosure {
    const FilterDescription* description;
    int threads;
    FilterPool* pool;
};

void RunFilter(void* closure, uint32_t* pixels, INT width, INT height) {
    auto* run = static_cast<RunClosure*>(closure);
    FilterImage image;
    image.Borrow(pixels, width, height);
    FilterLimits limits;
    limits.threads = run->threads;
    limits.pool = run->pool;
    FilterRun(*run->description, image, limits); // untouched when refused
}

// Keeps a layer's pixels as a picture and leaves nothing to composite.
void Capture(void* closure, uint32_t* pixels, INT width, INT height) {
    auto* image = static_cast<FilterImage*>(closure);
    if (image->Allocate(width, height, false))
        std::memcpy(image->Data(), pixels, sizeof(uint32_t) * image->PixelCount());
    std::memset(pixels, 0, sizeof(uint32_t) * size_t(width) * size_t(height));
}

// Draws a picture into area after its preserveAspectRatio.
void DrawPicture(GdiGraphics& graphics, const GdiImage& image, const RectF& area,
                 const std::string& ratio) {
    UINT iw = 0, ih = 0;
    if (GdipGetImageWidth(image.handle, &iw) != Ok || GdipGetImageHeight(image.handle, &ih) != Ok ||
        iw == 0 || ih == 0 || !(area.Width > 0 && area.Height > 0))
        return;
    std::string keyword = SvgIsValidAspectRatio(ratio) ? ratio : "xMidYMid meet";
    SvgViewportMapping map = SvgMapViewport(float(area.Width / iw), float(area.Height / ih),
                                            area.Width, area.Height, iw, ih, keyword);
    double left = area.X + map.translateX, top = area.Y + map.translateY;
    double right = left + iw * map.scaleX, bottom = top + ih * map.scaleY;
    // A sliced picture is cut to the area.
    double cl = std::max(left, double(area.X)), ct = std::max(top, double(area.Y));
    double cr = std::min(right, double(area.X) + area.Width);
    double cb = std::min(bottom, double(area.Y) + area.Height);
    if (!(cr > cl && cb > ct) || !(map.scaleX > 0 && map.scaleY > 0))
        return;
    graphics.Record(GdipDrawImageRectRect(
        graphics.handle, image.handle, REAL(cl), REAL(ct), REAL(cr - cl), REAL(cb - ct),
        REAL((cl - left) / map.scaleX), REAL((ct - top) / map.scaleY), REAL((cr - cl) / map.scaleX),
        REAL((cb - ct) / map.scaleY), UnitPixel, nullptr, nullptr, nullptr));
}

} // namespace

SvgFilterEffect::Outcome SvgFilterEffect::Prepare(const SvgElement& element,
                                                  GdiGraphics& graphics) {
    m_stages.clear();
    const SvgFigure* figure = element.GetFigure();
    const SvgStyle* style = figure ? figure->PeekStyle() : nullptr;
    SvgEngine* engine = element.GetOwner();
    if (!style || style->filter.value.empty() || !engine)
        return None;
    m_context = &engine->GetRenderContext();
    m_threads = engine->GetThreads();
    std::vector<SvgFilterFunction> list;
    if (!ParseFilterFunctions(style->filter.value.c_str(), list) || list.empty())
        return None;

    // A reference to no filter, or to one being applied (through an
    // feImage), leaves the whole list out.
    std::vector<const SvgFilterElement*> filters(list.size(), nullptr);
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].type != SvgFilterFunction::Url)
            continue;
        filters[i] = SvgFilterBuilder::Find(*engine, list[i].id);
        if (!filters[i] || m_context->Applying(filters[i]) ||
            m_context->applying.size() >= SvgRenderContext::kMaxNesting)
            return None;
    }

    SvgFilterTarget target;
    target.element = &element;
    target.hasBox =
        SvgElementBounds::Of(element, target.box) && target.box.Width > 0 && target.box.Height > 0;
    target.hasInk = SvgElementBounds::Ink(element, target.ink);
    SvgRect viewport = element.GetViewportRect();
    target.viewportWidth = viewport.getWidth();
    target.viewportHeight = viewport.getHeight();
    target.fill = ColorOf(style->fill, style->fillOpacity.value);
    target.stroke = ColorOf(style->stroke, style->strokeOpacity.value);
    target.color = style->color.colorSet ? FilterColor{style->color.color.r, style->color.color.g,
                                                       style->color.color.b, 1}
                                         : FilterColor{0, 0, 0, 1};
    GpMatrix* matrix = nullptr;
    Rect visible;
    REAL e[6] = {1, 0, 0, 1, 0, 0};
    if (GdipCreateMatrix(&matrix) == Ok) {
        KelGetPixelSpace(graphics.handle, matrix, &visible);
        GdipGetMatrixElements(matrix, e);
        GdipDeleteMatrix(matrix);
    }
    for (int i = 0; i < 6; ++i)
        target.toPixels.m[i] = e[i];

    // The regions, each filter's content being the previous one's result.
    RectF source = target.hasInk && target.ink.Width > 0 ? target.ink
                   : target.hasBox                       ? target.box
                                   : RectF(-FLT_MAX / 4, -FLT_MAX / 4, FLT_MAX / 2, FLT_MAX / 2);
    m_stages.resize(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        Stage& s = m_stages[i];
        s.filter = filters[i];
        if (filters[i]) {
            if (!SvgFilterBuilder::Region(*filters[i], target, s.region))
                return Hidden;
        } else {
            SvgFilterBuilder::Region(list[i], target, source, s.region);
        }
        source = s.region;
    }

    // How far each filter, and those after it, take content from: its layer
    // covers that much around the visible pixels, within its region.
    const FilterRect shown{visible.X, visible.Y, visible.X + visible.Width,
                           visible.Y + visible.Height};
    long marginX = 0, marginY = 0;
    double pixels = 0;
    for (size_t i = list.size(); i-- > 0;) {
        Stage& s = m_stages[i];
        FilterRect region = PixelBox(target.toPixels, s.region);
        if (filters[i])
            SvgFilterBuilder::Build(*filters[i], target, s.region, region, s.description,
                                    s.pictures);
        else
            SvgFilterBuilder::Build(list[i], target, region, s.description);
        long rx = 0, ry = 0;
        FilterReach(s.description, int(s.description.primitives.size()) - 1, rx, ry);
        auto add = [](long a, long b) { return a < 0 || b < 0 ? -1 : std::min(a + b, 1L << 30); };
        marginX = add(marginX, rx);
        marginY = add(marginY, ry);
        long mx = marginX < 0 ? kMaxMargin : std::min<long>(marginX, kMaxMargin);
        long my = marginY < 0 ? kMaxMargin : std::min<long>(marginY, kMaxMargin);
        s.box = region.Intersect(Grow(shown, mx, my));
        if (s.box.Empty())
            return Hidden;
        pixels +=
            double(s.box.Width()) * s.box.Height() * double(s.description.primitives.size() + 3);
    }
    // Past the draw's budget the filters are left out.
    if (m_context->filterPixels + pixels > kDrawBudget)
        return None;
    m_context->filterPixels += pixels;
    for (size_t i = 0; i < list.size(); ++i) {
        Stage& s = m_stages[i];
        s.pictures.clear();
        if (filters[i])
            SvgFilterBuilder::Build(*filters[i], target, s.region, s.box, s.description,
                                    s.pictures);
        else
            SvgFilterBuilder::Build(list[i], target, s.box, s.description);
    }
    return Applied;
}

bool SvgFilterEffect::Bounds(RectF& bounds) const {
    if (m_stages.empty())
        return false;
    bounds = m_stages.back().region;
    return true;
}

void SvgFilterEffect::Begin(GdiGraphics& graphics) {
    // Boxes are on the pixels of the target the element draws on; inside a
    // filter layer, pixels count from its box's corner.
    int ox = 0, oy = 0;
    for (size_t i = m_stages.size(); i-- > 0;) {
        Stage& s = m_stages[i];
        DrawPictures(graphics, s, ox, oy);
        Rect box(s.box.x0 - ox, s.box.y0 - oy, s.box.Width(), s.box.Height());
        if (graphics.Record(KelBeginFilterLayer(graphics.handle, &box)) == Ok) {
            ox = s.box.x0;
            oy = s.box.y0;
        }
    }
}

void SvgFilterEffect::End(GdiGraphics& graphics) {
    if (!m_context->filterPool)
        m_context->filterPool = std::make_shared<FilterPool>();
    for (Stage& s : m_stages) {
        RunClosure closure{&s.description, m_threads, m_context->filterPool.get()};
        graphics.Record(KelEndFilterLayer(graphics.handle, RunFilter, &closure));
    }
}

void SvgFilterEffect::DrawPictures(GdiGraphics& graphics, Stage& stage, int ox, int oy) {
    for (const SvgFilterPicture& picture : stage.pictures) {
        auto* input = std::get_if<FilterImageInput>(
            &stage.description.primitives[picture.primitive].parameters);
        if (!input)
            continue;
        Rect box(stage.box.x0 - ox, stage.box.y0 - oy, stage.box.Width(), stage.box.Height());
        if (KelBeginFilterLayer(graphics.handle, &box) != Ok) {
            KelEndFilterLayer(graphics.handle, nullptr, nullptr);
            continue; // no layer to draw it apart in
        }
        GraphicsState state = SvgRenderState::Save(graphics);
        if (picture.element) {
            // In the filtered element's user space, as a use would draw it;
            // filters applied meanwhile are not applied again inside it.
            m_context->applying.push_back(stage.filter);
            const_cast<SvgElement*>(picture.element)->Render(graphics);
            m_context->applying.pop_back();
        } else if (picture.image) {
            DrawPicture(graphics, *picture.image, picture.area, picture.preserveAspectRatio);
        }
        SvgRenderState::Restore(graphics, state);
        auto image = std::make_shared<FilterImage>();
        KelEndFilterLayer(graphics.handle, Capture, image.get());
        if (image->Width() == stage.description.width &&
            image->Height() == stage.description.height)
            input->image = std::move(image);
    }
}
