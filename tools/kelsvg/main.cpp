// kelsvg: renders SVG files to PNG images through the library's host surface.
#include "ToolInput.h"
#include "ToolOptions.h"

#include "interface/KelSvg.h"
#include "interface/KelSvgVersion.h"
#include "platform/gdiplus/GdiPlus.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace {

enum ExitCode { ExitOk = 0, ExitUsage = 1, ExitInput = 2, ExitOutput = 3 };

void Report(const std::string& file, const std::string& message) {
    std::fprintf(stderr, "kelsvg: %s: %s\n", file.c_str(), message.c_str());
}

// The window size: what was asked for, the other side in the document's
// aspect ratio (docWidth : docHeight) when only one was given, else the
// document's own size as the library reports it.
void ChooseWindow(const ToolOptions& options, double docWidth, double docHeight, int& width,
                  int& height) {
    auto scaled = [](int given, double numerator, double denominator) {
        if (!(denominator > 0) || !(numerator > 0))
            return 0;
        double side = std::round(given * numerator / denominator);
        if (side < 1)
            return 1;
        return side > kMaxImageSide ? kMaxImageSide + 1 : static_cast<int>(side);
    };
    if (options.width && options.height) {
        width = options.width;
        height = options.height;
    } else if (options.width) {
        width = options.width;
        height = scaled(options.width, docHeight, docWidth);
    } else if (options.height) {
        height = options.height;
        width = scaled(options.height, docWidth, docHeight);
    }
}

// True when output names the very file input is (writing would destroy it).
bool SameFile(const std::string& input, const std::string& output) {
    struct stat in, out;
    return stat(input.c_str(), &in) == 0 && stat(output.c_str(), &out) == 0 &&
           in.st_dev == out.st_dev && in.st_ino == out.st_ino;
}

int RenderOne(CKelSvg& picture, const ToolOptions& options, const std::string& input,
              const std::string& output) {
    if (SameFile(input, output)) {
        Report(output, "the output would overwrite the input");
        return ExitUsage;
    }
    ToolInput checked = InspectInput(input);
    if (!checked.ok) {
        Report(input, checked.problem);
        return ExitInput;
    }
    bool sizeGiven = options.width && options.height;
    if (!sizeGiven && !checked.HasSize()) {
        Report(input, "the document has no size (give --width and --height)");
        return ExitInput;
    }

    std::vector<char> path(input.begin(), input.end());
    path.push_back('\0');
    picture.CommandParseSVGFile(path.data());
    int x = 0, y = 0, docWidth = 0, docHeight = 0;
    picture.CommandGetSVGWinRect(x, y, docWidth, docHeight);
    if (options.width || options.height) {
        int width = docWidth, height = docHeight;
        // The ratio from the unrounded size where the check found one.
        if (checked.HasSize())
            ChooseWindow(options, checked.width, checked.height, width, height);
        else
            ChooseWindow(options, docWidth, docHeight, width, height);
        picture.CommandSetSVGWinRect(0, 0, width, height);
    }
    int width = 0, height = 0;
    picture.CommandGetSVGWinRect(x, y, width, height);
    if (width < 1 || height < 1) {
        Report(input, "the document has no size (give --width and --height)");
        return ExitInput;
    }
    if (width > kMaxImageSide || height > kMaxImageSide) {
        Report(input, "the image would be " + std::to_string(width) + "x" + std::to_string(height) +
                          " pixels, more than " + std::to_string(kMaxImageSide) + " a side");
        return ExitInput;
    }
    if (static_cast<long long>(width) * height > kMaxImagePixels) {
        Report(input, "the image would be " + std::to_string(width) + "x" + std::to_string(height) +
                          " pixels, more than " + std::to_string(kMaxImagePixels) +
                          " in all (give a smaller --width or --height)");
        return ExitInput;
    }

    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Ok ||
        !bitmap) {
        Report(output, "cannot create a " + std::to_string(width) + "x" + std::to_string(height) +
                           " image (out of memory)");
        return ExitOutput;
    }
    if (options.cache)
        picture.CommandCreateBitmapCache();

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
    errno = 0;
    Status saved = GdipSaveImageToPngFileA(bitmap, output.c_str());
    GdipDisposeImage(bitmap);
    if (saved != Ok) {
        Report(output, std::string("cannot write the image") +
                           (errno ? std::string(": ") + std::strerror(errno) : std::string()));
        return ExitOutput;
    }
    return ExitOk;
}

// DIR/NAME.png for INPUT: the file name without its directory and ".svg".
std::string OutputPathFor(const std::string& dir, const std::string& input) {
    std::string name = input;
    size_t slash = name.find_last_of('/');
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name = name.substr(0, dot);
    std::string path = dir;
    if (path.back() != '/')
        path += '/';
    return path + name + ".png";
}

} // namespace

int main(int argc, char** argv) {
    ToolOptions options;
    std::string error;
    if (!ParseToolOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "kelsvg: %s\n%s", error.c_str(), ToolUsage());
        return ExitUsage;
    }
    if (options.help) {
        std::fputs(ToolUsage(), stdout);
        return ExitOk;
    }
    if (options.version) {
        std::printf("kelsvg %s\n", KelSvgVersion());
        return ExitOk;
    }

    CKelSvg picture;
    if (options.outDir.empty())
        return RenderOne(picture, options, options.inputs[0], options.output);

    struct stat info;
    if (stat(options.outDir.c_str(), &info) != 0) {
        if (mkdir(options.outDir.c_str(), 0777) != 0) {
            Report(options.outDir,
                   std::string("cannot create the directory: ") + std::strerror(errno));
            return ExitOutput;
        }
    } else if (!S_ISDIR(info.st_mode)) {
        Report(options.outDir, "not a directory");
        return ExitOutput;
    }
    int worst = ExitOk;
    std::set<std::string> written;
    for (const std::string& input : options.inputs) {
        std::string output = OutputPathFor(options.outDir, input);
        if (!written.insert(output).second) {
            // Two inputs of the same name: keep the first one's image.
            Report(input,
                   "not rendered: " + output + " already holds the image of an earlier input");
            worst = worst > ExitOutput ? worst : ExitOutput;
            continue;
        }
        int code = RenderOne(picture, options, input, output);
        if (code > worst)
            worst = code;
    }
    return worst;
}
