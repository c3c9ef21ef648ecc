#include "filter/FilterLighting.h"

#include "filter/FilterParallel.h"

#include <cmath>

namespace {

constexpr double kDegrees = M_PI / 180;

// Alpha from 0 to 1 at (x, y), known to lie in the image.
inline double Alpha(const FilterImage& in, int x, int y) {
    return FilterPixel::A(in.Row(y)[x]) / 255.0;
}

// The slope of alpha along x at (x, y): the differences of the rows around
// it (weighted 1, 2, 1), each across two pixels, or twice the one-sided
// difference at an edge. This is SVG's Sobel kernels, edges and corners
// included.
double SlopeX(const FilterImage& in, int x, int y) {
    const int w = in.Width(), h = in.Height();
    double sum = 0, weights = 0;
    for (int r = y - 1; r <= y + 1; ++r) {
        if (r < 0 || r >= h)
            continue;
        double weight = r == y ? 2 : 1;
        double d = 0;
        if (x > 0 && x + 1 < w)
            d = Alpha(in, x + 1, r) - Alpha(in, x - 1, r);
        else if (x + 1 < w)
            d = 2 * (Alpha(in, x + 1, r) - Alpha(in, x, r));
        else if (x > 0)
            d = 2 * (Alpha(in, x, r) - Alpha(in, x - 1, r));
        sum += weight * d;
        weights += weight;
    }
    return sum / weights;
}

double SlopeY(const FilterImage& in, int x, int y) {
    const int w = in.Width(), h = in.Height();
    double sum = 0, weights = 0;
    for (int c = x - 1; c <= x + 1; ++c) {
        if (c < 0 || c >= w)
            continue;
        double weight = c == x ? 2 : 1;
        double d = 0;
        if (y > 0 && y + 1 < h)
            d = Alpha(in, c, y + 1) - Alpha(in, c, y - 1);
        else if (y + 1 < h)
            d = 2 * (Alpha(in, c, y + 1) - Alpha(in, c, y));
        else if (y > 0)
            d = 2 * (Alpha(in, c, y) - Alpha(in, c, y - 1));
        sum += weight * d;
        weights += weight;
    }
    return sum / weights;
}

struct Vec {
    double x, y, z;
    double Dot(const Vec& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec Unit() const {
        double n = std::sqrt(Dot(*this));
        return n > 0 ? Vec{x / n, y / n, z / n} : Vec{0, 0, 0};
    }
};

} // namespace

void FilterLightingImage(const FilterImage& in, FilterImage& out, const FilterLighting& lighting,
                         const FilterRect& area, int threads) {
    using namespace FilterPixel;
    const FilterRect a = area.Intersect(in.Bounds());
    out.ClearOutside(a);
    const FilterLight& light = lighting.light;
    const double color[3] = {lighting.color.r, lighting.color.g, lighting.color.b};
    const double ss = lighting.surfaceScale;
    const Vec distant{std::cos(light.azimuth * kDegrees) * std::cos(light.elevation * kDegrees),
                      std::sin(light.azimuth * kDegrees) * std::cos(light.elevation * kDegrees),
                      std::sin(light.elevation * kDegrees)};
    const Vec spot =
        Vec{light.pointsAtX - light.x, light.pointsAtY - light.y, light.pointsAtZ - light.z}.Unit();
    const double cone = std::cos(std::min(90.0f, std::fabs(light.coneAngle)) * kDegrees);
    FilterParallel(a.Height(), threads, 32, [&](int begin, int end) {
        for (int y = a.y0 + begin; y < a.y0 + end; ++y) {
            uint32_t* row = out.Row(y);
            for (int x = a.x0; x < a.x1; ++x) {
                Vec normal = Vec{-ss * SlopeX(in, x, y), -ss * SlopeY(in, x, y), 1}.Unit();
                Vec toLight = distant;
                double strength = 1;
                if (light.type != FilterLightType::Distant) {
                    double z = ss * Alpha(in, x, y);
                    toLight = Vec{light.x - x, light.y - y, light.z - z}.Unit();
                    if (light.type == FilterLightType::Spot) {
                        double along = -toLight.Dot(spot);
                        if (along <= 0 || (light.hasCone && along < cone))
                            strength = 0;
                        else
                            strength = std::pow(along, double(light.specularExponent));
                    }
                }
                double factor;
                if (lighting.specular) {
                    Vec half = Vec{toLight.x, toLight.y, toLight.z + 1}.Unit();
                    double nh = normal.Dot(half);
                    factor =
                        nh > 0 ? lighting.constant * std::pow(nh, double(lighting.specularExponent))
                               : 0;
                } else {
                    factor = lighting.constant * std::max(0.0, normal.Dot(toLight));
                }
                uint32_t c[3];
                for (int i = 0; i < 3; ++i)
                    c[i] = Byte(float(factor * strength * color[i]));
                uint32_t alpha = lighting.specular ? std::max({c[0], c[1], c[2]}) : 255u;
                row[x] = Pack(alpha, c[0], c[1], c[2]);
            }
        }
    });
}
