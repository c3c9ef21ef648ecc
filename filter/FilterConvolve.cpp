#include "filter/FilterConvolve.h"

#include "filter/FilterParallel.h"

#include <cmath>

namespace {

struct Cell {
    int dx, dy;
    float weight;
};

// The pixel at (x, y), continued beyond the edges by the edge mode; null
// where it is transparent.
const uint32_t* Sample(const FilterImage& in, int x, int y, FilterEdgeMode edge) {
    int w = in.Width(), h = in.Height();
    if (x < 0 || y < 0 || x >= w || y >= h) {
        if (edge == FilterEdgeMode::None)
            return nullptr;
        if (edge == FilterEdgeMode::Duplicate) {
            x = std::min(std::max(x, 0), w - 1);
            y = std::min(std::max(y, 0), h - 1);
        } else {
            x = ((x % w) + w) % w;
            y = ((y % h) + h) % h;
        }
    }
    return in.Row(y) + x;
}

} // namespace

bool FilterConvolveImage(const FilterImage& in, FilterImage& out, const FilterConvolveMatrix& c,
                         const FilterRect& area, int threads) {
    using namespace FilterPixel;
    FilterRect a = area.Intersect(in.Bounds());
    // The kernel turned half a turn, as offsets from the output pixel; cells
    // of weight 0 add nothing.
    std::vector<Cell> cells;
    for (int i = 0; i < c.orderY; ++i)
        for (int j = 0; j < c.orderX; ++j) {
            float weight = c.kernel[size_t(c.orderX - j - 1) + size_t(c.orderY - i - 1) * c.orderX];
            if (weight != 0)
                cells.push_back(Cell{j - c.targetX, i - c.targetY, weight});
        }
    if (double(cells.size()) * a.Width() * a.Height() > kFilterMaxConvolveWork)
        return false;
    out.ClearOutside(a);
    out.space = in.space;
    const float divisor = c.divisor != 0 ? c.divisor : 1;
    FilterParallel(a.Height(), threads, 16, [&](int begin, int end) {
        for (int y = a.y0 + begin; y < a.y0 + end; ++y) {
            uint32_t* row = out.Row(y);
            for (int x = a.x0; x < a.x1; ++x) {
                float sum[4] = {0, 0, 0, 0}; // alpha, red, green, blue
                for (const Cell& cell : cells) {
                    const uint32_t* p = Sample(in, x + cell.dx, y + cell.dy, c.edge);
                    if (!p)
                        continue;
                    uint32_t v = *p;
                    if (c.preserveAlpha) {
                        float rgba[4];
                        Unpremultiply(v, rgba);
                        sum[1] += rgba[0] * cell.weight;
                        sum[2] += rgba[1] * cell.weight;
                        sum[3] += rgba[2] * cell.weight;
                    } else {
                        sum[0] += A(v) / 255.0f * cell.weight;
                        sum[1] += R(v) / 255.0f * cell.weight;
                        sum[2] += G(v) / 255.0f * cell.weight;
                        sum[3] += B(v) / 255.0f * cell.weight;
                    }
                }
                uint32_t self = in.Row(y)[x];
                if (c.preserveAlpha) {
                    float rgba[4] = {sum[1] / divisor + c.bias, sum[2] / divisor + c.bias,
                                     sum[3] / divisor + c.bias, A(self) / 255.0f};
                    row[x] = Premultiply(rgba);
                    continue;
                }
                float alpha = std::min(1.0f, std::max(0.0f, sum[0] / divisor + c.bias));
                uint32_t ab = Byte(alpha);
                auto channel = [&](float v) {
                    return std::min(ab, Byte(v / divisor + c.bias * alpha));
                };
                row[x] = Pack(ab, channel(sum[1]), channel(sum[2]), channel(sum[3]));
            }
        }
    });
    return true;
}
