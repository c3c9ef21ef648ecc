#include "filter/FilterDisplacement.h"

#include "filter/FilterParallel.h"

#include <cmath>

namespace {

// The straight value of a channel of a premultiplied pixel, 0 to 1.
float Channel(uint32_t p, FilterChannel c) {
    using namespace FilterPixel;
    uint32_t a = A(p);
    if (c == FilterChannel::A)
        return a / 255.0f;
    if (a == 0)
        return 0;
    uint32_t v = c == FilterChannel::R ? R(p) : c == FilterChannel::G ? G(p) : B(p);
    return std::min(1.0f, float(v) / float(a));
}

} // namespace

void FilterDisplacementImage(const FilterImage& in, const FilterImage& map, FilterImage& out,
                             const FilterDisplacementMap& d, const FilterRect& area, int threads) {
    const FilterRect a = area.Intersect(in.Bounds());
    out.ClearOutside(a);
    out.space = in.space;
    const int w = in.Width(), h = in.Height();
    FilterParallel(a.Height(), threads, 32, [&](int begin, int end) {
        for (int y = a.y0 + begin; y < a.y0 + end; ++y) {
            uint32_t* row = out.Row(y);
            const uint32_t* mapRow = map.Row(y);
            for (int x = a.x0; x < a.x1; ++x) {
                double sx = x + d.scaleX * (Channel(mapRow[x], d.xChannel) - 0.5);
                double sy = y + d.scaleY * (Channel(mapRow[x], d.yChannel) - 0.5);
                double fx = std::floor(sx), fy = std::floor(sy);
                row[x] = fx >= 0 && fy >= 0 && fx < w && fy < h ? in.Row(int(fy))[int(fx)] : 0;
            }
        }
    });
}
