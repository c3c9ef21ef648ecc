#include "GradientHarness.h"

#include "interface/KelSvg.h"

#include <cstdio>
#include <unistd.h>

using namespace Gdiplus;

TempSvgFile::TempSvgFile(const std::string& text) {
    char name[] = "/tmp/kelsvg-gradient-XXXXXX";
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

std::string SvgDocument(int width, int height, const std::string& body) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) +
           "\" height=\"" + std::to_string(height) + "\">" + body + "</svg>";
}

ParsedDocument::ParsedDocument(const std::string& body) : file(SvgDocument(100, 100, body)) {
    engine.Parse(file.Path().c_str());
}

Picture Draw(const std::string& body, int width, int height) {
    TempSvgFile file(SvgDocument(width, height, body));
    CKelSvg svg;
    std::string path = file.Path();
    svg.CommandParseSVGFile(&path[0]);
    svg.CommandSetSVGWinRect(0, 0, width, height);

    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(static_cast<size_t>(width) * height, 0);
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Ok)
        return picture;
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
    return picture;
}
