#include "ToolOutput.h"

#include "ToolOptions.h"

#include "interface/KelSvg.h"
#include "platform/gdiplus/GdiPlus.h"

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>

using namespace Gdiplus;

namespace {

const char* const kFormatNames[] = {"png", "pdf", "svg", "ps"};

bool WriteAll(int fd, const unsigned char* data, size_t length) {
    while (length > 0) {
        ssize_t n = ::write(fd, data, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

bool ToSink(void* sink, const unsigned char* data, size_t length) {
    return static_cast<ImageSink*>(sink)->Write(data, length);
}

cairo_status_t ToSinkFromCairo(void* sink, const unsigned char* data, unsigned int length) {
    return ToSink(sink, data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

} // namespace

bool ParseImageFormat(const std::string& name, ImageFormat& format) {
    for (int i = 0; i < 4; ++i) {
        if (name == kFormatNames[i]) {
            format = static_cast<ImageFormat>(i);
            return true;
        }
    }
    return false;
}

ImageFormat FormatOfPath(const std::string& path) {
    size_t dot = path.find_last_of("./");
    ImageFormat format = ImageFormat::Png;
    if (dot == std::string::npos || path[dot] != '.')
        return format;
    std::string extension;
    for (char c : path.substr(dot + 1))
        extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ParseImageFormat(extension, format);
    return format;
}

const char* ImageFormatName(ImageFormat format) {
    return kFormatNames[static_cast<int>(format)];
}

bool FileSink::Open(const std::string& path) {
    return m_file.Open(path);
}

bool FileSink::Flush() {
    if (!m_failed &&
        !WriteAll(m_file.Descriptor(), reinterpret_cast<const unsigned char*>(m_buffer.data()),
                  m_buffer.size()))
        m_failed = true;
    m_buffer.clear();
    return !m_failed;
}

bool FileSink::Write(const unsigned char* data, size_t length) {
    if (m_file.Descriptor() < 0 || m_failed)
        return false;
    m_buffer.append(reinterpret_cast<const char*>(data), length);
    return m_buffer.size() < (1 << 16) || Flush();
}

bool FileSink::Commit() {
    if (m_file.Descriptor() < 0)
        return false;
    return m_file.Commit(Flush());
}

bool DescriptorSink::Write(const unsigned char* data, size_t length) {
    return WriteAll(m_fd, data, length);
}

bool MemorySink::Write(const unsigned char* data, size_t length) {
    bytes.append(reinterpret_cast<const char*>(data), length);
    return true;
}

bool WritePngImage(GpBitmap* bitmap, ImageSink& sink) {
    return KelSaveImageToPngWriter(bitmap, ToSink, &sink) == Ok;
}

bool WriteVectorImage(CKelSvg& picture, const ToolOptions& options, ImageFormat format, int width,
                      int height, ImageSink& sink) {
    double scale = 72.0 / options.dpi;
    double pageWidth = width * scale, pageHeight = height * scale;
    cairo_surface_t* surface = nullptr;
    switch (format) {
    case ImageFormat::Pdf:
        surface =
            cairo_pdf_surface_create_for_stream(ToSinkFromCairo, &sink, pageWidth, pageHeight);
        break;
    case ImageFormat::Svg:
        surface =
            cairo_svg_surface_create_for_stream(ToSinkFromCairo, &sink, pageWidth, pageHeight);
        break;
    case ImageFormat::Ps:
        surface = cairo_ps_surface_create_for_stream(ToSinkFromCairo, &sink, pageWidth, pageHeight);
        break;
    case ImageFormat::Png:
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    // What a bitmap of the image's size would hold, and no more.
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_clip(cr);
    if (options.hasBackground) {
        uint32_t c = options.background;
        cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                              (c & 0xFF) / 255.0, (c >> 24) / 255.0);
        cairo_paint(cr);
    }
    if (options.dc) {
        HDC hdc = CreateCairoDC(cr);
        CDC dc(hdc);
        picture.CommandDrawSVG(&dc);
        DeleteDC(hdc);
    } else {
        Graphics graphics(cr);
        picture.CommandDrawSVGGraphics(&graphics);
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}
