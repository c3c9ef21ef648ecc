#include "filter/FilterMorphology.h"

#include "filter/FilterParallel.h"

#include <cstring>
#include <vector>

namespace {

// Bytes of a band of columns worked on at once.
constexpr int kBandBytes = 1024;

template <bool Dilate> inline uint8_t Op(uint8_t a, uint8_t b) {
    return Dilate ? (a > b ? a : b) : (a < b ? a : b);
}

// Each column of bytes [c0, c1) of a picture of rows of stride bytes becomes
// the extreme of the window of r rows either side, transparent rows assumed
// beyond its ends: the running extremes of blocks of the window's size, from
// the top and from the bottom, give every window with two reads. Whole rows
// of bytes at a time, which the compiler vectorises.
template <bool Dilate> void Columns(uint8_t* data, size_t stride, int rows, int r, int c0, int c1) {
    const int n = c1 - c0;
    if (2L * r + 1 >= 2L * rows) {
        // Every window holds the whole column and a row beyond it.
        std::vector<uint8_t> all(size_t(n), 0);
        if (Dilate)
            for (int y = 0; y < rows; ++y)
                for (int j = 0; j < n; ++j)
                    all[size_t(j)] = Op<true>(all[size_t(j)], data[size_t(y) * stride + c0 + j]);
        for (int y = 0; y < rows; ++y)
            std::memcpy(data + size_t(y) * stride + c0, all.data(), size_t(n));
        return;
    }
    const int k = 2 * r + 1;
    const int total = rows + 2 * r;
    std::vector<uint8_t> g(size_t(total) * n), h(size_t(total) * n);
    const std::vector<uint8_t> zero(size_t(n), 0);
    auto at = [&](int i) {
        return i >= r && i < r + rows ? data + size_t(i - r) * stride + c0 : zero.data();
    };
    for (int i = 0; i < total; ++i) {
        uint8_t* gi = g.data() + size_t(i) * n;
        const uint8_t* a = at(i);
        if (i % k == 0) {
            std::memcpy(gi, a, size_t(n));
        } else {
            const uint8_t* prev = gi - n;
            for (int j = 0; j < n; ++j)
                gi[j] = Op<Dilate>(prev[j], a[j]);
        }
    }
    for (int i = total - 1; i >= 0; --i) {
        uint8_t* hi = h.data() + size_t(i) * n;
        const uint8_t* a = at(i);
        if (i % k == k - 1 || i == total - 1) {
            std::memcpy(hi, a, size_t(n));
        } else {
            const uint8_t* next = hi + n;
            for (int j = 0; j < n; ++j)
                hi[j] = Op<Dilate>(next[j], a[j]);
        }
    }
    for (int y = 0; y < rows; ++y) {
        const uint8_t* top = h.data() + size_t(y) * n;
        const uint8_t* bottom = g.data() + size_t(y + 2 * r) * n;
        uint8_t* o = data + size_t(y) * stride + c0;
        for (int j = 0; j < n; ++j)
            o[j] = Op<Dilate>(top[j], bottom[j]);
    }
}

// The window pass down the columns of a width × height picture, in bands.
void Pass(uint32_t* data, int width, int height, int r, bool dilate, int threads) {
    const int bytes = width * 4;
    const int bands = (bytes + kBandBytes - 1) / kBandBytes;
    auto* d = reinterpret_cast<uint8_t*>(data);
    FilterParallel(bands, threads, std::max(1, (1 << 18) / std::max(1, height * kBandBytes)),
                   [&](int begin, int end) {
                       for (int b = begin; b < end; ++b) {
                           int c0 = b * kBandBytes, c1 = std::min(bytes, c0 + kBandBytes);
                           if (dilate)
                               Columns<true>(d, size_t(bytes), height, r, c0, c1);
                           else
                               Columns<false>(d, size_t(bytes), height, r, c0, c1);
                       }
                   });
}

} // namespace

void FilterMorphologyImage(const FilterImage& in, FilterImage& out, FilterMorphologyOperator op,
                           int rx, int ry, const FilterRect& area, int threads,
                           FilterImage& scratch) {
    const int w = in.Width(), h = in.Height();
    out.space = in.space;
    if (in.PixelCount() == 0)
        return;
    // Wider windows than the picture change nothing more.
    rx = std::max(0, std::min(rx, w));
    ry = std::max(0, std::min(ry, h));
    const bool dilate = op == FilterMorphologyOperator::Dilate;
    std::memcpy(out.Data(), in.Data(), sizeof(uint32_t) * in.PixelCount());
    if (ry > 0)
        Pass(out.Data(), w, h, ry, dilate, threads);
    if (rx > 0) {
        // The rows' windows, as the columns' of the picture turned over.
        FilterTranspose(out.Data(), w, h, scratch.Data(), threads);
        Pass(scratch.Data(), h, w, rx, dilate, threads);
        FilterTranspose(scratch.Data(), h, w, out.Data(), threads);
    }
    out.ClearOutside(area);
}
