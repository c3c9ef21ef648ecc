#include "ToolOptions.h"

#include "interface/KelSvg.h"

#include <cctype>
#include <cstring>

const char* ToolUsage() {
    return "usage: kelsvg [options] INPUT.svg OUTPUT\n"
           "       kelsvg [options] INPUT.svg... -o OUTPUT.pdf\n"
           "       kelsvg [options] --out-dir DIR INPUT.svg...\n"
           "Renders SVG files to PNG, JPEG, WebP, PDF, SVG, PostScript or EPS images. An\n"
           "INPUT of - reads standard input; an OUTPUT of - writes standard output.\n"
           "\n"
           "  -w, --width N        window width in pixels (default: the document's)\n"
           "  -h, --height N       window height in pixels (default: the document's;\n"
           "                       with only one of the two given, the other keeps the\n"
           "                       document's aspect ratio)\n"
           "  -z, --zoom F         scale the document's size by F (-w and -h win over it)\n"
           "  -a, --keep-aspect-ratio\n"
           "                       with both -w and -h, fit the picture inside them,\n"
           "                       centred, instead of stretching it\n"
           "  -f, --format FORMAT  png, jpeg, webp, pdf, svg, ps or eps, in any case\n"
           "                       (default: OUTPUT's extension, else png); pdf, svg, ps\n"
           "                       and eps keep shapes and gradients as vectors\n"
           "  -o, --output FILE    write to FILE; every other argument is an INPUT, and\n"
           "                       several INPUTs make one page each of a pdf or ps FILE\n"
           "  --quality N          jpeg and webp quality, 1 to 100 (default: jpeg 90,\n"
           "                       webp lossless)\n"
           "  --dpi N              N pixels to the inch (default: 96): the document's\n"
           "                       in, cm, mm, pt and pc are N pixels an inch, and in pdf,\n"
           "                       svg, ps and eps a pixel is 72/N points, so that they\n"
           "                       keep their size on the page\n"
           "  --background COLOR   fill the image with COLOR before drawing: any SVG colour\n"
           "                       (red, #rgb, #rrggbb, rgb(...)), #rgba, #rrggbbaa or\n"
           "                       transparent (default: transparent; jpeg: white)\n"
           "  --id ID              draw only the element with this id (and what is inside\n"
           "                       it), on the whole canvas\n"
           "  --base-dir DIR       image files resolve in DIR (and only there), for\n"
           "                       documents from standard input (default: the input's\n"
           "                       own folder)\n"
           "  --stylesheet FILE    apply the CSS style sheet in FILE after the document's own\n"
           "  --cache              draw through the bitmap cache (in vector formats: the\n"
           "                       picture as an image)\n"
           "  --dc                 draw through a device context instead of a graphics object\n"
           "  --print-rotations    print a line \"rotate: ANGLE CX CY\" for every rotate\n"
           "                       transform read (on standard error when OUTPUT is -)\n"
           "  --out-dir DIR        render every INPUT to DIR/NAME.png (or the --format's\n"
           "                       extension) in one process, going on after a bad input;\n"
           "                       the exit code is the worst seen\n"
           "  -j, --jobs N         threads to use (default: the number of processors): with\n"
           "                       --out-dir, N inputs render at once, each on a thread of\n"
           "                       its own; a large document is read and drawn on the\n"
           "                       threads no other input needs\n"
           "  --help               show this help and exit\n"
           "  --version            show the version and exit\n"
           "\n"
           "Exit codes: 0 success; 1 usage error; 2 an input cannot be read, is not XML,\n"
           "has no svg element or has no size (and none was given); 3 an output cannot be\n"
           "written.\n";
}

namespace {

// A positive decimal number up to limit.
bool ParsePositive(const std::string& text, double limit, double& out) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos ||
        text.find('.') != text.rfind('.') || text == ".")
        return false;
    double value = 0, scale = 1;
    bool fraction = false;
    for (char c : text) {
        if (c == '.') {
            fraction = true;
            continue;
        }
        if (fraction)
            value += (c - '0') * (scale /= 10);
        else
            value = value * 10 + (c - '0');
        if (value > limit)
            return false;
    }
    if (!(value > 0))
        return false;
    out = value;
    return true;
}

// A whole number from 1 to max.
bool ParseCount(const std::string& text, int max, int& out) {
    if (text.empty() || text.size() > 9)
        return false;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > max)
        return false;
    out = static_cast<int>(value);
    return true;
}

} // namespace

bool ParseToolColor(const std::string& text, uint32_t& argb) {
    unsigned int read = 0;
    if (text.find('\0') != std::string::npos || !KelParseColor(text.c_str(), read))
        return false;
    argb = read;
    return true;
}

bool ParseToolOptions(int argc, char** argv, ToolOptions& options, std::string& error) {
    std::vector<std::string> positional;
    bool endOfOptions = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (endOfOptions || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            endOfOptions = true;
            continue;
        }
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        size_t eq = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        } else if (arg[1] != '-' && arg.size() > 2 && std::strchr("whzfjo", arg[1])) {
            // -w300: a short option with its value attached.
            name = arg.substr(0, 2);
            value = arg.substr(2);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= argc) {
                error = "option " + name + " needs a value";
                return false;
            }
            value = argv[++i];
            return true;
        };
        auto noValue = [&]() -> bool {
            if (!hasValue)
                return true;
            error = "option " + name + " takes no value";
            return false;
        };
        if (name == "--help") {
            if (!noValue())
                return false;
            options.help = true;
        } else if (name == "--version") {
            if (!noValue())
                return false;
            options.version = true;
        } else if (name == "-w" || name == "--width" || name == "-h" || name == "--height") {
            if (!takeValue())
                return false;
            bool isWidth = name == "-w" || name == "--width";
            if (!ParseCount(value, kMaxVectorSide, isWidth ? options.width : options.height)) {
                error = "invalid " + std::string(isWidth ? "width" : "height") + " '" + value +
                        "' (a whole number from 1 to " + std::to_string(kMaxImageSide) +
                        ", or to " + std::to_string(kMaxVectorSide) + " for vector formats)";
                return false;
            }
        } else if (name == "-z" || name == "--zoom") {
            if (!takeValue())
                return false;
            if (!ParsePositive(value, kMaxVectorSide, options.zoom)) {
                error = "invalid zoom '" + value + "' (a number above 0, such as 1.5)";
                return false;
            }
        } else if (name == "-a" || name == "--keep-aspect-ratio") {
            if (!noValue())
                return false;
            options.keepAspect = true;
        } else if (name == "-f" || name == "--format") {
            if (!takeValue())
                return false;
            if (!ParseImageFormat(value, options.format)) {
                error = "invalid format '" + value + "' (" + ImageFormatList() + ")";
                return false;
            }
            options.formatGiven = true;
        } else if (name == "--dpi") {
            if (!takeValue())
                return false;
            if (!ParsePositive(value, 100000, options.dpi) || options.dpi < 1) {
                error = "invalid dpi '" + value + "' (a number from 1 to 100000)";
                return false;
            }
        } else if (name == "--background") {
            if (!takeValue())
                return false;
            if (!ParseToolColor(value, options.background)) {
                error = "invalid background colour '" + value + "'";
                return false;
            }
            options.hasBackground = true;
        } else if (name == "--cache") {
            if (!noValue())
                return false;
            options.cache = true;
        } else if (name == "--dc") {
            if (!noValue())
                return false;
            options.dc = true;
        } else if (name == "--quality") {
            if (!takeValue())
                return false;
            if (!ParseCount(value, 100, options.quality)) {
                error = "invalid quality '" + value + "' (a whole number from 1 to 100)";
                return false;
            }
        } else if (name == "-o" || name == "--output") {
            if (!takeValue())
                return false;
            if (value.empty()) {
                error = "option " + name + " needs a file name";
                return false;
            }
            options.output = value;
            options.outputOption = true;
        } else if (name == "--id") {
            if (!takeValue())
                return false;
            options.id = value;
        } else if (name == "--base-dir" || name == "--stylesheet") {
            if (!takeValue())
                return false;
            if (value.empty()) {
                error = "option " + name + " needs a " +
                        (name == "--base-dir" ? "directory" : "file name");
                return false;
            }
            (name == "--base-dir" ? options.baseDir : options.styleSheetPath) = value;
        } else if (name == "--print-rotations") {
            if (!noValue())
                return false;
            options.printRotations = true;
        } else if (name == "-j" || name == "--jobs") {
            if (!takeValue())
                return false;
            if (!ParseCount(value, kMaxJobs, options.jobs)) {
                error = "invalid number of jobs '" + value + "' (a whole number from 1 to " +
                        std::to_string(kMaxJobs) + ")";
                return false;
            }
        } else if (name == "--out-dir") {
            if (!takeValue())
                return false;
            if (value.empty()) {
                error = "option --out-dir needs a directory";
                return false;
            }
            options.outDir = value;
        } else {
            error = "unknown option " + name;
            return false;
        }
    }
    if (options.help || options.version)
        return true;
    if (options.outputOption) {
        if (!options.outDir.empty()) {
            error = "give either --output or --out-dir";
            return false;
        }
        if (positional.empty()) {
            error = "no input files";
            return false;
        }
        options.inputs = positional;
        return true;
    }
    if (!options.outDir.empty()) {
        if (positional.empty()) {
            error = "no input files";
            return false;
        }
        for (const std::string& input : positional) {
            if (input == "-") {
                error = "standard input (-) has no name to give its image in --out-dir";
                return false;
            }
        }
        options.inputs = positional;
        return true;
    }
    if (positional.size() != 2) {
        error = positional.size() < 2 ? "expected INPUT.svg and OUTPUT"
                                      : "too many arguments (use --out-dir for many files)";
        return false;
    }
    options.inputs.push_back(positional[0]);
    options.output = positional[1];
    return true;
}
