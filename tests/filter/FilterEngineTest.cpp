// The filter engine on plain buffers: the same result whatever the number of
// threads, limits that hold against absurd parameters, and the reach that
// decides how much content around the visible pixels a filter needs.

#include "filter/FilterConvolve.h"
#include "filter/FilterRunner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

// A picture of random premultiplied pixels, a third of them transparent.
void Noise(FilterImage& image, int width, int height) {
    ASSERT_TRUE(image.Allocate(width, height, false));
    std::mt19937 random(7);
    for (size_t i = 0; i < image.PixelCount(); ++i) {
        uint32_t a = random() % 3 == 0 ? 0 : random() % 256, c = a ? random() % (a + 1) : 0;
        image.Data()[i] = a << 24 | c << 16 | (c / 2) << 8 | (a - c);
    }
}

FilterPrimitive Primitive(FilterParameters parameters, int width, int height,
                          std::vector<int> inputs = {kFilterSourceGraphic}) {
    FilterPrimitive p;
    p.parameters = std::move(parameters);
    p.inputs = std::move(inputs);
    p.subregion = {0, 0, width, height};
    return p;
}

// Runs one description over a copy of source; the result's pixels.
std::vector<uint32_t> RunFilter(const FilterDescription& d, const FilterImage& source,
                                int threads) {
    FilterImage image;
    EXPECT_TRUE(image.Allocate(source.Width(), source.Height(), false));
    std::memcpy(image.Data(), source.Data(), 4 * source.PixelCount());
    FilterLimits limits;
    limits.threads = threads;
    EXPECT_TRUE(FilterRun(d, image, limits));
    return std::vector<uint32_t>(image.Data(), image.Data() + image.PixelCount());
}

TEST(FilterEngine, ThreadsGiveTheSamePixels) {
    const int w = 700, h = 600;
    FilterImage source;
    Noise(source, w, h);
    FilterTurbulence turbulence;
    turbulence.baseFrequencyX = turbulence.baseFrequencyY = 0.02;
    turbulence.octaves = 3;
    FilterLighting lighting;
    lighting.light = {FilterLightType::Spot, 0, 0, 300, 200, 150, 350, 300, 0, 2, true, 40};
    FilterMorphology morphology{FilterMorphologyOperator::Dilate, 3, 7};
    FilterConvolveMatrix convolve;
    convolve.kernel = {1, 2, 1, 0, 0, 0, -1, -2, -1};
    for (FilterParameters parameters :
         {FilterParameters(FilterGaussianBlur{4.5f, 1.5f, FilterEdgeMode::Wrap}),
          FilterParameters(FilterDropShadow{}), FilterParameters(morphology),
          FilterParameters(turbulence), FilterParameters(lighting), FilterParameters(convolve),
          FilterParameters(FilterDisplacementMap{30, -20, FilterChannel::R, FilterChannel::G})}) {
        FilterDescription d;
        d.width = w;
        d.height = h;
        d.primitives.push_back(
            Primitive(parameters, w, h, {kFilterSourceGraphic, kFilterSourceGraphic}));
        SCOPED_TRACE(parameters.index());
        EXPECT_EQ(RunFilter(d, source, 1), RunFilter(d, source, 3));
    }
}

// Parameters far beyond what changes a pixel cost no more than sensible ones.
TEST(FilterEngine, AbsurdParametersStayBounded) {
    const int w = 300, h = 200;
    FilterImage source;
    Noise(source, w, h);
    FilterTurbulence turbulence;
    turbulence.baseFrequencyX = turbulence.baseFrequencyY = 1e6;
    turbulence.octaves = 1000000000;
    FilterDescription d;
    d.width = w;
    d.height = h;
    d.primitives = {Primitive(FilterGaussianBlur{1e9f, 1e9f}, w, h),
                    Primitive(FilterMorphology{FilterMorphologyOperator::Dilate, 1e9f, 1e9f}, w, h,
                              {kFilterSourceGraphic}),
                    Primitive(turbulence, w, h, {}),
                    Primitive(FilterOffset{1e30f, -1e30f}, w, h, {kFilterSourceGraphic})};
    std::vector<uint32_t> pixels = RunFilter(d, source, 1);
    for (uint32_t p : pixels)
        ASSERT_EQ(p, 0u); // moved out of sight
    // The blur spreads the content over so much that nothing is left; the
    // dilation takes the largest value anywhere in the picture.
    d.primitives.resize(2);
    d.primitives[1].inputs = {0};
    EXPECT_EQ(RunFilter(d, source, 1)[12345], 0u);
    d.primitives[1].inputs = {kFilterSourceGraphic};
    EXPECT_EQ(RunFilter(d, source, 1)[0] >> 24, 255u);
    // A kernel too large to apply leaves its output alone.
    FilterConvolveMatrix huge;
    huge.orderX = huge.orderY = 3000;
    huge.kernel.assign(size_t(3000) * 3000, 1.0f);
    FilterImage out;
    ASSERT_TRUE(out.Allocate(w, h, true));
    EXPECT_FALSE(FilterConvolveImage(source, out, huge, source.Bounds(), 1));
}

// A run whose buffers would pass the limit is refused and changes nothing.
TEST(FilterEngine, RefusesRunsOverItsPixelLimit) {
    FilterImage source;
    Noise(source, 100, 100);
    FilterDescription d;
    d.width = d.height = 100;
    for (int i = 0; i < 5; ++i)
        d.primitives.push_back(
            Primitive(FilterOffset{1, 0}, 100, 100, {i == 0 ? kFilterSourceGraphic : i - 1}));
    FilterLimits limits;
    std::vector<uint32_t> before(source.Data(), source.Data() + source.PixelCount());
    // Each result is dropped once read: two pictures at a time suffice...
    limits.maxPixels = 100 * 100 * 3;
    EXPECT_TRUE(FilterRun(d, source, limits));
    // ...but not one.
    FilterImage again;
    Noise(again, 100, 100);
    limits.maxPixels = 100 * 100;
    EXPECT_FALSE(FilterRun(d, again, limits));
    EXPECT_EQ(std::vector<uint32_t>(again.Data(), again.Data() + again.PixelCount()), before);
}

TEST(FilterEngine, ReachAddsUpAlongTheGraph) {
    FilterDescription d;
    d.width = d.height = 50;
    d.primitives = {Primitive(FilterOffset{10.5f, -3}, 50, 50),
                    Primitive(FilterGaussianBlur{1, 0}, 50, 50, {0}),
                    Primitive(FilterFlood{}, 50, 50, {}), Primitive(FilterMerge{}, 50, 50, {1, 2}),
                    Primitive(FilterTile{}, 50, 50, {3})};
    long x = 0, y = 0;
    FilterReach(d, 3, x, y);
    EXPECT_EQ(x, 12 + 3); // the offset rounded up and a pixel, then 3 deviations
    EXPECT_EQ(y, 4);
    FilterReach(d, 2, x, y);
    EXPECT_EQ(x, 0);
    FilterReach(d, 4, x, y);
    EXPECT_EQ(x, -1); // a tile takes content from anywhere
}

} // namespace
