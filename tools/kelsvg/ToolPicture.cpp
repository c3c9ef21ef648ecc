#include "ToolPicture.h"

#include "ToolInput.h"
#include "ToolOptions.h"

#include "interface/KelSvg.h"
#include "platform/gdiplus/GdiPlus.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Gdiplus;

namespace {

ToolProblem Problem(int code, const std::string& message) {
    return {code, message};
}

// A side of the image from a length in pixels: at least 1, and past the
// limit when the length is (so that the size check refuses it); 0 for none.
int Side(double length) {
    if (!(length > 0))
        return 0;
    double side = std::round(length);
    if (side < 1)
        return 1;
    return side > kMaxVectorSide ? kMaxVectorSide + 1 : static_cast<int>(side);
}

// The image's size and the picture's window in it, for a document of
// docWidth x docHeight.
void ChooseWindow(const ToolOptions& options, double docWidth, double docHeight, ToolWindow& w) {
    if (options.width && options.height) {
        w.width = options.width;
        w.height = options.height;
    } else if (options.width) {
        w.width = options.width;
        w.height = docWidth > 0 ? Side(options.width * docHeight / docWidth) : 0;
    } else if (options.height) {
        w.height = options.height;
        w.width = docHeight > 0 ? Side(options.height * docWidth / docHeight) : 0;
    } else if (options.zoom > 0) {
        w.width = Side(docWidth * options.zoom);
        w.height = Side(docHeight * options.zoom);
    }
    w.x = w.y = 0;
    w.pictureWidth = w.width;
    w.pictureHeight = w.height;
    if (options.keepAspect && options.width && options.height && docWidth > 0 && docHeight > 0) {
        double scale = std::min(w.width / docWidth, w.height / docHeight);
        w.pictureWidth = std::clamp(Side(docWidth * scale), 1, w.width);
        w.pictureHeight = std::clamp(Side(docHeight * scale), 1, w.height);
        w.x = (w.width - w.pictureWidth) / 2;
        w.y = (w.height - w.pictureHeight) / 2;
    }
}

} // namespace

std::string DiagnoseInput(const std::string& input, KelSvgParseResult result) {
    ToolInput checked = InspectInput(input);
    if (!checked.ok)
        return checked.problem;
    // The file changed since the library read it.
    switch (result) {
    case KelSvgUnreadable:
        return "cannot read the file";
    case KelSvgNotXml:
        return "not well-formed XML";
    case KelSvgDamagedInput:
        return "damaged gzip data";
    default:
        return "not SVG: no top-level <svg> element";
    }
}

ToolProblem LoadPicture(CKelSvg& picture, const ToolOptions& options, const std::string& input,
                        ToolWindow& window, bool vector) {
    std::vector<char> path(input.begin(), input.end());
    path.push_back('\0');
    picture.KelSetBaseDir(options.baseDir.c_str());
    picture.KelSetUserStyleSheet(options.styleSheet.c_str());
    picture.KelSetDpi(options.dpi);
    picture.CommandParseSVGFile(path.data());
    float docWidth = 0, docHeight = 0;
    KelSvgParseResult result = picture.KelGetParseResult(docWidth, docHeight);
    if (result != KelSvgParsed)
        return Problem(ExitInput, DiagnoseInput(input, result));

    int x = 0, y = 0, width = 0, height = 0;
    picture.CommandGetSVGWinRect(x, y, width, height);
    window = ToolWindow{width, height, 0, 0, width, height};
    if (options.width || options.height || options.zoom > 0) {
        ChooseWindow(options, docWidth, docHeight, window);
        picture.CommandSetSVGWinRect(window.x, window.y, window.pictureWidth, window.pictureHeight);
    } else if (Side(docWidth) != width || Side(docHeight) != height) {
        // A size of 99.6 makes an image of 100 pixels, not 99.
        window.width = window.pictureWidth = Side(docWidth);
        window.height = window.pictureHeight = Side(docHeight);
        if (window.width > 0 && window.height > 0)
            picture.CommandSetSVGWinRect(0, 0, window.width, window.height);
    }
    width = window.width;
    height = window.height;
    if (width < 1 || height < 1)
        return Problem(ExitInput, "the document has no size (give --width and --height)");
    std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (vector) {
        if (width > kMaxVectorSide || height > kMaxVectorSide)
            return Problem(ExitInput, "the image would be " + size + " pixels, more than " +
                                          std::to_string(kMaxVectorSide) + " a side");
    } else if (width > kMaxImageSide || height > kMaxImageSide) {
        return Problem(ExitInput, "the image would be " + size + " pixels, more than " +
                                      std::to_string(kMaxImageSide) + " a side");
    }
    if (!vector && static_cast<long long>(width) * height > kMaxImagePixels) {
        return Problem(ExitInput, "the image would be " + size + " pixels, more than " +
                                      std::to_string(kMaxImagePixels) +
                                      " in all (give a smaller --width or --height)");
    }
    if (!options.id.empty() && !picture.KelDrawOnlyElement(options.id.c_str()))
        return Problem(ExitInput, "no element has the id '" + options.id + "'");
    if (options.cache)
        picture.CommandCreateBitmapCache();
    return {};
}

ToolProblem DrawPicture(CKelSvg& picture, const ToolOptions& options, const ToolWindow& window,
                        GpBitmap*& bitmap) {
    bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(window.width, window.height, 0, PixelFormat32bppARGB, nullptr,
                                  &bitmap) != Ok ||
        !bitmap) {
        bitmap = nullptr;
        return Problem(ExitOutput, "cannot create a " + std::to_string(window.width) + "x" +
                                       std::to_string(window.height) + " image (out of memory)");
    }
    if (options.hasBackground) {
        Graphics background(static_cast<GpImage*>(bitmap));
        background.Clear(Color(options.background));
    }
    if (options.dc) {
        HDC hdc = CreateBitmapDC(bitmap);
        CDC dc(hdc);
        picture.CommandDrawSVG(&dc);
        DeleteDC(hdc);
    } else {
        Graphics graphics(static_cast<GpImage*>(bitmap));
        picture.CommandDrawSVGGraphics(&graphics);
    }
    return {};
}
