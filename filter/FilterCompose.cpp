#include "filter/FilterCompose.h"

#include <cmath>

namespace {

using namespace FilterPixel;

struct Rgb {
    float r, g, b;
};

float Lum(const Rgb& c) {
    return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
}

Rgb ClipColor(Rgb c) {
    float l = Lum(c);
    float n = std::min({c.r, c.g, c.b}), x = std::max({c.r, c.g, c.b});
    auto fix = [&](float v) {
        if (n < 0)
            v = l + (v - l) * l / (l - n);
        if (x > 1)
            v = l + (v - l) * (1 - l) / (x - l);
        return v;
    };
    return {fix(c.r), fix(c.g), fix(c.b)};
}

Rgb SetLum(const Rgb& c, float l) {
    float d = l - Lum(c);
    return ClipColor({c.r + d, c.g + d, c.b + d});
}

float Sat(const Rgb& c) {
    return std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b});
}

Rgb SetSat(Rgb c, float s) {
    float* v[3] = {&c.r, &c.g, &c.b};
    std::sort(v, v + 3, [](float* a, float* b) { return *a < *b; });
    if (*v[2] > *v[0]) {
        *v[1] = (*v[1] - *v[0]) * s / (*v[2] - *v[0]);
        *v[2] = s;
    } else {
        *v[1] = *v[2] = 0;
    }
    *v[0] = 0;
    return c;
}

float Separable(FilterBlendMode mode, float b, float s) {
    auto screen = [](float x, float y) { return x + y - x * y; };
    auto hardLight = [&](float cb, float cs) {
        return cs <= 0.5f ? cb * 2 * cs : screen(cb, 2 * cs - 1);
    };
    switch (mode) {
    case FilterBlendMode::Multiply:
        return b * s;
    case FilterBlendMode::Screen:
        return screen(b, s);
    case FilterBlendMode::Overlay:
        return hardLight(s, b);
    case FilterBlendMode::Darken:
        return std::min(b, s);
    case FilterBlendMode::Lighten:
        return std::max(b, s);
    case FilterBlendMode::ColorDodge:
        return b == 0 ? 0 : s >= 1 ? 1 : std::min(1.0f, b / (1 - s));
    case FilterBlendMode::ColorBurn:
        return b >= 1 ? 1 : s <= 0 ? 0 : 1 - std::min(1.0f, (1 - b) / s);
    case FilterBlendMode::HardLight:
        return hardLight(b, s);
    case FilterBlendMode::SoftLight: {
        if (s <= 0.5f)
            return b - (1 - 2 * s) * b * (1 - b);
        float d = b <= 0.25f ? ((16 * b - 12) * b + 4) * b : std::sqrt(b);
        return b + (2 * s - 1) * (d - b);
    }
    case FilterBlendMode::Difference:
        return std::fabs(b - s);
    case FilterBlendMode::Exclusion:
        return b + s - 2 * b * s;
    default:
        return s;
    }
}

Rgb Blend(FilterBlendMode mode, const Rgb& b, const Rgb& s) {
    switch (mode) {
    case FilterBlendMode::Hue:
        return SetLum(SetSat(s, Sat(b)), Lum(b));
    case FilterBlendMode::Saturation:
        return SetLum(SetSat(b, Sat(s)), Lum(b));
    case FilterBlendMode::Color:
        return SetLum(s, Lum(b));
    case FilterBlendMode::Luminosity:
        return SetLum(b, Lum(s));
    default:
        return {Separable(mode, b.r, s.r), Separable(mode, b.g, s.g), Separable(mode, b.b, s.b)};
    }
}

// Premultiplied values (0 to 1) as a pixel, colours kept within alpha.
uint32_t PackPremultiplied(float a, float r, float g, float b) {
    uint32_t ab = Byte(a);
    return Pack(ab, std::min(ab, Byte(r)), std::min(ab, Byte(g)), std::min(ab, Byte(b)));
}

uint32_t Over(uint32_t top, uint32_t bottom) {
    uint32_t keep = 255 - A(top);
    if (keep == 0 || bottom == 0)
        return top;
    auto channel = [&](int shift) {
        return std::min(255u, ((top >> shift) & 0xFF) + Multiply((bottom >> shift) & 0xFF, keep));
    };
    return (channel(24) << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0);
}

} // namespace

void FilterBlendImage(const FilterImage& in, const FilterImage& in2, FilterImage& out,
                      FilterBlendMode mode, const FilterRect& area) {
    const FilterRect a = area.Intersect(in.Bounds());
    out.ClearOutside(a);
    for (int y = a.y0; y < a.y1; ++y) {
        const uint32_t *s = in.Row(y), *b = in2.Row(y);
        uint32_t* o = out.Row(y);
        for (int x = a.x0; x < a.x1; ++x) {
            if (mode == FilterBlendMode::Normal || b[x] == 0 || A(s[x]) == 0) {
                o[x] = Over(s[x], b[x]);
                continue;
            }
            float cs[4], cb[4];
            Unpremultiply(s[x], cs);
            Unpremultiply(b[x], cb);
            Rgb mixed = Blend(mode, {cb[0], cb[1], cb[2]}, {cs[0], cs[1], cs[2]});
            float as = cs[3], ab = cb[3], both = as * ab;
            auto channel = [&](float vs, float vb, float m) {
                return vs * as * (1 - ab) + vb * ab * (1 - as) + both * m;
            };
            o[x] =
                PackPremultiplied(as + ab * (1 - as), channel(cs[0], cb[0], mixed.r),
                                  channel(cs[1], cb[1], mixed.g), channel(cs[2], cb[2], mixed.b));
        }
    }
}

void FilterCompositeImage(const FilterImage& in, const FilterImage& in2, FilterImage& out,
                          const FilterComposite& c, const FilterRect& area) {
    const FilterRect a = area.Intersect(in.Bounds());
    out.ClearOutside(a);
    for (int y = a.y0; y < a.y1; ++y) {
        const uint32_t *s = in.Row(y), *b = in2.Row(y);
        uint32_t* o = out.Row(y);
        for (int x = a.x0; x < a.x1; ++x) {
            uint32_t p = s[x], q = b[x];
            uint32_t ap = A(p), aq = A(q);
            // Each channel of p times fp plus each of q times fq (bytes as fractions of 255).
            auto mix = [&](uint32_t fp, uint32_t fq) {
                auto channel = [&](int shift) {
                    return std::min(255u, Multiply((p >> shift) & 0xFF, fp) +
                                              Multiply((q >> shift) & 0xFF, fq));
                };
                return (channel(24) << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0);
            };
            switch (c.op) {
            case FilterCompositeOperator::Over:
                o[x] = Over(p, q);
                break;
            case FilterCompositeOperator::In:
                o[x] = mix(aq, 0);
                break;
            case FilterCompositeOperator::Out:
                o[x] = mix(255 - aq, 0);
                break;
            case FilterCompositeOperator::Atop:
                o[x] = mix(aq, 255 - ap);
                break;
            case FilterCompositeOperator::Xor:
                o[x] = mix(255 - aq, 255 - ap);
                break;
            case FilterCompositeOperator::Lighter:
                o[x] = mix(255, 255);
                break;
            case FilterCompositeOperator::Arithmetic: {
                float v[4];
                for (int i = 0; i < 4; ++i) {
                    int shift = 24 - 8 * i;
                    float i1 = ((p >> shift) & 0xFF) / 255.0f, i2 = ((q >> shift) & 0xFF) / 255.0f;
                    v[i] = c.k1 * i1 * i2 + c.k2 * i1 + c.k3 * i2 + c.k4;
                }
                o[x] = PackPremultiplied(v[0], v[1], v[2], v[3]);
                break;
            }
            }
        }
    }
}

void FilterOverImage(const FilterImage& layer, FilterImage& out, const FilterRect& area) {
    const FilterRect a = area.Intersect(out.Bounds());
    for (int y = a.y0; y < a.y1; ++y) {
        const uint32_t* s = layer.Row(y);
        uint32_t* o = out.Row(y);
        for (int x = a.x0; x < a.x1; ++x)
            if (s[x] != 0)
                o[x] = Over(s[x], o[x]);
    }
}

void FilterOffsetImage(const FilterImage& in, FilterImage& out, double dx, double dy,
                       const FilterRect& area) {
    const FilterRect a = area.Intersect(in.Bounds());
    out.ClearOutside(a);
    out.space = in.space;
    const int w = in.Width(), h = in.Height();
    if (!std::isfinite(dx) || !std::isfinite(dy))
        dx = dy = 0;
    // Source (x - dx, y - dy): whole pixels ix, iy and the weights (in
    // 1/256) of the next ones; a move past the whole picture leaves nothing.
    const double fx = std::floor(-dx), fy = std::floor(-dy);
    const uint32_t wx = uint32_t(std::lround((-dx - fx) * 256)) & 0x1FF,
                   wy = uint32_t(std::lround((-dy - fy) * 256)) & 0x1FF;
    const int ix = int(std::max(-w - 2.0, std::min(w + 2.0, fx)));
    const int iy = int(std::max(-h - 2.0, std::min(h + 2.0, fy)));
    auto at = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h ? in.Row(y)[x] : 0u; };
    for (int y = a.y0; y < a.y1; ++y) {
        uint32_t* o = out.Row(y);
        for (int x = a.x0; x < a.x1; ++x) {
            int sx = x + ix, sy = y + iy;
            if (wx == 0 && wy == 0) {
                o[x] = at(sx, sy);
                continue;
            }
            uint32_t p00 = at(sx, sy), p10 = at(sx + 1, sy), p01 = at(sx, sy + 1),
                     p11 = at(sx + 1, sy + 1);
            uint32_t r = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                auto c = [shift](uint32_t p) { return (p >> shift) & 0xFF; };
                uint32_t top = c(p00) * (256 - wx) + c(p10) * wx;
                uint32_t bottom = c(p01) * (256 - wx) + c(p11) * wx;
                r |= ((top * (256 - wy) + bottom * wy + 32768) >> 16) << shift;
            }
            o[x] = r;
        }
    }
}

void FilterTileImage(const FilterImage& in, const FilterRect& tile, FilterImage& out,
                     const FilterRect& area) {
    const FilterRect a = area.Intersect(out.Bounds());
    out.ClearOutside(a);
    out.space = in.space;
    const FilterRect t = tile.Intersect(in.Bounds());
    if (t.Empty())
        return;
    const int tw = t.Width(), th = t.Height();
    for (int y = a.y0; y < a.y1; ++y) {
        const uint32_t* src = in.Row(t.y0 + (((y - t.y0) % th) + th) % th);
        uint32_t* o = out.Row(y);
        for (int x = a.x0; x < a.x1; ++x)
            o[x] = src[t.x0 + (((x - t.x0) % tw) + tw) % tw];
    }
}
