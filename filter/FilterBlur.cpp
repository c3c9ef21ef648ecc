#include "filter/FilterBlur.h"

#include "filter/FilterParallel.h"

#include <cmath>
#include <cstring>

namespace {

// Below this deviation the blur is an exact kernel, as SVG asks.
constexpr float kBoxBlurDeviation = 2.0f;
// Bytes a thread takes at least in a pass, all rows counted.
constexpr long kBytesPerThread = 1 << 18;

// The edges of a box blur: output pixel x averages the input from x - left
// to x + right.
struct Box {
    int left, right;
};

// The three boxes SVG gives for deviation s (at least 2): size d three
// times when d is odd; else two of size d, centred half a pixel to the left
// and to the right, and one of size d + 1.
int BoxSize(float s) {
    double d = std::floor(double(s) * 3 * std::sqrt(2 * M_PI) / 4 + 0.5);
    return int(std::min(d, double(1 << 24)));
}

void Boxes(float s, Box boxes[3]) {
    int d = BoxSize(s);
    if (d % 2 == 1) {
        boxes[0] = boxes[1] = boxes[2] = Box{d / 2, d / 2};
    } else {
        boxes[0] = Box{d / 2, d / 2 - 1};
        boxes[1] = Box{d / 2 - 1, d / 2};
        boxes[2] = Box{d / 2, d / 2};
    }
}

// Rows of a picture of 4-byte pixels, seen with an edge mode: the row at any
// index, or null for a transparent one.
struct Rows {
    const uint8_t* data;
    size_t stride; // bytes
    int count;
    FilterEdgeMode edge;

    const uint8_t* At(long k) const {
        if (k < 0 || k >= count) {
            if (edge == FilterEdgeMode::None)
                return nullptr;
            if (edge == FilterEdgeMode::Duplicate)
                k = k < 0 ? 0 : count - 1;
            else
                k = ((k % count) + count) % count;
        }
        return data + size_t(k) * stride;
    }
    // How many indices of [from, to] fall on row i.
    long Count(long from, long to, int i) const {
        if (edge == FilterEdgeMode::None)
            return i >= from && i <= to ? 1 : 0;
        if (edge == FilterEdgeMode::Duplicate) {
            long n = i >= from && i <= to ? 1 : 0;
            if (i == 0 && from < 0)
                n += std::min(to, -1L) - from + 1;
            if (i == count - 1 && to >= count)
                n += to - std::max(from, long(count)) + 1;
            return n;
        }
        auto floorDiv = [](long a, long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
        return floorDiv(to - i, count) - floorDiv(from - 1 - i, count);
    }
};

// One box pass down the columns of bytes [c0, c1): out row y averages the
// input rows y - left to y + right.
void BoxPass(const Rows& in, uint8_t* out, Box box, int c0, int c1) {
    const long d = long(box.left) + box.right + 1;
    const int n = c1 - c0;
    std::vector<uint32_t> sum(static_cast<size_t>(n), 0u);
    // The window of row 0, each row counted as often as it falls in it.
    for (int i = 0; i < in.count; ++i) {
        long times = in.Count(-box.left, box.right, i);
        if (times <= 0)
            continue;
        const uint8_t* row = in.data + size_t(i) * in.stride + c0;
        uint32_t t = uint32_t(times);
        for (int j = 0; j < n; ++j)
            sum[size_t(j)] += row[j] * t;
    }
    uint32_t* s = sum.data();
    // The average, rounded: by a multiplication in fixed point for boxes of
    // up to 4096 pixels (exact but for rare halves), in floating point past.
    const bool narrow = d <= 4096;
    const uint32_t scale = uint32_t((1u << 24) / uint32_t(std::min(d, 4096L)));
    const uint32_t half = uint32_t(d / 2);
    const float inverse = 1.0f / float(d);
    for (int y = 0; y < in.count; ++y) {
        uint8_t* o = out + size_t(y) * in.stride + c0;
        if (narrow) {
            for (int j = 0; j < n; ++j)
                o[j] = uint8_t(((s[j] + half) * scale) >> 24);
        } else {
            for (int j = 0; j < n; ++j)
                o[j] = uint8_t(std::min(255.0f, float(s[j]) * inverse + 0.5f));
        }
        const uint8_t* add = in.At(long(y) + box.right + 1);
        const uint8_t* remove = in.At(long(y) - box.left);
        if (add) {
            add += c0;
            for (int j = 0; j < n; ++j)
                s[j] += add[j];
        }
        if (remove) {
            remove += c0;
            for (int j = 0; j < n; ++j)
                s[j] -= remove[j];
        }
    }
}

// The exact kernel of a small deviation, in 1/65536, from -radius to radius.
std::vector<uint32_t> GaussianKernel(float s, int& radius) {
    radius = std::max(1, int(std::ceil(3 * s)));
    std::vector<double> w(size_t(2 * radius + 1));
    double total = 0;
    for (int i = -radius; i <= radius; ++i)
        total += w[size_t(i + radius)] = std::exp(-double(i) * i / (2.0 * s * s));
    std::vector<uint32_t> k(w.size());
    uint32_t sum = 0;
    for (size_t i = 0; i < w.size(); ++i)
        sum += k[i] = uint32_t(std::lround(w[i] / total * 65536));
    k[size_t(radius)] += 65536 - sum; // exactly 1 in all
    return k;
}

void KernelPass(const Rows& in, uint8_t* out, const std::vector<uint32_t>& kernel, int radius,
                int c0, int c1) {
    const int n = c1 - c0;
    std::vector<uint32_t> acc(static_cast<size_t>(n));
    uint32_t* a = acc.data();
    for (int y = 0; y < in.count; ++y) {
        std::fill(acc.begin(), acc.end(), 1u << 15);
        for (int i = -radius; i <= radius; ++i) {
            const uint8_t* row = in.At(long(y) + i);
            if (!row)
                continue;
            row += c0;
            uint32_t w = kernel[size_t(i + radius)];
            for (int j = 0; j < n; ++j)
                a[j] += row[j] * w;
        }
        uint8_t* o = out + size_t(y) * in.stride + c0;
        for (int j = 0; j < n; ++j)
            o[j] = uint8_t(std::min(255u, a[j] >> 16));
    }
}

// Blurs the columns of a width × height picture (in place, with scratch of
// the same size): three box passes or the kernel.
void BlurColumns(uint32_t* data, uint32_t* scratch, int width, int height, float s,
                 FilterEdgeMode edge, int threads) {
    const size_t stride = size_t(width) * 4;
    const int bytes = width * 4;
    auto run = [&](auto pass) {
        int minChunks = int(std::max(1L, kBytesPerThread / (16L * std::max(1, height))));
        FilterParallel(bytes / 16, threads, minChunks, [&](int begin, int end) {
            int c0 = begin * 16, c1 = end == bytes / 16 ? bytes : end * 16;
            pass(c0, c1);
        });
    };
    auto* d = reinterpret_cast<uint8_t*>(data);
    auto* t = reinterpret_cast<uint8_t*>(scratch);
    if (s < kBoxBlurDeviation) {
        int radius = 0;
        std::vector<uint32_t> kernel = GaussianKernel(s, radius);
        Rows rows{d, stride, height, edge};
        run([&](int c0, int c1) { KernelPass(rows, t, kernel, radius, c0, c1); });
        std::memcpy(d, t, stride * size_t(height));
        return;
    }
    Box boxes[3];
    Boxes(s, boxes);
    Rows first{d, stride, height, edge}, second{t, stride, height, edge};
    run([&](int c0, int c1) {
        BoxPass(first, t, boxes[0], c0, c1);
        BoxPass(second, d, boxes[1], c0, c1);
        BoxPass(first, t, boxes[2], c0, c1);
    });
    std::memcpy(d, t, stride * size_t(height));
}

// The box of the pixels of image that are not transparent within area.
FilterRect InkWithin(const FilterImage& image, const FilterRect& area) {
    FilterRect ink{area.x1, area.y1, area.x0, area.y0};
    for (int y = area.y0; y < area.y1; ++y) {
        const uint32_t* row = image.Row(y);
        int x = area.x0;
        while (x < area.x1 && row[x] == 0)
            ++x;
        if (x == area.x1)
            continue;
        int last = area.x1 - 1;
        while (row[last] == 0)
            --last;
        ink.x0 = std::min(ink.x0, x);
        ink.x1 = std::max(ink.x1, last + 1);
        ink.y0 = std::min(ink.y0, y);
        ink.y1 = y + 1;
    }
    return ink.Empty() ? FilterRect() : ink;
}

FilterRect Grow(const FilterRect& r, long dx, long dy) {
    auto clamp = [](long v) { return int(std::max(-(1L << 30), std::min(1L << 30, v))); };
    return {clamp(r.x0 - dx), clamp(r.y0 - dy), clamp(r.x1 + dx), clamp(r.y1 + dy)};
}

} // namespace

int FilterBlurReach(float s) {
    if (!(s > 0))
        return 0;
    if (s < kBoxBlurDeviation)
        return int(std::ceil(3 * s));
    Box boxes[3];
    Boxes(s, boxes);
    return std::min(1 << 28, boxes[0].left + boxes[1].left + boxes[2].left + 1);
}

void FilterGaussianBlurImage(const FilterImage& in, FilterImage& out, float sx, float sy,
                             FilterEdgeMode edge, const FilterRect& area, int threads,
                             FilterImage& work, FilterImage& scratch) {
    const FilterRect bounds = in.Bounds();
    FilterRect target = area.Intersect(bounds);
    out.ClearOutside(FilterRect());
    out.space = in.space;
    if (target.Empty())
        return;
    sx = sx > 0 ? sx : 0;
    sy = sy > 0 ? sy : 0;
    const long rx = FilterBlurReach(sx), ry = FilterBlurReach(sy);

    // The picture worked on: without edges to extend, what can reach the
    // area from the input's ink, with room for the passes to spread; else
    // the whole input, whose edges the passes extend. Each pass takes
    // nothing from beyond the input's edges (as other renderers do, which
    // lightens a blur along them a little).
    FilterRect part = bounds;
    if (edge == FilterEdgeMode::None) {
        FilterRect source = InkWithin(in, Grow(target, rx, ry).Intersect(bounds));
        if (source.Empty())
            return;
        part = Grow(source, rx, ry).Intersect(Grow(target, rx, ry)).Intersect(bounds);
        target = target.Intersect(part);
    }
    const int w = part.Width(), h = part.Height();
    uint32_t* data = work.Data();
    for (int y = 0; y < h; ++y)
        std::memcpy(data + size_t(y) * size_t(w), in.Row(part.y0 + y) + part.x0,
                    sizeof(uint32_t) * size_t(w));
    if (sy > 0)
        BlurColumns(data, scratch.Data(), w, h, sy, edge, threads);
    if (sx > 0) {
        // The rows' blur, as the columns' of the picture turned over.
        FilterTranspose(data, w, h, scratch.Data(), threads);
        BlurColumns(scratch.Data(), data, h, w, sx, edge, threads);
        FilterTranspose(scratch.Data(), h, w, data, threads);
    }
    for (int y = target.y0; y < target.y1; ++y)
        std::memcpy(out.Row(y) + target.x0,
                    data + size_t(y - part.y0) * size_t(w) + size_t(target.x0 - part.x0),
                    sizeof(uint32_t) * size_t(target.Width()));
}
