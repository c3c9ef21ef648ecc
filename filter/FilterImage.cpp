#include "filter/FilterImage.h"

#include "filter/FilterParallel.h"
#include "filter/FilterPool.h"

#include <cmath>
#include <cstring>
#include <new>

namespace {

struct Tables {
    uint8_t toLinear[256];
    uint8_t toSrgb[256];
    Tables() {
        for (int i = 0; i < 256; ++i) {
            double v = i / 255.0;
            double linear = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            double srgb = v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
            toLinear[i] = uint8_t(std::lround(linear * 255));
            toSrgb[i] = uint8_t(std::lround(srgb * 255));
        }
    }
};

const Tables& ColorTables() {
    static const Tables tables;
    return tables;
}

} // namespace

bool FilterImage::Allocate(int width, int height, bool clear, FilterPool* pool) {
    m_data.reset();
    m_capacity = 0;
    m_pixels = nullptr;
    m_width = m_height = 0;
    if (width <= 0 || height <= 0)
        return width >= 0 && height >= 0;
    size_t n = size_t(width) * size_t(height);
    if (pool) {
        m_data = pool->Take(n, m_capacity);
        if (m_data && clear)
            std::memset(m_data.get(), 0, sizeof(uint32_t) * n);
    } else {
        m_data.reset(clear ? new (std::nothrow) uint32_t[n]() : new (std::nothrow) uint32_t[n]);
        m_capacity = n;
    }
    if (!m_data)
        return false;
    m_pixels = m_data.get();
    m_width = width;
    m_height = height;
    return true;
}

void FilterImage::GiveTo(FilterPool& pool) {
    pool.Give(std::move(m_data), m_capacity);
    m_capacity = 0;
    m_pixels = nullptr;
    m_width = m_height = 0;
}

void FilterImage::Borrow(uint32_t* pixels, int width, int height) {
    m_data.reset();
    m_pixels = pixels;
    m_width = pixels ? width : 0;
    m_height = pixels ? height : 0;
}

void FilterImage::ClearOutside(const FilterRect& area) {
    FilterRect a = area.Intersect(Bounds());
    for (int y = 0; y < m_height; ++y) {
        uint32_t* row = Row(y);
        if (y < a.y0 || y >= a.y1 || a.Empty()) {
            std::memset(row, 0, sizeof(uint32_t) * size_t(m_width));
            continue;
        }
        std::memset(row, 0, sizeof(uint32_t) * size_t(a.x0));
        std::memset(row + a.x1, 0, sizeof(uint32_t) * size_t(m_width - a.x1));
    }
}

void FilterImage::CopyFrom(const FilterImage& other, const FilterRect& area) {
    FilterRect a = area.Intersect(Bounds());
    for (int y = a.y0; y < a.y1; ++y)
        std::memcpy(Row(y) + a.x0, other.Row(y) + a.x0, sizeof(uint32_t) * size_t(a.Width()));
    ClearOutside(a);
    space = other.space;
}

namespace FilterPixel {

void Unpremultiply(uint32_t p, float rgba[4]) {
    uint32_t a = A(p);
    rgba[3] = a / 255.0f;
    if (a == 0) {
        rgba[0] = rgba[1] = rgba[2] = 0;
        return;
    }
    float scale = 1.0f / float(a);
    rgba[0] = std::min(1.0f, R(p) * scale);
    rgba[1] = std::min(1.0f, G(p) * scale);
    rgba[2] = std::min(1.0f, B(p) * scale);
}

uint32_t Premultiply(const float rgba[4]) {
    uint32_t a = Byte(rgba[3]);
    if (a == 0)
        return 0;
    return Pack(a, Multiply(Byte(rgba[0]), a), Multiply(Byte(rgba[1]), a),
                Multiply(Byte(rgba[2]), a));
}

} // namespace FilterPixel

uint8_t SrgbToLinear(uint8_t v) {
    return ColorTables().toLinear[v];
}

uint8_t LinearToSrgb(uint8_t v) {
    return ColorTables().toSrgb[v];
}

void ConvertColorSpace(FilterImage& image, FilterColorSpace to, const FilterRect& area) {
    if (image.space == to)
        return;
    image.space = to;
    const uint8_t* table =
        to == FilterColorSpace::LinearRGB ? ColorTables().toLinear : ColorTables().toSrgb;
    FilterRect a = area.Intersect(image.Bounds());
    using namespace FilterPixel;
    for (int y = a.y0; y < a.y1; ++y) {
        uint32_t* row = image.Row(y);
        for (int x = a.x0; x < a.x1; ++x) {
            uint32_t p = row[x];
            uint32_t alpha = A(p);
            if (alpha == 0)
                continue;
            if (alpha == 255) {
                row[x] = Pack(255, table[R(p)], table[G(p)], table[B(p)]);
                continue;
            }
            // Through straight colour, rounded both ways.
            auto convert = [alpha, table](uint32_t c) {
                uint32_t straight = std::min(255u, (c * 255 + alpha / 2) / alpha);
                return Multiply(table[straight], alpha);
            };
            row[x] = Pack(alpha, convert(R(p)), convert(G(p)), convert(B(p)));
        }
    }
}

void FilterTranspose(const uint32_t* in, int width, int height, uint32_t* out, int threads) {
    constexpr int kBlock = 32;
    int blocks = (height + kBlock - 1) / kBlock;
    FilterParallel(blocks, threads, 64, [&](int begin, int end) {
        for (int by = begin * kBlock; by < std::min(height, end * kBlock); by += kBlock)
            for (int bx = 0; bx < width; bx += kBlock)
                for (int y = by; y < std::min(height, by + kBlock); ++y)
                    for (int x = bx; x < std::min(width, bx + kBlock); ++x)
                        out[size_t(x) * size_t(height) + size_t(y)] =
                            in[size_t(y) * size_t(width) + size_t(x)];
    });
}
