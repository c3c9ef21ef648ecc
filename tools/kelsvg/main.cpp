// kelsvg: renders SVG files to PNG images through the library's host surface.
#include "ToolInput.h"
#include "ToolOptions.h"

#include "interface/KelSvg.h"
#include "interface/KelSvgVersion.h"
#include "platform/gdiplus/GdiPlus.h"

#include <sched.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

using namespace Gdiplus;

namespace {

enum ExitCode { ExitOk = 0, ExitUsage = 1, ExitInput = 2, ExitOutput = 3 };

// What became of one input: the exit code and, unless all went well, the
// whole line that tells why on standard error.
struct Outcome {
    int code = ExitOk;
    std::string message;
};

Outcome Problem(int code, const std::string& file, const std::string& message) {
    return {code, "kelsvg: " + file + ": " + message + "\n"};
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

// Why the library found no picture in input, in the words of the tool's own
// check of the file.
std::string Diagnose(const std::string& input, KelSvgParseResult result) {
    ToolInput checked = InspectInput(input);
    if (!checked.ok)
        return checked.problem;
    // The file changed since the library read it.
    switch (result) {
    case KelSvgUnreadable:
        return "cannot read the file";
    case KelSvgNotXml:
        return "not well-formed XML";
    default:
        return "not SVG: no top-level <svg> element";
    }
}

// Parses input into picture (the one reading and parsing of the file) and
// sets the window; gives the image's size.
Outcome LoadInput(CKelSvg& picture, const ToolOptions& options, const std::string& input,
                  int& width, int& height) {
    std::vector<char> path(input.begin(), input.end());
    path.push_back('\0');
    picture.CommandParseSVGFile(path.data());
    float docWidth = 0, docHeight = 0;
    KelSvgParseResult result = picture.KelGetParseResult(docWidth, docHeight);
    if (result != KelSvgParsed)
        return Problem(ExitInput, input, Diagnose(input, result));

    int x = 0, y = 0;
    if (options.width || options.height) {
        picture.CommandGetSVGWinRect(x, y, width, height);
        ChooseWindow(options, docWidth, docHeight, width, height);
        picture.CommandSetSVGWinRect(0, 0, width, height);
    }
    picture.CommandGetSVGWinRect(x, y, width, height);
    if (width < 1 || height < 1)
        return Problem(ExitInput, input, "the document has no size (give --width and --height)");
    if (width > kMaxImageSide || height > kMaxImageSide) {
        return Problem(ExitInput, input,
                       "the image would be " + std::to_string(width) + "x" +
                           std::to_string(height) + " pixels, more than " +
                           std::to_string(kMaxImageSide) + " a side");
    }
    if (static_cast<long long>(width) * height > kMaxImagePixels) {
        return Problem(ExitInput, input,
                       "the image would be " + std::to_string(width) + "x" +
                           std::to_string(height) + " pixels, more than " +
                           std::to_string(kMaxImagePixels) +
                           " in all (give a smaller --width or --height)");
    }
    return {};
}

// Draws the parsed picture onto a new width × height bitmap, the way the
// options say.
Outcome DrawPicture(CKelSvg& picture, const ToolOptions& options, int width, int height,
                    const std::string& output, GpBitmap*& bitmap) {
    bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Ok ||
        !bitmap) {
        return Problem(ExitOutput, output,
                       "cannot create a " + std::to_string(width) + "x" + std::to_string(height) +
                           " image (out of memory)");
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
    return {};
}

// Writes the bitmap to output as PNG.
Outcome WriteImage(GpBitmap* bitmap, const std::string& output) {
    errno = 0;
    if (GdipSaveImageToPngFileA(bitmap, output.c_str()) != Ok) {
        return Problem(ExitOutput, output,
                       std::string("cannot write the image") +
                           (errno ? ": " + ErrorText(errno) : std::string()));
    }
    return {};
}

// One input to one PNG file; `drawn` (when given) is called once the picture
// is no longer needed, before the image is written.
Outcome RenderFile(CKelSvg& picture, const ToolOptions& options, const std::string& input,
                   const std::string& output, const std::function<void()>& drawn = nullptr) {
    if (SameFile(input, output))
        return Problem(ExitUsage, output, "the output would overwrite the input");
    int width = 0, height = 0;
    Outcome outcome = LoadInput(picture, options, input, width, height);
    if (outcome.code != ExitOk)
        return outcome;
    GpBitmap* bitmap = nullptr;
    outcome = DrawPicture(picture, options, width, height, output, bitmap);
    if (outcome.code == ExitOk) {
        if (drawn)
            drawn();
        outcome = WriteImage(bitmap, output);
    }
    if (bitmap)
        GdipDisposeImage(bitmap);
    return outcome;
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

// The processors this process may run on.
int Processors() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? static_cast<int>(count) : 1;
}

// --out-dir: every input to DIR/NAME.png, options.jobs at once, each thread
// with a picture object of its own. Messages come out whole and in the order
// of the inputs, as soon as every earlier input is done; the exit code is the
// worst seen.
int RenderBatch(const ToolOptions& options) {
    struct stat info;
    if (stat(options.outDir.c_str(), &info) != 0) {
        if (mkdir(options.outDir.c_str(), 0777) != 0) {
            Outcome failed = Problem(ExitOutput, options.outDir,
                                     "cannot create the directory: " + ErrorText(errno));
            std::fputs(failed.message.c_str(), stderr);
            return failed.code;
        }
    } else if (!S_ISDIR(info.st_mode)) {
        std::fputs(Problem(ExitOutput, options.outDir, "not a directory").message.c_str(), stderr);
        return ExitOutput;
    }

    const std::vector<std::string>& inputs = options.inputs;
    const size_t count = inputs.size();
    std::vector<std::string> outputs(count);
    std::vector<Outcome> outcomes(count);
    std::vector<char> render(count, 1);
    std::set<std::string> written;
    for (size_t i = 0; i < count; ++i) {
        outputs[i] = OutputPathFor(options.outDir, inputs[i]);
        if (!written.insert(outputs[i]).second) {
            // Two inputs of the same name: keep the first one's image.
            outcomes[i] = Problem(ExitOutput, inputs[i],
                                  "not rendered: " + outputs[i] +
                                      " already holds the image of an earlier input");
            render[i] = 0;
        }
    }

    std::mutex lock; // guards done, reported and standard error
    std::vector<char> done(count, 0);
    size_t reported = 0;
    std::atomic<size_t> next{0};
    auto work = [&]() {
        CKelSvg picture;
        for (size_t i; (i = next++) < count;) {
            Outcome outcome =
                render[i] ? RenderFile(picture, options, inputs[i], outputs[i]) : outcomes[i];
            std::lock_guard<std::mutex> guard(lock);
            outcomes[i] = std::move(outcome);
            done[i] = 1;
            for (; reported < count && done[reported]; ++reported)
                std::fputs(outcomes[reported].message.c_str(), stderr);
        }
    };

    size_t jobs = static_cast<size_t>(options.jobs > 0 ? options.jobs : Processors());
    jobs = std::min(jobs, count);
    std::vector<std::thread> helpers;
    try {
        while (helpers.size() + 1 < jobs)
            helpers.emplace_back(work);
    } catch (const std::system_error&) {
        // No more threads to be had: those started and this one do the work.
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();

    int worst = ExitOk;
    for (const Outcome& outcome : outcomes)
        worst = std::max(worst, outcome.code);
    return worst;
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
    if (!options.outDir.empty())
        return RenderBatch(options);
    std::unique_ptr<CKelSvg> picture(new CKelSvg);
    std::thread release;
    Outcome outcome = RenderFile(*picture, options, options.inputs[0], options.output, [&] {
        // A large document takes a while to free: that goes on beside the
        // writing of the image.
        try {
            release = std::thread([&picture] { picture.reset(); });
        } catch (const std::system_error&) {
        }
    });
    if (release.joinable())
        release.join();
    std::fputs(outcome.message.c_str(), stderr);
    return outcome.code;
}
