// Degenerate transforms drawn through the whole library: whatever one element's
// transform does, what is drawn outside that element stays as it was.
#include "interface/KelSvg.h"
#include "platform/gdiplus/GdiPlus.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

using namespace Gdiplus;

namespace {

// Draws svgText into a size x size bitmap and returns its ARGB pixels.
std::vector<ARGB> Draw(const std::string& svgText, int size) {
    std::vector<ARGB> pixels(static_cast<size_t>(size) * size, 0);
    char path[] = "/tmp/kelsvg-xform-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        return pixels;
    bool written = write(fd, svgText.data(), svgText.size()) == ssize_t(svgText.size());
    close(fd);
    if (written) {
        CKelSvg svg;
        svg.CommandParseSVGFile(path);
        svg.CommandSetSVGWinRect(0, 0, size, size);
        GpBitmap* bitmap = nullptr;
        if (GdipCreateBitmapFromScan0(size, size, 0, PixelFormat32bppARGB, nullptr, &bitmap) ==
            Ok) {
            {
                Graphics graphics(static_cast<GpImage*>(bitmap));
                svg.CommandDrawSVGGraphics(&graphics);
            }
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    GdipBitmapGetPixel(bitmap, x, y, &pixels[static_cast<size_t>(y) * size + x]);
            GdipDisposeImage(bitmap);
        }
    }
    std::remove(path);
    return pixels;
}

TEST(TransformRendering, DegenerateTransformLeavesSiblingsAlone) {
    const char* transforms[] = {"scale(0)", "matrix(0 0 0 0 0 0)", "scale(1e39)",
                                "scale(1e300) scale(1e300)",
                                "scale(1e200 -1e200) matrix(1e200 1e200 1e200 1e200 0 0)"};
    for (const char* transform : transforms) {
        std::string text =
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"20\">"
            "<rect x=\"0\" y=\"0\" width=\"10\" height=\"20\" fill=\"#0000ff\"/>"
            "<g transform=\"" +
            std::string(transform) +
            "\"><rect width=\"20\" height=\"20\" fill=\"red\"/>"
            "<rect transform=\"translate(1 1)\" width=\"5\" height=\"5\" fill=\"red\"/></g>"
            "<g transform=\"translate(10 0)\"><rect width=\"10\" height=\"20\" fill=\"lime\"/></g>"
            "</svg>";
        std::vector<ARGB> pixels = Draw(text, 20);
        EXPECT_EQ(pixels[10 * 20 + 5], 0xFF0000FFu) << transform;  // drawn before
        EXPECT_EQ(pixels[10 * 20 + 15], 0xFF00FF00u) << transform; // drawn after
        for (ARGB p : pixels)
            if (p == 0xFFFF0000u) {
                ADD_FAILURE() << transform << " drew its shape";
                break;
            }
    }
}

} // namespace
