#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

class FilterPool;

// The colour spaces filters work in.
enum class FilterColorSpace : uint8_t { SRGB, LinearRGB };

// A box of pixels, from (x0, y0) inclusive to (x1, y1) exclusive.
struct FilterRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;

    bool Empty() const { return x1 <= x0 || y1 <= y0; }
    int Width() const { return x1 - x0; }
    int Height() const { return y1 - y0; }
    FilterRect Intersect(const FilterRect& o) const {
        FilterRect r{std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1),
                     std::min(y1, o.y1)};
        return r.Empty() ? FilterRect() : r;
    }
    FilterRect Union(const FilterRect& o) const {
        if (Empty())
            return o;
        if (o.Empty())
            return *this;
        return {std::min(x0, o.x0), std::min(y0, o.y0), std::max(x1, o.x1), std::max(y1, o.y1)};
    }
    bool operator==(const FilterRect& o) const {
        return x0 == o.x0 && y0 == o.y0 && x1 == o.x1 && y1 == o.y1;
    }
};

// A premultiplied RGBA picture: 32-bit pixels with alpha in the top byte,
// then red, green and blue (the layout of Cairo's ARGB32), row after row.
class FilterImage {
public:
    FilterImage() = default;
    FilterImage(const FilterImage&) = delete;
    FilterImage& operator=(const FilterImage&) = delete;

    // Makes room for width × height pixels, all transparent when clear is
    // set; false (and no pixels) when the memory cannot be had. With a pool,
    // the memory comes from it when it can.
    bool Allocate(int width, int height, bool clear, FilterPool* pool = nullptr);
    // Hands the image's own memory to pool; the image is then empty.
    void GiveTo(FilterPool& pool);
    // Works on the caller's pixels (width × height, row after row), which
    // must outlive the image.
    void Borrow(uint32_t* pixels, int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    FilterRect Bounds() const { return {0, 0, m_width, m_height}; }
    size_t PixelCount() const { return size_t(m_width) * size_t(m_height); }
    uint32_t* Data() { return m_pixels; }
    const uint32_t* Data() const { return m_pixels; }
    uint32_t* Row(int y) { return m_pixels + size_t(y) * size_t(m_width); }
    const uint32_t* Row(int y) const { return m_pixels + size_t(y) * size_t(m_width); }

    // Makes every pixel outside area transparent.
    void ClearOutside(const FilterRect& area);
    // Copies the pixels of other (of the same size) within area; the rest
    // becomes transparent.
    void CopyFrom(const FilterImage& other, const FilterRect& area);

    // The colour space the colours are in.
    FilterColorSpace space = FilterColorSpace::SRGB;

private:
    std::unique_ptr<uint32_t[]> m_data; // null for borrowed pixels
    size_t m_capacity = 0;              // of m_data, in pixels
    uint32_t* m_pixels = nullptr;
    int m_width = 0;
    int m_height = 0;
};

namespace FilterPixel {

inline uint32_t A(uint32_t p) {
    return p >> 24;
}
inline uint32_t R(uint32_t p) {
    return (p >> 16) & 0xFF;
}
inline uint32_t G(uint32_t p) {
    return (p >> 8) & 0xFF;
}
inline uint32_t B(uint32_t p) {
    return p & 0xFF;
}
inline uint32_t Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}
// A value from 0 to 1 as a byte, rounded; outside that range clamped, and
// not a number as 0.
inline uint32_t Byte(float v) {
    return v > 0 ? (v < 1 ? uint32_t(v * 255.0f + 0.5f) : 255u) : 0u;
}
// c × a / 255, rounded.
inline uint32_t Multiply(uint32_t c, uint32_t a) {
    uint32_t t = c * a + 128;
    return (t + (t >> 8)) >> 8;
}

// Straight colour (red, green, blue of 0 to 1, alpha) of a premultiplied pixel.
void Unpremultiply(uint32_t p, float rgba[4]);
// A premultiplied pixel of a straight colour, each value clamped to 0 to 1.
uint32_t Premultiply(const float rgba[4]);

} // namespace FilterPixel

// Converts the pixels of image within area into the colour space to, through
// straight colour; the image is then tagged with it.
void ConvertColorSpace(FilterImage& image, FilterColorSpace to, const FilterRect& area);
// out (height × width pixels) = in (width × height) turned over its
// diagonal: column passes on it are row passes on in.
void FilterTranspose(const uint32_t* in, int width, int height, uint32_t* out, int threads);

// One straight 8-bit channel value from sRGB to linear light, or back.
uint8_t SrgbToLinear(uint8_t v);
uint8_t LinearToSrgb(uint8_t v);
