// Draws an SVG file into a bitmap and saves it as PNG: draw-png IN.svg OUT.png
#include "interface/KelSvg.h"
#include "platform/gdiplus/GdiPlus.h"

using namespace Gdiplus;

int main(int argc, char** argv) {
    if (argc != 3)
        return 1;
    CKelSvg picture;
    picture.CommandParseSVGFile(argv[1]);
    int x, y, width, height; // the document's own size
    picture.CommandGetSVGWinRect(x, y, width, height);
    if (width < 1 || height < 1)
        return 2;                                              // no picture
    picture.CommandSetSVGWinRect(0, 0, width * 2, height * 2); // optional: another size

    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width * 2, height * 2, 0, PixelFormat32bppARGB, nullptr,
                                  &bitmap) != Ok)
        return 3;
    {
        Graphics graphics(static_cast<GpImage*>(bitmap)); // any GDI+-style graphics
        picture.CommandDrawSVGGraphics(&graphics);
    }
    bool saved = GdipSaveImageToPngFileA(bitmap, argv[2]) == Ok;
    GdipDisposeImage(bitmap);
    return saved ? 0 : 3;
}
