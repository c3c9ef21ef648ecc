// kelsvg: renders SVG files to PNG, PDF, SVG and PostScript images through the
// library's host surface.
#include "ToolInput.h"
#include "ToolOptions.h"
#include "ToolOutput.h"
#include "ToolPicture.h"

#include "engine/SvgXmlReader.h"

#include "interface/KelSvg.h"
#include "interface/KelSvgVersion.h"
#include "platform/gdiplus/GdiPlus.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace {

void Report(const std::string& file, const std::string& message) {
    std::fprintf(stderr, "kelsvg: %s: %s\n", file.c_str(), message.c_str());
}

// True when output names the very file input is (writing would destroy it).
bool SameFile(const std::string& input, const std::string& output) {
    struct stat in, out;
    return stat(input.c_str(), &in) == 0 && stat(output.c_str(), &out) == 0 &&
           in.st_dev == out.st_dev && in.st_ino == out.st_ino;
}

std::string ErrnoText(const char* what) {
    return std::string(what) + (errno ? std::string(": ") + std::strerror(errno) : std::string());
}

// One input to one output ("-" for standard input and output, the image then
// going to imageFd).
int RenderOne(CKelSvg& picture, const ToolOptions& options, const std::string& input,
              const std::string& output, int imageFd) {
    bool toStdout = output == "-";
    std::string inputName = input == "-" ? "standard input" : input;
    std::string outputName = toStdout ? "standard output" : output;
    InMemoryFile standardInput;
    std::string path = input;
    if (input == "-") {
        std::string bytes;
        errno = 0;
        if (!SvgXmlReader::ReadFile("/dev/stdin", bytes)) {
            Report(inputName, ErrnoText("cannot read"));
            return ExitInput;
        }
        if (!standardInput.Open(bytes)) {
            Report(inputName, ErrnoText("cannot keep the document"));
            return ExitInput;
        }
        path = standardInput.Path();
    } else if (!toStdout && SameFile(input, output)) {
        Report(output, "the output would overwrite the input");
        return ExitUsage;
    }

    ToolWindow window;
    ToolProblem problem = LoadPicture(picture, options, path, window);
    if (problem) {
        Report(inputName, problem.message);
        return problem.code;
    }
    ImageFormat format = options.formatGiven || toStdout ? options.format : FormatOfPath(output);
    FileSink file;
    DescriptorSink stream(imageFd);
    ImageSink* sink = &stream;
    if (!toStdout) {
        errno = 0;
        if (!file.Open(output)) {
            Report(outputName, ErrnoText("cannot write the image"));
            return ExitOutput;
        }
        sink = &file;
    }
    bool written = false;
    errno = 0;
    if (format == ImageFormat::Png) {
        GpBitmap* bitmap = nullptr;
        problem = DrawPicture(picture, options, window, bitmap);
        if (problem) {
            Report(outputName, problem.message);
            return problem.code;
        }
        written = WritePngImage(bitmap, *sink);
        GdipDisposeImage(bitmap);
    } else {
        written = WriteVectorImage(picture, options, format, window.width, window.height, *sink);
    }
    if (written && !toStdout)
        written = file.Commit();
    if (!written) {
        Report(outputName, ErrnoText("cannot write the image"));
        return ExitOutput;
    }
    return ExitOk;
}

// DIR/NAME.EXT for INPUT: the file name without its directory and ".svg".
std::string OutputPathFor(const std::string& dir, const std::string& input,
                          const std::string& extension) {
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
    return path + name + "." + extension;
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
    if (options.outDir.empty()) {
        int imageFd = STDOUT_FILENO;
        if (options.output == "-") {
            // The image alone on standard output: the library's lines go to
            // standard error.
            std::fflush(stdout);
            imageFd = dup(STDOUT_FILENO);
            if (imageFd < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
                Report("standard output", std::string("cannot use: ") + std::strerror(errno));
                return ExitOutput;
            }
        }
        return RenderOne(picture, options, options.inputs[0], options.output, imageFd);
    }

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
        std::string output = OutputPathFor(options.outDir, input, ImageFormatName(options.format));
        if (!written.insert(output).second) {
            // Two inputs of the same name: keep the first one's image.
            Report(input,
                   "not rendered: " + output + " already holds the image of an earlier input");
            worst = worst > ExitOutput ? worst : ExitOutput;
            continue;
        }
        int code = RenderOne(picture, options, input, output, STDOUT_FILENO);
        if (code > worst)
            worst = code;
    }
    return worst;
}
