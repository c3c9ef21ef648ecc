#pragma once

// One picture loaded and drawn the way kelsvg's options say: shared by the
// tool and the Python module, so that both size pictures alike and tell the
// same things about bad inputs.

#include "interface/KelSvg.h"

#include <string>

struct ToolOptions;
namespace Gdiplus {
class GpBitmap;
}

enum ToolExit { ExitOk = 0, ExitUsage = 1, ExitInput = 2, ExitOutput = 3 };

// A problem with an input or an output: the exit code and the tool's words
// for it (without the file's name).
struct ToolProblem {
    int code = ExitOk;
    std::string message;
    explicit operator bool() const { return code != ExitOk; }
};

// The image's size, and the window the picture is drawn into inside it.
struct ToolWindow {
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;
};

// Why the library found no picture in input (the result of its parse), in
// the words of the tool's own check of the file.
std::string DiagnoseInput(const std::string& input, KelSvgParseResult result);

// Parses input into picture (the one reading of the file when it holds a
// picture) and sets its window: the document's size, scaled
// by the zoom, or the width and height given (with one of them, the other
// keeps the document's aspect ratio; with both and keepAspect, the picture
// fits inside them, centred). Sides are rounded to the nearest pixel.
// Refuses inputs that are not SVG, have no size, or would make an image past
// the tool's limits (a vector image has no bitmap's limits). Builds the
// bitmap cache when the options ask for it.
ToolProblem LoadPicture(CKelSvg& picture, const ToolOptions& options, const std::string& input,
                        ToolWindow& window, bool vector = false);

// Draws the loaded picture onto a new bitmap of the image's size: over the
// background when one is given, through a device context or a graphics
// object. The caller disposes of the bitmap.
ToolProblem DrawPicture(CKelSvg& picture, const ToolOptions& options, const ToolWindow& window,
                        Gdiplus::GpBitmap*& bitmap);
