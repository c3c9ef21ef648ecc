#include "filter/FilterTurbulence.h"

#include "filter/FilterParallel.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr int kBSize = 0x100;
constexpr int kBMask = 0xFF;
constexpr int kPerlinN = 0x1000;

// The lattice of one seed: a permutation and a unit gradient per point and
// channel, from the Park-Miller generator, in the reference code's order.
struct Lattice {
    int selector[kBSize + kBSize + 2];
    double gradient[4][kBSize + kBSize + 2][2];

    static constexpr long kM = 2147483647; // 2^31 - 1
    static constexpr long kA = 16807;      // 7^5
    static constexpr long kQ = 127773;     // m / a
    static constexpr long kR = 2836;       // m % a

    static long Random(long seed) {
        long result = kA * (seed % kQ) - kR * (seed / kQ);
        return result <= 0 ? result + kM : result;
    }

    explicit Lattice(long seed) {
        if (seed <= 0)
            seed = -(seed % (kM - 1)) + 1;
        if (seed > kM - 1)
            seed = kM - 1;
        int i = 0;
        for (int k = 0; k < 4; ++k) {
            for (i = 0; i < kBSize; ++i) {
                selector[i] = i;
                for (int j = 0; j < 2; ++j) {
                    seed = Random(seed);
                    gradient[k][i][j] = double((seed % (kBSize + kBSize)) - kBSize) / kBSize;
                }
                double s = std::sqrt(gradient[k][i][0] * gradient[k][i][0] +
                                     gradient[k][i][1] * gradient[k][i][1]);
                gradient[k][i][0] /= s;
                gradient[k][i][1] /= s;
            }
        }
        while (--i) {
            int k = selector[i];
            seed = Random(seed);
            int j = int(seed % kBSize);
            selector[i] = selector[j];
            selector[j] = k;
        }
        for (i = 0; i < kBSize + 2; ++i) {
            selector[kBSize + i] = selector[i];
            for (int k = 0; k < 4; ++k)
                for (int j = 0; j < 2; ++j)
                    gradient[k][kBSize + i][j] = gradient[k][i][j];
        }
    }
};

struct Stitch {
    long width, height, wrapX, wrapY;
};

// The integer part as the reference code's cast takes it (toward zero),
// kept in range for far coordinates.
inline long Whole(double t) {
    return std::fabs(t) < 4e18 ? long(t) : 0;
}

inline double SCurve(double t) {
    return t * t * (3. - 2. * t);
}

inline double Lerp(double t, double a, double b) {
    return a + t * (b - a);
}

// The noise of the four channels at (vx, vy): the lattice cell and its
// weights are shared, each channel has gradients of its own.
void Noise4(const Lattice& l, double vx, double vy, const Stitch* stitch, double out[4]) {
    double t = vx + kPerlinN;
    long bx0 = Whole(t) & kBMask, bx1 = (bx0 + 1) & kBMask;
    double rx0 = t - double(Whole(t)), rx1 = rx0 - 1.0;
    t = vy + kPerlinN;
    long by0 = Whole(t) & kBMask, by1 = (by0 + 1) & kBMask;
    double ry0 = t - double(Whole(t)), ry1 = ry0 - 1.0;
    // As the reference code has it: the lattice indices are already taken
    // modulo its size here, so the stitching frequencies do the work.
    if (stitch) {
        if (bx0 >= stitch->wrapX)
            bx0 -= stitch->width;
        if (bx1 >= stitch->wrapX)
            bx1 -= stitch->width;
        if (by0 >= stitch->wrapY)
            by0 -= stitch->height;
        if (by1 >= stitch->wrapY)
            by1 -= stitch->height;
    }
    bx0 &= kBMask;
    bx1 &= kBMask;
    by0 &= kBMask;
    by1 &= kBMask;
    int i = l.selector[bx0], j = l.selector[bx1];
    int b00 = l.selector[i + by0], b10 = l.selector[j + by0];
    int b01 = l.selector[i + by1], b11 = l.selector[j + by1];
    double sx = SCurve(rx0), sy = SCurve(ry0);
    for (int channel = 0; channel < 4; ++channel) {
        const double* q = l.gradient[channel][b00];
        double u = rx0 * q[0] + ry0 * q[1];
        q = l.gradient[channel][b10];
        double v = rx1 * q[0] + ry0 * q[1];
        double a = Lerp(sx, u, v);
        q = l.gradient[channel][b01];
        u = rx0 * q[0] + ry1 * q[1];
        q = l.gradient[channel][b11];
        v = rx1 * q[0] + ry1 * q[1];
        double b = Lerp(sx, u, v);
        out[channel] = Lerp(sy, a, b);
    }
}

// The base frequency nearest f that fits a whole number of periods in size.
double StitchedFrequency(double f, double size) {
    if (f == 0)
        return f;
    double low = std::floor(size * f) / size, high = std::ceil(size * f) / size;
    return f / low < high / f ? low : high;
}

} // namespace

void FilterTurbulenceImage(FilterImage& out, const FilterTurbulence& t, const FilterRect& area,
                           int threads) {
    using namespace FilterPixel;
    const FilterRect a = area.Intersect(out.Bounds());
    out.ClearOutside(a);
    double fx = t.baseFrequencyX, fy = t.baseFrequencyY;
    Stitch stitch{0, 0, 0, 0};
    // Stitching needs a tile of whole lattice cells that the octaves can
    // double without leaving the range of the integers.
    bool stitching = t.stitchTiles && t.tileWidth > 0 && t.tileHeight > 0;
    if (stitching) {
        fx = StitchedFrequency(fx, t.tileWidth);
        fy = StitchedFrequency(fy, t.tileHeight);
        const double limit = double(1L << 30);
        double values[4] = {t.tileWidth * fx, t.tileHeight * fy, t.tileX * fx, t.tileY * fy};
        for (double v : values)
            stitching = stitching && std::fabs(v) < limit;
    }
    if (stitching) {
        stitch.width = long(t.tileWidth * fx + 0.5);
        stitch.wrapX = long(t.tileX * fx + kPerlinN + double(stitch.width));
        stitch.height = long(t.tileHeight * fy + 0.5);
        stitch.wrapY = long(t.tileY * fy + kPerlinN + double(stitch.height));
    }
    const int octaves = std::max(0, std::min(t.octaves, kFilterMaxOctaves));
    const Lattice lattice(Whole(t.seed));
    const double* m = t.toUser;
    FilterParallel(a.Height(), threads, 16, [&](int begin, int end) {
        for (int y = a.y0 + begin; y < a.y0 + end; ++y) {
            uint32_t* row = out.Row(y);
            for (int x = a.x0; x < a.x1; ++x) {
                double px = m[0] * x + m[2] * y + m[4], py = m[1] * x + m[3] * y + m[5];
                Stitch st = stitch;
                double vx = px * fx, vy = py * fy, ratio = 1;
                double sum[4] = {0, 0, 0, 0}, n[4];
                for (int o = 0; o < octaves; ++o) {
                    Noise4(lattice, vx, vy, stitching ? &st : nullptr, n);
                    for (int c = 0; c < 4; ++c)
                        sum[c] += (t.fractalNoise ? n[c] : std::fabs(n[c])) / ratio;
                    vx *= 2;
                    vy *= 2;
                    ratio *= 2;
                    if (stitching) {
                        st.width *= 2;
                        st.wrapX = 2 * st.wrapX - kPerlinN;
                        st.height *= 2;
                        st.wrapY = 2 * st.wrapY - kPerlinN;
                    }
                }
                float rgba[4];
                for (int c = 0; c < 4; ++c)
                    rgba[c] = float(t.fractalNoise ? (sum[c] + 1) / 2 : sum[c]);
                row[x] = Premultiply(rgba);
            }
        }
    });
}
