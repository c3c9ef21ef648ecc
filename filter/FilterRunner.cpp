#include "filter/FilterRunner.h"

#include "filter/FilterBlur.h"
#include "filter/FilterColor.h"
#include "filter/FilterCompose.h"
#include "filter/FilterConvolve.h"
#include "filter/FilterDisplacement.h"
#include "filter/FilterLighting.h"
#include "filter/FilterMorphology.h"
#include "filter/FilterTurbulence.h"

#include <cmath>
#include <cstring>

namespace {

template <class T> const T* As(const FilterPrimitive& p) {
    return std::get_if<T>(&p.parameters);
}

long Ceil(double v) {
    v = std::fabs(v);
    return v < double(1L << 40) ? long(std::ceil(v)) : -1;
}

// The reach of a primitive itself, along x and y; -1 for anywhere.
void OwnReach(const FilterPrimitive& p, long& x, long& y) {
    x = y = 0;
    if (auto* blur = As<FilterGaussianBlur>(p)) {
        bool edges = blur->edge != FilterEdgeMode::None;
        x = edges && blur->stdDevX > 0 ? -1 : FilterBlurReach(blur->stdDevX);
        y = edges && blur->stdDevY > 0 ? -1 : FilterBlurReach(blur->stdDevY);
    } else if (auto* shadow = As<FilterDropShadow>(p)) {
        long dx = Ceil(shadow->dx), dy = Ceil(shadow->dy);
        x = dx < 0 ? -1 : dx + FilterBlurReach(shadow->stdDevX);
        y = dy < 0 ? -1 : dy + FilterBlurReach(shadow->stdDevY);
    } else if (auto* offset = As<FilterOffset>(p)) {
        x = Ceil(offset->dx) + 1;
        y = Ceil(offset->dy) + 1;
    } else if (auto* morphology = As<FilterMorphology>(p)) {
        x = Ceil(morphology->radiusX);
        y = Ceil(morphology->radiusY);
    } else if (auto* convolve = As<FilterConvolveMatrix>(p)) {
        bool edges = convolve->edge != FilterEdgeMode::None;
        x = edges ? -1 : std::max(convolve->targetX, convolve->orderX - 1 - convolve->targetX);
        y = edges ? -1 : std::max(convolve->targetY, convolve->orderY - 1 - convolve->targetY);
    } else if (As<FilterLighting>(p)) {
        x = y = 1;
    } else if (auto* displacement = As<FilterDisplacementMap>(p)) {
        x = Ceil(displacement->scaleX / 2) + 1;
        y = Ceil(displacement->scaleY / 2) + 1;
    } else if (As<FilterTile>(p)) {
        x = y = -1;
    }
}

long AddReach(long a, long b) {
    return a < 0 || b < 0 || a + b > (1L << 40) ? -1 : a + b;
}

class Run {
public:
    Run(const FilterDescription& d, FilterImage& source, const FilterLimits& limits)
        : m_d(d), m_source(source), m_limits(limits), m_results(d.primitives.size()),
          m_converted(d.primitives.size()), m_lastUse(d.primitives.size(), -1) {
        for (size_t i = 0; i < d.primitives.size(); ++i)
            for (int input : d.primitives[i].inputs)
                if (input >= 0 && size_t(input) < i)
                    m_lastUse[size_t(input)] = int(i);
        m_live = source.PixelCount();
    }

    ~Run() {
        // The pictures' memory goes to the pool for the next run.
        if (!m_limits.pool)
            return;
        for (auto* list : {&m_results, &m_converted, &m_spare})
            for (auto& image : *list)
                if (image)
                    image->GiveTo(*m_limits.pool);
        for (auto* list : {&m_special, &m_specialConverted})
            for (auto& image : *list)
                if (image)
                    image->GiveTo(*m_limits.pool);
    }

    bool Execute() {
        const size_t n = m_d.primitives.size();
        for (size_t i = 0; i < n; ++i) {
            std::unique_ptr<FilterImage> out = Compute(m_d.primitives[i]);
            if (!out)
                return false;
            m_results[i] = std::move(out);
            // Results no later primitive reads go at once.
            for (size_t j = 0; j < i; ++j)
                if (m_results[j] && m_lastUse[j] <= int(i))
                    Drop(j);
        }
        if (n == 0) {
            std::memset(m_source.Data(), 0, sizeof(uint32_t) * m_source.PixelCount());
            return true;
        }
        FilterImage& result = *m_results[n - 1];
        ConvertColorSpace(result, FilterColorSpace::SRGB, result.Bounds());
        std::memcpy(m_source.Data(), result.Data(), sizeof(uint32_t) * m_source.PixelCount());
        m_source.space = FilterColorSpace::SRGB;
        return true;
    }

private:
    const FilterRect Whole() const { return {0, 0, m_d.width, m_d.height}; }

    // A transparent (or, unclear, uninitialised) picture of the buffer's size
    // within the budget, with extra pixels of scratch the primitive needs.
    // Pictures no longer needed are used again (fresh memory costs a fault
    // per page).
    std::unique_ptr<FilterImage> New(bool clear, size_t scratch = 0) {
        size_t pixels = size_t(m_d.width) * size_t(m_d.height);
        if (m_live + pixels + scratch > m_limits.maxPixels)
            return nullptr;
        std::unique_ptr<FilterImage> image;
        if (!m_spare.empty()) {
            image = std::move(m_spare.back());
            m_spare.pop_back();
            if (clear)
                std::memset(image->Data(), 0, sizeof(uint32_t) * pixels);
        } else {
            image = std::make_unique<FilterImage>();
            if (!image->Allocate(m_d.width, m_d.height, clear, m_limits.pool))
                return nullptr;
        }
        m_live += pixels;
        return image;
    }

    void Release(std::unique_ptr<FilterImage>& image) {
        m_live -= image->PixelCount();
        m_spare.push_back(std::move(image));
    }

    void Drop(size_t index) {
        for (auto* slot : {&m_results[index], &m_converted[index]})
            if (*slot)
                Release(*slot);
    }

    // The subregion of an input: a result's own, or the whole buffer.
    FilterRect RegionOf(int input) const {
        return input >= 0 && size_t(input) < m_d.primitives.size()
                   ? m_d.primitives[size_t(input)].subregion
                   : Whole();
    }

    // Input index as it stands (any space); null when out of memory.
    const FilterImage* Raw(int input) {
        if (input >= 0)
            return size_t(input) < m_results.size() && m_results[size_t(input)]
                       ? m_results[size_t(input)].get()
                       : Special(kFilterBackgroundImage);
        return Special(input);
    }

    // Input index in the given space.
    const FilterImage* In(int input, FilterColorSpace space) {
        const FilterImage* raw = Raw(input);
        if (!raw || raw->space == space || input == kFilterSourceAlpha ||
            input == kFilterBackgroundImage || input == kFilterBackgroundAlpha)
            return raw;
        std::unique_ptr<FilterImage>& slot =
            input >= 0 ? m_converted[size_t(input)] : m_specialConverted[-input - 1];
        if (!slot || slot->space != space) {
            if (slot)
                Release(slot);
            slot = New(false);
            if (!slot)
                return nullptr;
            slot->CopyFrom(*raw, RegionOf(input));
            ConvertColorSpace(*slot, space, RegionOf(input));
        }
        return slot.get();
    }

    // The sources that are no result: made at their first use.
    const FilterImage* Special(int input) {
        if (input == kFilterSourceGraphic)
            return &m_source;
        int k = -input - 1;
        if (k < 0 || k >= 6)
            k = -kFilterBackgroundImage - 1;
        std::unique_ptr<FilterImage>& slot = m_special[k];
        if (slot)
            return slot.get();
        slot = New(true);
        if (!slot)
            return nullptr;
        slot->space = FilterColorSpace::SRGB;
        if (input == kFilterSourceAlpha) {
            for (size_t i = 0; i < m_source.PixelCount(); ++i)
                slot->Data()[i] = m_source.Data()[i] & 0xFF000000u;
        } else if (input == kFilterFillPaint || input == kFilterStrokePaint) {
            FilterFloodImage(*slot, input == kFilterFillPaint ? m_d.fillPaint : m_d.strokePaint,
                             Whole());
        }
        return slot.get();
    }

    std::unique_ptr<FilterImage> Compute(const FilterPrimitive& p);

    // in blurred within area, with two pictures of scratch.
    std::unique_ptr<FilterImage> Blur(const FilterImage& in, float sx, float sy,
                                      FilterEdgeMode edge, const FilterRect& area) {
        std::unique_ptr<FilterImage> out = New(false), work = out ? New(false) : nullptr,
                                     scratch = work ? New(false) : nullptr;
        if (!scratch)
            return nullptr;
        FilterGaussianBlurImage(in, *out, sx, sy, edge, area, m_limits.threads, *work, *scratch);
        Release(work);
        Release(scratch);
        return out;
    }

    const FilterDescription& m_d;
    FilterImage& m_source;
    const FilterLimits& m_limits;
    std::vector<std::unique_ptr<FilterImage>> m_results;
    std::vector<std::unique_ptr<FilterImage>> m_converted; // results in another space
    std::unique_ptr<FilterImage> m_special[6];
    std::unique_ptr<FilterImage> m_specialConverted[6];
    std::vector<int> m_lastUse;
    std::vector<std::unique_ptr<FilterImage>> m_spare; // pictures to use again
    size_t m_live = 0;
};

std::unique_ptr<FilterImage> Run::Compute(const FilterPrimitive& p) {
    const FilterRect area = p.subregion.Intersect(Whole());
    const FilterColorSpace space = p.space;
    const int threads = m_limits.threads;
    const size_t pixels = m_source.PixelCount();
    auto input = [&](size_t i) { return i < p.inputs.size() ? p.inputs[i] : kFilterSourceGraphic; };

    if (auto* blend = As<FilterBlend>(p)) {
        const FilterImage *a = In(input(0), space), *b = In(input(1), space);
        std::unique_ptr<FilterImage> out = a && b ? New(false) : nullptr;
        if (out) {
            out->space = space;
            FilterBlendImage(*a, *b, *out, blend->mode, area);
        }
        return out;
    }
    if (auto* composite = As<FilterComposite>(p)) {
        const FilterImage *a = In(input(0), space), *b = In(input(1), space);
        std::unique_ptr<FilterImage> out = a && b ? New(false) : nullptr;
        if (out) {
            out->space = space;
            FilterCompositeImage(*a, *b, *out, *composite, area);
        }
        return out;
    }
    if (auto* displacement = As<FilterDisplacementMap>(p)) {
        // The map alone is taken in the primitive's space.
        const FilterImage *a = Raw(input(0)), *map = a ? In(input(1), space) : nullptr;
        std::unique_ptr<FilterImage> out = a && map ? New(false) : nullptr;
        if (out)
            FilterDisplacementImage(*a, *map, *out, *displacement, area, threads);
        return out;
    }
    if (As<FilterMerge>(p)) {
        std::unique_ptr<FilterImage> out = New(true);
        if (!out)
            return nullptr;
        out->space = space;
        for (int k : p.inputs) {
            const FilterImage* layer = In(k, space);
            if (!layer)
                return nullptr;
            FilterOverImage(*layer, *out, area);
        }
        return out;
    }
    if (auto* flood = As<FilterFlood>(p)) {
        std::unique_ptr<FilterImage> out = New(false);
        if (out) {
            out->space = space;
            FilterFloodImage(*out, flood->color, area);
        }
        return out;
    }
    if (auto* turbulence = As<FilterTurbulence>(p)) {
        std::unique_ptr<FilterImage> out = New(false);
        if (out) {
            out->space = space;
            FilterTurbulenceImage(*out, *turbulence, area, threads);
        }
        return out;
    }
    if (auto* image = As<FilterImageInput>(p)) {
        std::unique_ptr<FilterImage> out = New(true);
        if (out && image->image && image->image->Width() == m_d.width &&
            image->image->Height() == m_d.height)
            out->CopyFrom(*image->image, area);
        if (out)
            out->space = FilterColorSpace::SRGB;
        return out;
    }
    if (As<FilterOffset>(p) || As<FilterTile>(p)) {
        // Whole pixels moved: in any space.
        const FilterImage* a = Raw(input(0));
        std::unique_ptr<FilterImage> out = a ? New(false) : nullptr;
        if (!out)
            return nullptr;
        if (auto* offset = As<FilterOffset>(p))
            FilterOffsetImage(*a, *out, offset->dx, offset->dy, area);
        else
            FilterTileImage(*a, RegionOf(input(0)), *out, area);
        return out;
    }
    if (auto* lighting = As<FilterLighting>(p)) {
        const FilterImage* a = Raw(input(0)); // its alpha alone
        std::unique_ptr<FilterImage> out = a ? New(false) : nullptr;
        if (!out)
            return nullptr;
        // The lighting colour, given in sRGB, lights in the primitive's space
        // (a full light then shows the colour as written).
        out->space = space;
        FilterLighting lit = *lighting;
        lit.color = FilterColorIn(lighting->color, space);
        FilterLightingImage(*a, *out, lit, area, threads);
        return out;
    }

    // The rest read one input in the primitive's space.
    const FilterImage* a = In(input(0), space);
    if (!a)
        return nullptr;
    if (auto* matrix = As<FilterColorMatrix>(p)) {
        std::unique_ptr<FilterImage> out = New(false);
        if (out)
            FilterColorMatrixImage(*a, *out, *matrix, area);
        return out;
    }
    if (auto* transfer = As<FilterComponentTransfer>(p)) {
        std::unique_ptr<FilterImage> out = New(false);
        if (out)
            FilterComponentTransferImage(*a, *out, *transfer, area);
        return out;
    }
    if (auto* convolve = As<FilterConvolveMatrix>(p)) {
        std::unique_ptr<FilterImage> out = New(false);
        if (out && !FilterConvolveImage(*a, *out, *convolve, area, threads))
            out->CopyFrom(*a, area); // too large to apply: as if not there
        return out;
    }
    if (auto* morphology = As<FilterMorphology>(p)) {
        std::unique_ptr<FilterImage> out = New(false), scratch = out ? New(false) : nullptr;
        if (!scratch)
            return nullptr;
        // Radii past the picture change nothing more (and not a number is 0).
        auto radius = [](float r) { return r > 0 ? int(std::min(r, float(1 << 30))) : 0; };
        FilterMorphologyImage(*a, *out, morphology->op, radius(morphology->radiusX),
                              radius(morphology->radiusY), area, threads, *scratch);
        Release(scratch);
        return out;
    }
    if (auto* blur = As<FilterGaussianBlur>(p))
        return Blur(*a, blur->stdDevX, blur->stdDevY, blur->edge, area);
    if (auto* shadow = As<FilterDropShadow>(p)) {
        // The input's alpha, blurred, moved and coloured, under the input.
        std::unique_ptr<FilterImage> alpha = New(false);
        if (!alpha)
            return nullptr;
        for (size_t i = 0; i < pixels; ++i)
            alpha->Data()[i] = a->Data()[i] & 0xFF000000u;
        alpha->space = space;
        std::unique_ptr<FilterImage> blurred =
            Blur(*alpha, shadow->stdDevX, shadow->stdDevY, FilterEdgeMode::None, alpha->Bounds());
        if (!blurred)
            return nullptr;
        FilterOffsetImage(*blurred, *alpha, shadow->dx, shadow->dy, area);
        const uint32_t color = FilterColorPixel(shadow->color, space);
        for (int y = area.y0; y < area.y1; ++y) {
            uint32_t* row = alpha->Row(y);
            for (int x = area.x0; x < area.x1; ++x) {
                uint32_t k = FilterPixel::A(row[x]);
                row[x] = FilterPixel::Pack(FilterPixel::Multiply(FilterPixel::A(color), k),
                                           FilterPixel::Multiply(FilterPixel::R(color), k),
                                           FilterPixel::Multiply(FilterPixel::G(color), k),
                                           FilterPixel::Multiply(FilterPixel::B(color), k));
            }
        }
        FilterOverImage(*a, *alpha, area);
        Release(blurred);
        alpha->space = space;
        return alpha;
    }
    return New(true);
}

} // namespace

bool FilterRun(const FilterDescription& description, FilterImage& image,
               const FilterLimits& limits) {
    if (image.Width() != description.width || image.Height() != description.height)
        return false;
    Run run(description, image, limits);
    return run.Execute();
}

void FilterReach(const FilterDescription& description, int index, long& x, long& y) {
    x = y = 0;
    if (index < 0 || size_t(index) >= description.primitives.size())
        return;
    // Each result's reach from the earlier ones, in order.
    std::vector<std::pair<long, long>> reach(size_t(index) + 1);
    for (size_t i = 0; i <= size_t(index); ++i) {
        const FilterPrimitive& p = description.primitives[i];
        long ox, oy;
        OwnReach(p, ox, oy);
        long ix = 0, iy = 0;
        std::vector<int> inputs = p.inputs;
        if (inputs.empty() && !As<FilterMerge>(p))
            inputs.push_back(kFilterSourceGraphic);
        for (int k : inputs)
            if (k >= 0 && size_t(k) < i) {
                ix = ix < 0 || reach[size_t(k)].first < 0 ? -1
                                                          : std::max(ix, reach[size_t(k)].first);
                iy = iy < 0 || reach[size_t(k)].second < 0 ? -1
                                                           : std::max(iy, reach[size_t(k)].second);
            }
        reach[i] = {AddReach(ox, ix), AddReach(oy, iy)};
    }
    x = reach[size_t(index)].first;
    y = reach[size_t(index)].second;
}
