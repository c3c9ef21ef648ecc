#pragma once

#include "filter/FilterImage.h"

#include <memory>
#include <variant>
#include <vector>

// A filter as the engine runs it: a graph of primitives over one buffer of
// pixels, every length already in that buffer's pixels and every input an
// index. The document layer builds it from filter elements and the filter
// property; nothing here knows of SVG documents.

// Inputs that are not the result of a primitive (which are indices from 0).
enum FilterInput : int {
    kFilterSourceGraphic = -1,
    kFilterSourceAlpha = -2,
    kFilterBackgroundImage = -3,
    kFilterBackgroundAlpha = -4,
    kFilterFillPaint = -5,
    kFilterStrokePaint = -6,
};

enum class FilterEdgeMode : uint8_t { None, Duplicate, Wrap };

// A straight (not premultiplied) sRGB colour, each value from 0 to 1.
struct FilterColor {
    float r = 0, g = 0, b = 0, a = 0;
};

enum class FilterBlendMode : uint8_t {
    Normal,
    Multiply,
    Screen,
    Overlay,
    Darken,
    Lighten,
    ColorDodge,
    ColorBurn,
    HardLight,
    SoftLight,
    Difference,
    Exclusion,
    Hue,
    Saturation,
    Color,
    Luminosity
};

// in blended over in2.
struct FilterBlend {
    FilterBlendMode mode = FilterBlendMode::Normal;
};

// Straight colour and alpha times a 4 × 5 matrix, row after row.
struct FilterColorMatrix {
    float m[20] = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
};

enum class FilterTransferType : uint8_t { Identity, Table, Discrete, Linear, Gamma };

struct FilterTransferFunction {
    FilterTransferType type = FilterTransferType::Identity;
    std::vector<float> table;
    float slope = 1, intercept = 0;
    float amplitude = 1, exponent = 1, offset = 0;
};

// One function for each of red, green, blue and alpha, on straight colour.
struct FilterComponentTransfer {
    FilterTransferFunction functions[4];
};

enum class FilterCompositeOperator : uint8_t { Over, In, Out, Atop, Xor, Lighter, Arithmetic };

// in composited with in2.
struct FilterComposite {
    FilterCompositeOperator op = FilterCompositeOperator::Over;
    float k1 = 0, k2 = 0, k3 = 0, k4 = 0;
};

struct FilterConvolveMatrix {
    int orderX = 3, orderY = 3;
    std::vector<float> kernel; // orderX × orderY values, row after row
    float divisor = 1, bias = 0;
    int targetX = 1, targetY = 1;
    FilterEdgeMode edge = FilterEdgeMode::Duplicate;
    bool preserveAlpha = false;
};

enum class FilterLightType : uint8_t { Distant, Point, Spot };

// Positions in the buffer's pixels; z in pixels too.
struct FilterLight {
    FilterLightType type = FilterLightType::Distant;
    float azimuth = 0, elevation = 0; // degrees
    float x = 0, y = 0, z = 0;
    float pointsAtX = 0, pointsAtY = 0, pointsAtZ = 0;
    float specularExponent = 1;
    bool hasCone = false;
    float coneAngle = 90; // degrees
};

struct FilterLighting {
    bool specular = false;
    float surfaceScale = 1;
    float constant = 1;         // diffuseConstant or specularConstant
    float specularExponent = 1; // of specular lighting
    FilterColor color{1, 1, 1, 1};
    FilterLight light;
};

enum class FilterChannel : uint8_t { R, G, B, A };

// in moved by the channels of in2.
struct FilterDisplacementMap {
    float scaleX = 0, scaleY = 0;
    FilterChannel xChannel = FilterChannel::A, yChannel = FilterChannel::A;
};

struct FilterDropShadow {
    float dx = 2, dy = 2;
    float stdDevX = 2, stdDevY = 2;
    FilterColor color{0, 0, 0, 1};
};

struct FilterFlood {
    FilterColor color{0, 0, 0, 1};
};

struct FilterGaussianBlur {
    float stdDevX = 0, stdDevY = 0;
    FilterEdgeMode edge = FilterEdgeMode::None;
};

// A picture drawn by the caller: premultiplied sRGB, of the buffer's size.
struct FilterImageInput {
    std::shared_ptr<const FilterImage> image;
};

// The inputs over one another, the first lowest.
struct FilterMerge {};

enum class FilterMorphologyOperator : uint8_t { Erode, Dilate };

struct FilterMorphology {
    FilterMorphologyOperator op = FilterMorphologyOperator::Erode;
    float radiusX = 0, radiusY = 0;
};

struct FilterOffset {
    float dx = 0, dy = 0;
};

// The input's subregion repeated over the primitive's.
struct FilterTile {};

// Noise computed in the filter's user space: toUser maps the centre-less
// corner of pixel (x, y) of the buffer there (x' = a·x + c·y + e, y' =
// b·x + d·y + f); stitching tiles fit the tile (user space) given.
struct FilterTurbulence {
    bool fractalNoise = false;
    double baseFrequencyX = 0, baseFrequencyY = 0;
    int octaves = 1;
    double seed = 0;
    bool stitchTiles = false;
    double tileX = 0, tileY = 0, tileWidth = 0, tileHeight = 0;
    double toUser[6] = {1, 0, 0, 1, 0, 0};
};

using FilterParameters =
    std::variant<FilterBlend, FilterColorMatrix, FilterComponentTransfer, FilterComposite,
                 FilterConvolveMatrix, FilterLighting, FilterDisplacementMap, FilterDropShadow,
                 FilterFlood, FilterGaussianBlur, FilterImageInput, FilterMerge, FilterMorphology,
                 FilterOffset, FilterTile, FilterTurbulence>;

struct FilterPrimitive {
    FilterParameters parameters;
    // in, then in2 (for a merge, one per node); earlier results by index.
    std::vector<int> inputs;
    // Where the result may be other than transparent.
    FilterRect subregion;
    FilterColorSpace space = FilterColorSpace::LinearRGB;
};

struct FilterDescription {
    int width = 0, height = 0; // the buffer
    std::vector<FilterPrimitive> primitives;
    // The paints of FillPaint and StrokePaint.
    FilterColor fillPaint, strokePaint;
};

// Limits of one run.
struct FilterLimits {
    // Pixels the buffers of a run may hold at once (the source included).
    size_t maxPixels = size_t(1) << 26;
    // Threads the heavy primitives may use for large buffers.
    int threads = 1;
    // Where the run's buffers come from and go back to; null for none.
    FilterPool* pool = nullptr;
};
