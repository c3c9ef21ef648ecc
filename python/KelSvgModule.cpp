// The kelsvg Python module: SVG to PNG, PDF, SVG or PostScript bytes, or to
// RGBA pixels, through the same loading and drawing as the kelsvg tool.
#include "tools/kelsvg/ToolInput.h"
#include "tools/kelsvg/ToolOptions.h"
#include "tools/kelsvg/ToolOutput.h"
#include "tools/kelsvg/ToolPicture.h"

#include "interface/KelSvg.h"
#include "platform/gdiplus/GdiPlus.h"

#include <pybind11/pybind11.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace py = pybind11;
using namespace Gdiplus;

namespace {

// An input or output the tool would refuse with exit code 2 or 3; kelsvg.Error.
class RenderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What to draw: a file, or SVG text held in memory.
struct Source {
    std::string path;
    std::string text;
    bool isText = false;
    std::string Name() const { return isText ? "the SVG text" : path; }
};

Source ReadSource(const py::handle& source) {
    Source s;
    if (py::isinstance<py::bytes>(source)) {
        s.text = source.cast<std::string>();
        s.isText = true;
        return s;
    }
    if (py::isinstance<py::bytearray>(source)) {
        s.text.assign(PyByteArray_AsString(source.ptr()), PyByteArray_Size(source.ptr()));
        s.isText = true;
        return s;
    }
    py::object os = py::module_::import("os");
    if (py::isinstance<py::str>(source)) {
        std::string text = source.cast<std::string>();
        size_t first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
        if (first != std::string::npos && text[first] == '<') {
            // Python's text is Unicode, handed over as UTF-8 whatever encoding
            // its XML declaration names: the byte-order mark says so.
            s.text =
                text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? std::move(text) : "\xEF\xBB\xBF" + text;
            s.isText = true;
            return s;
        }
    } else if (!py::isinstance(source, os.attr("PathLike"))) {
        throw py::type_error("source must be a path, or the SVG text as bytes or str");
    }
    s.path = py::str(os.attr("fsdecode")(source)).cast<std::string>();
    return s;
}

// The drawing arguments render() and render_rgba() share.
struct Arguments {
    py::object width, height, background, zoom, dpi, baseDir, id;
    bool keepAspectRatio = false;
};

ToolOptions ReadOptions(const Arguments& a) {
    ToolOptions options;
    auto side = [](const py::object& value, const char* name) {
        if (value.is_none())
            return 0;
        if (!py::isinstance<py::int_>(value) || py::isinstance<py::bool_>(value))
            throw py::type_error(std::string(name) + " must be an int");
        long long n = value.cast<long long>();
        if (n < 1 || n > kMaxVectorSide)
            throw py::value_error(std::string("invalid ") + name + " " + std::to_string(n) +
                                  " (a whole number from 1 to " + std::to_string(kMaxImageSide) +
                                  ", or to " + std::to_string(kMaxVectorSide) +
                                  " for vector formats)");
        return static_cast<int>(n);
    };
    auto positive = [](const py::object& value, const char* name, double low, double high) {
        if (!py::isinstance<py::int_>(value) && !py::isinstance<py::float_>(value))
            throw py::type_error(std::string(name) + " must be a number");
        double n = value.cast<double>();
        if (!(n >= low && n <= high))
            throw py::value_error(std::string("invalid ") + name + " " + std::to_string(n));
        return n;
    };
    auto text = [](const py::object& value, const char* name) {
        if (value.is_none())
            return std::string();
        py::object os = py::module_::import("os");
        if (std::string(name) == "base_dir" && py::isinstance(value, os.attr("PathLike")))
            return py::str(os.attr("fsdecode")(value)).cast<std::string>();
        if (!py::isinstance<py::str>(value))
            throw py::type_error(std::string(name) + " must be a str");
        return value.cast<std::string>();
    };
    options.width = side(a.width, "width");
    options.height = side(a.height, "height");
    if (!a.zoom.is_none())
        options.zoom = positive(a.zoom, "zoom", 1e-6, kMaxVectorSide);
    if (!a.dpi.is_none())
        options.dpi = positive(a.dpi, "dpi", 1, 100000);
    options.keepAspect = a.keepAspectRatio;
    options.baseDir = text(a.baseDir, "base_dir");
    options.id = text(a.id, "id");
    if (!a.background.is_none()) {
        if (!py::isinstance<py::str>(a.background))
            throw py::type_error("background must be a colour as a str");
        std::string colour = a.background.cast<std::string>();
        if (!ParseToolColor(colour, options.background))
            throw py::value_error("invalid background colour '" + colour + "'");
        options.hasBackground = true;
    }
    return options;
}

// Loads the source into picture; raises RenderError with the tool's words.
void Load(CKelSvg& picture, const Source& source, const ToolOptions& options, ToolWindow& window,
          bool vector = false) {
    InMemoryFile memory;
    std::string path = source.path;
    if (source.isText) {
        if (!memory.Open(source.text))
            throw RenderError("cannot keep the SVG text: " + ErrorText(errno));
        path = memory.Path();
    }
    ToolProblem problem = LoadPicture(picture, options, path, window, vector);
    if (problem) {
        // The tool's advice names its options; here they are arguments.
        std::string message = problem.message;
        for (auto [from, to] :
             {std::pair<const char*, const char*>{"--width", "width"}, {"--height", "height"}})
            for (size_t at; (at = message.find(from)) != std::string::npos;)
                message.replace(at, std::strlen(from), to);
        throw RenderError(source.Name() + ": " + message);
    }
}

GpBitmap* Draw(CKelSvg& picture, const ToolOptions& options, const ToolWindow& window) {
    GpBitmap* bitmap = nullptr;
    ToolProblem problem = DrawPicture(picture, options, window, bitmap);
    if (problem)
        throw RenderError(problem.message);
    return bitmap;
}

py::bytes Render(const py::object& source, const Arguments& arguments,
                 const std::string& formatName) {
    ImageFormat format;
    if (!ParseImageFormat(formatName, format))
        throw py::value_error("invalid format '" + formatName + "' (" + ImageFormatList() + ")");
    Source input = ReadSource(source);
    ToolOptions options = ReadOptions(arguments);
    MemorySink sink;
    {
        // One picture per call, drawn without the interpreter's lock.
        py::gil_scoped_release unlocked;
        CKelSvg picture;
        ToolWindow window;
        Load(picture, input, options, window, IsVectorFormat(format));
        bool written;
        if (!IsVectorFormat(format)) {
            GpBitmap* bitmap = Draw(picture, options, window);
            written = WriteRasterImage(bitmap, format, 0, sink);
            GdipDisposeImage(bitmap);
        } else {
            written = WriteVectorImage(picture, options, format, window.width, window.height, sink);
        }
        if (!written)
            throw RenderError("cannot make the image (out of memory)");
    }
    return py::bytes(sink.bytes);
}

py::tuple RenderRgba(const py::object& source, const Arguments& arguments) {
    Source input = ReadSource(source);
    ToolOptions options = ReadOptions(arguments);
    std::string pixels;
    ToolWindow window;
    {
        py::gil_scoped_release unlocked;
        CKelSvg picture;
        Load(picture, input, options, window);
        GpBitmap* bitmap = Draw(picture, options, window);
        // Straight ARGB words, little-endian: B, G, R, A in memory.
        BitmapData data{};
        Rect all(0, 0, window.width, window.height);
        if (GdipBitmapLockBits(bitmap, &all, ImageLockModeRead, PixelFormat32bppARGB, &data) !=
            Ok) {
            GdipDisposeImage(bitmap);
            throw RenderError("cannot read the image (out of memory)");
        }
        pixels.resize(static_cast<size_t>(window.width) * window.height * 4);
        char* out = &pixels[0];
        for (int y = 0; y < window.height; ++y) {
            const unsigned char* row = static_cast<const unsigned char*>(data.Scan0) +
                                       static_cast<ptrdiff_t>(y) * data.Stride;
            for (int x = 0; x < window.width; ++x, row += 4, out += 4) {
                out[0] = static_cast<char>(row[2]);
                out[1] = static_cast<char>(row[1]);
                out[2] = static_cast<char>(row[0]);
                out[3] = static_cast<char>(row[3]);
            }
        }
        GdipBitmapUnlockBits(bitmap, &data);
        GdipDisposeImage(bitmap);
    }
    return py::make_tuple(window.width, window.height, py::bytes(pixels));
}

// The document's own size, without drawing it.
py::tuple Size(const py::object& source) {
    Source input = ReadSource(source);
    float width = 0, height = 0;
    {
        py::gil_scoped_release unlocked;
        InMemoryFile memory;
        std::string path = input.path;
        if (input.isText) {
            if (!memory.Open(input.text))
                throw RenderError("cannot keep the SVG text: " + ErrorText(errno));
            path = memory.Path();
        }
        CKelSvg picture;
        std::vector<char> name(path.begin(), path.end());
        name.push_back('\0');
        picture.CommandParseSVGFile(name.data());
        KelSvgParseResult result = picture.KelGetParseResult(width, height);
        if (result != KelSvgParsed)
            throw RenderError(input.Name() + ": " + DiagnoseInput(path, result));
    }
    return py::make_tuple(width, height);
}

Arguments MakeArguments(const py::object& width, const py::object& height,
                        const py::object& background, const py::object& zoom, bool keepAspectRatio,
                        const py::object& dpi, const py::object& baseDir, const py::object& id) {
    return Arguments{width, height, background, zoom, dpi, baseDir, id, keepAspectRatio};
}

} // namespace

// The extension under the kelsvg package (kelsvg/__init__.py documents the
// functions and turns file-like sources and missing files into what Python
// programs expect).
PYBIND11_MODULE(_kelsvg, m) {
    m.doc() = "SVG rendering: the kelsvg library and its tool's handling of files.";
    py::register_exception<RenderError>(m, "Error");
    m.def(
        "render",
        [](const py::object& source, const py::object& width, const py::object& height,
           const py::object& background, const std::string& format, const py::object& zoom,
           bool keepAspectRatio, const py::object& dpi, const py::object& baseDir,
           const py::object& id) {
            return Render(
                source,
                MakeArguments(width, height, background, zoom, keepAspectRatio, dpi, baseDir, id),
                format);
        },
        py::arg("source"), py::arg("width") = py::none(), py::arg("height") = py::none(),
        py::arg("background") = py::none(), py::arg("format") = "png", py::arg("zoom") = py::none(),
        py::arg("keep_aspect_ratio") = false, py::arg("dpi") = py::none(),
        py::arg("base_dir") = py::none(), py::arg("id") = py::none());
    m.def(
        "render_rgba",
        [](const py::object& source, const py::object& width, const py::object& height,
           const py::object& background, const py::object& zoom, bool keepAspectRatio,
           const py::object& dpi, const py::object& baseDir, const py::object& id) {
            return RenderRgba(source, MakeArguments(width, height, background, zoom,
                                                    keepAspectRatio, dpi, baseDir, id));
        },
        py::arg("source"), py::arg("width") = py::none(), py::arg("height") = py::none(),
        py::arg("background") = py::none(), py::arg("zoom") = py::none(),
        py::arg("keep_aspect_ratio") = false, py::arg("dpi") = py::none(),
        py::arg("base_dir") = py::none(), py::arg("id") = py::none());
    m.def("size", &Size, py::arg("source"));
    m.attr("__version__") = KELSVG_PYTHON_VERSION;
}
