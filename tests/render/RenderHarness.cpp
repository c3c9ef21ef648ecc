#include "RenderHarness.h"

#include "interface/KelSvg.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

using namespace Gdiplus;

TempSvgFile::TempSvgFile(const std::string& text) {
    char name[] = "/tmp/kelsvg-render-XXXXXX";
    int fd = mkstemp(name);
    if (fd >= 0) {
        path = name;
        ssize_t written = write(fd, text.data(), text.size());
        (void)written;
        close(fd);
    }
}

TempSvgFile::~TempSvgFile() {
    if (!path.empty())
        std::remove(path.c_str());
}

std::vector<Picture> RenderSvgTimes(const std::string& svgText, int width, int height,
                                    int renders) {
    TempSvgFile file(svgText);
    CKelSvg svg;
    std::string path = file.Path();
    svg.CommandParseSVGFile(&path[0]);
    svg.CommandSetSVGWinRect(0, 0, width, height);

    std::vector<Picture> pictures;
    for (int i = 0; i < renders; ++i) {
        Picture picture;
        picture.width = width;
        picture.height = height;
        picture.pixels.assign(static_cast<size_t>(width) * height, 0);
        GpBitmap* bitmap = nullptr;
        if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) ==
            Ok) {
            {
                Graphics graphics(static_cast<GpImage*>(bitmap));
                svg.CommandDrawSVGGraphics(&graphics);
            }
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    ARGB argb = 0;
                    GdipBitmapGetPixel(bitmap, x, y, &argb);
                    picture.pixels[static_cast<size_t>(y) * width + x] = argb;
                }
            GdipDisposeImage(bitmap);
        }
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

Picture RenderSvg(const std::string& svgText, int width, int height) {
    return RenderSvgTimes(svgText, width, height, 1).front();
}

std::string SvgDocument(int width, int height, const std::string& body) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "width=\"" +
           std::to_string(width) + "\" height=\"" + std::to_string(height) + "\">" + body +
           "</svg>";
}
