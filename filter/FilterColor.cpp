#include "filter/FilterColor.h"

#include <cmath>

namespace {

// The value (0 to 1) a transfer function gives for c (0 to 1).
float Transfer(const FilterTransferFunction& f, float c) {
    const std::vector<float>& v = f.table;
    switch (f.type) {
    case FilterTransferType::Table: {
        if (v.empty())
            return c;
        size_t n = v.size() - 1;
        if (n == 0)
            return v[0];
        size_t k = std::min(n - 1, size_t(c * float(n)));
        return v[k] + (c - float(k) / float(n)) * float(n) * (v[k + 1] - v[k]);
    }
    case FilterTransferType::Discrete: {
        if (v.empty())
            return c;
        size_t k = std::min(v.size() - 1, size_t(c * float(v.size())));
        return v[k];
    }
    case FilterTransferType::Linear:
        return f.slope * c + f.intercept;
    case FilterTransferType::Gamma:
        return f.amplitude * std::pow(c, f.exponent) + f.offset;
    default:
        return c;
    }
}

} // namespace

FilterColor FilterColorIn(const FilterColor& color, FilterColorSpace space) {
    float rgb[3] = {color.r, color.g, color.b};
    for (float& v : rgb) {
        v = std::min(1.0f, std::max(0.0f, v));
        if (space == FilterColorSpace::LinearRGB)
            v = v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f);
    }
    return FilterColor{rgb[0], rgb[1], rgb[2], color.a};
}

uint32_t FilterColorPixel(const FilterColor& color, FilterColorSpace space) {
    const FilterColor c = FilterColorIn(color, space);
    float rgba[4] = {c.r, c.g, c.b, c.a};
    return FilterPixel::Premultiply(rgba);
}

void FilterColorMatrixImage(const FilterImage& in, FilterImage& out, const FilterColorMatrix& m,
                            const FilterRect& area) {
    using namespace FilterPixel;
    const FilterRect a = area.Intersect(in.Bounds());
    out.ClearOutside(a);
    out.space = in.space;
    const float* k = m.m;
    for (int y = a.y0; y < a.y1; ++y) {
        const uint32_t* src = in.Row(y);
        uint32_t* dst = out.Row(y);
        uint32_t last = 0, lastResult = 0;
        bool cached = false;
        for (int x = a.x0; x < a.x1; ++x) {
            uint32_t p = src[x];
            if (cached && p == last) {
                dst[x] = lastResult;
                continue;
            }
            float c[4], r[4];
            Unpremultiply(p, c);
            for (int i = 0; i < 4; ++i)
                r[i] = k[i * 5] * c[0] + k[i * 5 + 1] * c[1] + k[i * 5 + 2] * c[2] +
                       k[i * 5 + 3] * c[3] + k[i * 5 + 4];
            dst[x] = lastResult = Premultiply(r);
            last = p;
            cached = true;
        }
    }
}

void FilterComponentTransferImage(const FilterImage& in, FilterImage& out,
                                  const FilterComponentTransfer& t, const FilterRect& area) {
    using namespace FilterPixel;
    // Each function as a table of the 256 straight values.
    uint8_t table[4][256];
    for (int i = 0; i < 4; ++i)
        for (int v = 0; v < 256; ++v)
            table[i][v] = uint8_t(Byte(Transfer(t.functions[i], v / 255.0f)));
    const FilterRect a = area.Intersect(in.Bounds());
    out.ClearOutside(a);
    out.space = in.space;
    for (int y = a.y0; y < a.y1; ++y) {
        const uint32_t* src = in.Row(y);
        uint32_t* dst = out.Row(y);
        for (int x = a.x0; x < a.x1; ++x) {
            uint32_t p = src[x], alpha = A(p);
            auto straight = [alpha](uint32_t c) {
                return alpha == 0 ? 0u : std::min(255u, (c * 255 + alpha / 2) / alpha);
            };
            uint32_t na = table[3][alpha];
            dst[x] = Pack(na, Multiply(table[0][straight(R(p))], na),
                          Multiply(table[1][straight(G(p))], na),
                          Multiply(table[2][straight(B(p))], na));
        }
    }
}

void FilterFloodImage(FilterImage& out, const FilterColor& color, const FilterRect& area) {
    const FilterRect a = area.Intersect(out.Bounds());
    out.ClearOutside(a);
    uint32_t pixel = FilterColorPixel(color, out.space);
    for (int y = a.y0; y < a.y1; ++y)
        std::fill(out.Row(y) + a.x0, out.Row(y) + a.x1, pixel);
}
