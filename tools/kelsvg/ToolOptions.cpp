#include "ToolOptions.h"

#include <cctype>
#include <cstring>

const char* ToolUsage() {
    return "usage: kelsvg [options] INPUT.svg OUTPUT\n"
           "       kelsvg [options] --out-dir DIR INPUT.svg...\n"
           "Renders SVG files to PNG, PDF, SVG or PostScript images. An INPUT of - reads\n"
           "standard input; an OUTPUT of - writes standard output.\n"
           "\n"
           "  -w, --width N        window width in pixels (default: the document's)\n"
           "  -h, --height N       window height in pixels (default: the document's;\n"
           "                       with only one of the two given, the other keeps the\n"
           "                       document's aspect ratio)\n"
           "  -z, --zoom F         scale the document's size by F (-w and -h win over it)\n"
           "  -a, --keep-aspect-ratio\n"
           "                       with both -w and -h, fit the picture inside them,\n"
           "                       centred, instead of stretching it\n"
           "  -f, --format FORMAT  png, pdf, svg or ps (default: OUTPUT's extension, else\n"
           "                       png); pdf, svg and ps keep shapes, text and gradients\n"
           "                       as vectors on one page of the image's size\n"
           "  --dpi N              N pixels to the inch (default: 96): the document's\n"
           "                       in, cm, mm, pt and pc are N pixels an inch, and in pdf,\n"
           "                       svg and ps a pixel is 72/N points, so that they keep\n"
           "                       their size on the page\n"
           "  --background COLOR   fill the image with COLOR before drawing: #rgb, #rgba,\n"
           "                       #rrggbb, #rrggbbaa, a basic colour name or transparent\n"
           "                       (default: transparent)\n"
           "  --cache              draw through the bitmap cache (in pdf, svg and ps: the\n"
           "                       picture as an image)\n"
           "  --dc                 draw through a device context instead of a graphics object\n"
           "  --out-dir DIR        render every INPUT to DIR/NAME.png (.pdf, .svg, .ps with\n"
           "                       --format) in one process, going on after a bad input;\n"
           "                       the exit code is the worst seen\n"
           "  -j, --jobs N         threads to use (default: the number of processors): with\n"
           "                       --out-dir, N inputs render at once, each on a thread of\n"
           "                       its own; a large document is read and drawn on the\n"
           "                       threads no other input needs\n"
           "  --help               show this help and exit\n"
           "  --version            show the version and exit\n"
           "\n"
           "With OUTPUT -, the library's \"rotate: ...\" lines go to standard error.\n"
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

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

struct NamedColor {
    const char* name;
    uint32_t argb;
};

const NamedColor kNamedColors[] = {
    {"black", 0xFF000000},       {"silver", 0xFFC0C0C0}, {"gray", 0xFF808080},
    {"grey", 0xFF808080},        {"white", 0xFFFFFFFF},  {"maroon", 0xFF800000},
    {"red", 0xFFFF0000},         {"purple", 0xFF800080}, {"fuchsia", 0xFFFF00FF},
    {"green", 0xFF008000},       {"lime", 0xFF00FF00},   {"olive", 0xFF808000},
    {"yellow", 0xFFFFFF00},      {"navy", 0xFF000080},   {"blue", 0xFF0000FF},
    {"teal", 0xFF008080},        {"aqua", 0xFF00FFFF},   {"orange", 0xFFFFA500},
    {"transparent", 0x00000000},
};

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
    if (!text.empty() && text[0] == '#') {
        std::string hex = text.substr(1);
        for (char c : hex)
            if (HexDigit(c) < 0)
                return false;
        uint32_t r, g, b, a = 255;
        if (hex.size() == 3 || hex.size() == 4) {
            r = HexDigit(hex[0]) * 17;
            g = HexDigit(hex[1]) * 17;
            b = HexDigit(hex[2]) * 17;
            if (hex.size() == 4)
                a = HexDigit(hex[3]) * 17;
        } else if (hex.size() == 6 || hex.size() == 8) {
            r = HexDigit(hex[0]) * 16 + HexDigit(hex[1]);
            g = HexDigit(hex[2]) * 16 + HexDigit(hex[3]);
            b = HexDigit(hex[4]) * 16 + HexDigit(hex[5]);
            if (hex.size() == 8)
                a = HexDigit(hex[6]) * 16 + HexDigit(hex[7]);
        } else {
            return false;
        }
        argb = (a << 24) | (r << 16) | (g << 8) | b;
        return true;
    }
    std::string lower;
    for (char c : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const NamedColor& named : kNamedColors) {
        if (lower == named.name) {
            argb = named.argb;
            return true;
        }
    }
    return false;
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
            if (!ParseCount(value, kMaxImageSide, isWidth ? options.width : options.height)) {
                error = "invalid " + std::string(isWidth ? "width" : "height") + " '" + value +
                        "' (a whole number from 1 to " + std::to_string(kMaxImageSide) + ")";
                return false;
            }
        } else if (name == "-z" || name == "--zoom") {
            if (!takeValue())
                return false;
            if (!ParsePositive(value, kMaxImageSide, options.zoom)) {
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
                error = "invalid format '" + value + "' (png, pdf, svg or ps)";
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
