#include "engine/SvgBandDraw.h"

#include "document/SvgRootElement.h"
#include "engine/GdiGraphics.h"
#include "render/SvgFigure.h"
#include "style/SvgStyle.h"

#include <algorithm>
#include <memory>
#include <new>
#include <thread>
#include <vector>

using namespace Gdiplus;

namespace {

// Whether an element's paint rules out bands: a clip path, a mask or a
// marker or filter is resolved and applied through the engine's draw state, and a
// paint server may round differently by a unit in a band than in the whole
// picture (bands must give exactly the picture of one thread).
bool PaintRulesOutBands(const SvgElement& element) {
    const SvgFigure* figure = element.GetFigure();
    const SvgStyle* style = figure ? figure->PeekStyle() : nullptr;
    return element.PaintsMarkers() ||
           (style && (!style->clipPath.value.empty() || !style->mask.value.empty() ||
                      !style->filter.value.empty() || !style->fill.uri.empty() ||
                      !style->stroke.uri.empty()));
}

// Elements that draw nothing of their own, or only their children.
bool IsPlainContainer(int kind) {
    return kind == SvgKindGroup || kind == SvgKindDesc || kind == SvgKindStop ||
           kind == SvgKindGradient || kind == SvgKindLinearGradient ||
           kind == SvgKindRadialGradient;
}

// One band, into a graphics of its own over the band's rows.
void DrawBand(SvgRootElement& root, GpGraphics* band) {
    GdiGraphics graphics(band, false);
    graphics.SetSkipsUnseen(true);
    graphics.Record(GdipSetSmoothingMode(band, SmoothingModeAntiAlias));
    root.RenderInViewport(graphics);
}

} // namespace

bool SvgBandDraw::Draw(SvgRootElement& root, GdiGraphics& graphics, int threads, double pixels) {
    threads = std::min(threads, kMaxThreads);
    if (threads < 2 || !(pixels >= kMinPixels) || !root.IsDisplayed())
        return false;
    long figures = 0;
    if (!Prepare(root, figures) || figures < kMinFigures)
        return false;
    // Every band's graphics is made here, before any thread starts: making
    // one touches the whole picture's bitmap (and maps its band's pages).
    std::vector<GpGraphics*> bands;
    for (int i = 0; i < threads; ++i) {
        GpGraphics* band = nullptr;
        if (KelCreateBandGraphics(graphics.Get(), i, threads, &band) != Ok)
            break;
        bands.push_back(band);
    }
    bool drawn = bands.size() == size_t(threads);
    if (drawn) {
        std::vector<std::thread> workers;
        size_t next = 1;
        for (; next < bands.size(); ++next) {
            try {
                workers.emplace_back(DrawBand, std::ref(root), bands[next]);
            } catch (...) {
                break; // no more threads: the rest is drawn here
            }
        }
        DrawBand(root, bands[0]);
        for (; next < bands.size(); ++next)
            DrawBand(root, bands[next]);
        for (std::thread& worker : workers)
            worker.join();
    }
    for (GpGraphics* band : bands)
        GdipDeleteGraphics(band);
    return drawn;
}

bool SvgBandDraw::Prepare(SvgRootElement& root, long& figures) {
    root.ComputeViewportMatrix();
    if (PaintRulesOutBands(root))
        return false;
    std::vector<SvgElement*> pending(root.GetChildren().rbegin(), root.GetChildren().rend());
    while (!pending.empty()) {
        SvgElement* element = pending.back();
        pending.pop_back();
        if (!element->IsDisplayed())
            continue;
        int kind = element->GetKind();
        if (kind == SvgKindDefs || kind == SvgKindClipPath || kind == SvgKindMask ||
            kind == SvgKindFilter)
            continue; // drawn only where referenced
        if (PaintRulesOutBands(*element))
            return false;
        if (SvgIsShapeKind(kind)) {
            if (SvgFigure* figure = element->GetFigure()) {
                figure->PrepareStyle();
                ++figures;
            }
        } else if (!IsPlainContainer(kind)) {
            return false;
        }
        const auto& children = element->GetChildren();
        std::pair<size_t, size_t> drawn = element->DrawnChildren();
        pending.insert(pending.end(), children.rbegin() + long(children.size() - drawn.second),
                       children.rbegin() + long(children.size() - drawn.first));
    }
    return true;
}
