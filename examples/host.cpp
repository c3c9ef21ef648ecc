// A small host of the library: draws an SVG file into a window-sized bitmap
// twice, once directly and once from the bitmap cache, and saves both as PNG.
//
// Build against an installed library:
//   c++ -std=c++17 examples/host.cpp $(pkg-config --cflags --libs kelsvg) -o host
// or against a build tree:
//   c++ -std=c++17 -I. examples/host.cpp -Lbuild -lkelsvg -Wl,-rpath,$PWD/build -o host
// Run: ./host examples/hello.svg
#include "interface/KelSvg.h"
#include "platform/gdiplus/GdiPlus.h"

#include <cstdio>

using namespace Gdiplus;

// Draws picture onto a new width x height bitmap through a device context,
// over an opaque white window, and saves it.
static bool DrawToPng(CKelSvg& picture, int width, int height, const char* path) {
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Ok)
        return false;
    {
        Graphics window(static_cast<GpImage*>(bitmap));
        window.Clear(Color(255, 255, 255));
    }
    HDC hdc = CreateBitmapDC(bitmap);
    CDC dc(hdc);
    picture.CommandDrawSVG(&dc); // a repaint
    dc.Detach();
    DeleteDC(hdc);
    bool saved = GdipSaveImageToPngFileA(bitmap, path) == Ok;
    GdipDisposeImage(bitmap);
    return saved;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: host FILE.svg\n");
        return 1;
    }
    CKelSvg picture;
    picture.CommandParseSVGFile(argv[1]);

    // The library reports nothing; a document's size of 0 means there was none.
    int x, y, width, height;
    picture.CommandGetSVGWinRect(x, y, width, height);
    if (width < 1 || height < 1) {
        std::fprintf(stderr, "host: %s: no picture\n", argv[1]);
        return 2;
    }

    // Direct drawing, the picture placed 10 pixels into a window with a margin.
    picture.CommandDrawSVGWinRect(nullptr, 10, 10, width, height);
    if (!DrawToPng(picture, width + 20, height + 20, "host-direct.png"))
        return 3;

    // Cached drawing: render once at half size, then every repaint is one copy.
    picture.CommandSetSVGWinRect(10, 10, width / 2, height / 2);
    picture.CommandCreateBitmapCache();
    if (!DrawToPng(picture, width / 2 + 20, height / 2 + 20, "host-cached.png"))
        return 3;
    std::printf("wrote host-direct.png and host-cached.png\n");
    return 0;
}
