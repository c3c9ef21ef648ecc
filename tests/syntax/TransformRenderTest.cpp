// Degenerate transforms drawn through the whole library: whatever one element's
// transform does, what is drawn outside that element stays as it was.
#include "SvgTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TransformRendering, DegenerateTransformLeavesSiblingsAlone) {
    const char* transforms[] = {"scale(0)", "matrix(0 0 0 0 0 0)", "scale(1e39)",
                                "scale(1e300) scale(1e300)",
                                "scale(1e200 -1e200) matrix(1e200 1e200 1e200 1e200 0 0)"};
    for (const char* transform : transforms) {
        std::string body =
            "<rect x=\"0\" y=\"0\" width=\"10\" height=\"20\" fill=\"#0000ff\"/>"
            "<g transform=\"" +
            std::string(transform) +
            "\"><rect width=\"20\" height=\"20\" fill=\"red\"/>"
            "<rect transform=\"translate(1 1)\" width=\"5\" height=\"5\" fill=\"red\"/></g>"
            "<g transform=\"translate(10 0)\"><rect width=\"10\" height=\"20\" fill=\"lime\"/></g>";
        std::vector<uint32_t> pixels = Draw(body, 20, 20).pixels;
        EXPECT_EQ(pixels[10 * 20 + 5], 0xFF0000FFu) << transform;  // drawn before
        EXPECT_EQ(pixels[10 * 20 + 15], 0xFF00FF00u) << transform; // drawn after
        for (uint32_t p : pixels)
            if (p == 0xFFFF0000u) {
                ADD_FAILURE() << transform << " drew its shape";
                break;
            }
    }
}

} // namespace
