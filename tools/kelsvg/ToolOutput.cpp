#include "ToolOutput.h"

#include "ToolOptions.h"

#include "interface/KelSvg.h"
#include "platform/gdiplus/GdiPlus.h"

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <fcntl.h>
#include <jpeglib.h>
#include <unistd.h>
#include <webp/encode.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace Gdiplus;

namespace {

const char* const kFormatNames[] = {"png", "pdf", "svg", "ps", "eps", "jpg", "webp"};
const int kFormatCount = 7;

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

const char* ImageFormatList() {
    return "png, pdf, svg, ps, eps, jpeg or webp";
}

bool ParseImageFormat(const std::string& name, ImageFormat& format) {
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "jpeg")
        lower = "jpg";
    for (int i = 0; i < kFormatCount; ++i) {
        if (lower == kFormatNames[i]) {
            format = static_cast<ImageFormat>(i);
            return true;
        }
    }
    return false;
}

bool FormatOfPath(const std::string& path, ImageFormat& format) {
    size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.' || dot == 0 || path[dot - 1] == '/') {
        format = ImageFormat::Png;
        return true;
    }
    return ParseImageFormat(path.substr(dot + 1), format);
}

const char* ImageFormatName(ImageFormat format) {
    return kFormatNames[static_cast<int>(format)];
}

bool IsVectorFormat(ImageFormat format) {
    return format == ImageFormat::Pdf || format == ImageFormat::Svg || format == ImageFormat::Ps ||
           format == ImageFormat::Eps;
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

namespace {

// The bitmap's pixels as straight BGRA bytes, row by row (ARGB words in memory).
bool ReadPixels(GpBitmap* bitmap, std::vector<unsigned char>& pixels, int& width, int& height) {
    UINT w = 0, h = 0;
    if (GdipGetImageWidth(bitmap, &w) != Ok || GdipGetImageHeight(bitmap, &h) != Ok || !w || !h)
        return false;
    BitmapData data{};
    Rect all(0, 0, static_cast<INT>(w), static_cast<INT>(h));
    if (GdipBitmapLockBits(bitmap, &all, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok)
        return false;
    pixels.resize(static_cast<size_t>(w) * h * 4);
    for (UINT y = 0; y < h; ++y)
        std::memcpy(&pixels[static_cast<size_t>(y) * w * 4],
                    static_cast<const unsigned char*>(data.Scan0) +
                        static_cast<ptrdiff_t>(y) * data.Stride,
                    static_cast<size_t>(w) * 4);
    GdipBitmapUnlockBits(bitmap, &data);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JpegFail(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

// Rows of RGB over white, compressed in memory, then handed to the sink.
bool WriteJpeg(const std::vector<unsigned char>& pixels, int width, int height, int quality,
               ImageSink& sink) {
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    jpeg_compress_struct info{};
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegFail;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality > 0 ? quality : 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < height; ++y) {
        const unsigned char* in = &pixels[static_cast<size_t>(y) * width * 4];
        for (int x = 0; x < width; ++x, in += 4) {
            // Straight alpha over white.
            unsigned a = in[3];
            for (int c = 0; c < 3; ++c)
                row[x * 3 + c] =
                    static_cast<unsigned char>((in[2 - c] * a + 255 * (255 - a) + 127) / 255);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    bool ok = sink.Write(buffer, size);
    std::free(buffer);
    return ok;
}

bool WriteWebp(const std::vector<unsigned char>& pixels, int width, int height, int quality,
               ImageSink& sink) {
    if (width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION) {
        errno = EFBIG;
        return false;
    }
    uint8_t* output = nullptr;
    size_t size = quality > 0
                      ? WebPEncodeBGRA(pixels.data(), width, height, width * 4,
                                       static_cast<float>(quality), &output)
                      : WebPEncodeLosslessBGRA(pixels.data(), width, height, width * 4, &output);
    bool ok = size > 0 && sink.Write(output, size);
    WebPFree(output);
    return ok;
}

} // namespace

bool WriteRasterImage(GpBitmap* bitmap, ImageFormat format, int quality, ImageSink& sink) {
    if (format == ImageFormat::Png)
        return WritePngImage(bitmap, sink);
    std::vector<unsigned char> pixels;
    int width = 0, height = 0;
    if (!ReadPixels(bitmap, pixels, width, height))
        return false;
    if (format == ImageFormat::Jpeg)
        return WriteJpeg(pixels, width, height, quality, sink);
    if (format == ImageFormat::Webp)
        return WriteWebp(pixels, width, height, quality, sink);
    return false;
}

VectorImageWriter::VectorImageWriter(ImageFormat format, const ToolOptions& options,
                                     ImageSink& sink)
    : m_format(format), m_options(options), m_sink(sink) {}

VectorImageWriter::~VectorImageWriter() {
    if (m_surface)
        cairo_surface_destroy(m_surface);
}

bool VectorImageWriter::AddPage(CKelSvg& picture, int width, int height) {
    if (m_failed)
        return false;
    double scale = 72.0 / m_options.dpi;
    double pageWidth = width * scale, pageHeight = height * scale;
    if (!m_surface) {
        switch (m_format) {
        case ImageFormat::Pdf:
            m_surface = cairo_pdf_surface_create_for_stream(ToSinkFromCairo, &m_sink, pageWidth,
                                                            pageHeight);
            break;
        case ImageFormat::Svg:
            m_surface = cairo_svg_surface_create_for_stream(ToSinkFromCairo, &m_sink, pageWidth,
                                                            pageHeight);
            break;
        case ImageFormat::Ps:
        case ImageFormat::Eps:
            m_surface =
                cairo_ps_surface_create_for_stream(ToSinkFromCairo, &m_sink, pageWidth, pageHeight);
            if (m_format == ImageFormat::Eps)
                cairo_ps_surface_set_eps(m_surface, TRUE);
            break;
        default:
            m_failed = true;
            return false;
        }
    } else if (m_format == ImageFormat::Pdf) {
        cairo_surface_show_page(m_surface); // the page before; finishing shows the last
        cairo_pdf_surface_set_size(m_surface, pageWidth, pageHeight);
    } else if (m_format == ImageFormat::Ps) {
        cairo_surface_show_page(m_surface);
        cairo_ps_surface_set_size(m_surface, pageWidth, pageHeight);
    } else {
        m_failed = true; // one page only
        return false;
    }
    cairo_t* cr = cairo_create(m_surface);
    cairo_scale(cr, scale, scale);
    // What a bitmap of the image's size would hold, and no more.
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_clip(cr);
    if (m_options.hasBackground) {
        uint32_t c = m_options.background;
        cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                              (c & 0xFF) / 255.0, (c >> 24) / 255.0);
        cairo_paint(cr);
    }
    if (m_options.dc) {
        HDC hdc = CreateCairoDC(cr);
        CDC dc(hdc);
        picture.CommandDrawSVG(&dc);
        DeleteDC(hdc);
    } else {
        Graphics graphics(cr);
        picture.CommandDrawSVGGraphics(&graphics);
    }
    cairo_destroy(cr);
    m_failed = cairo_surface_status(m_surface) != CAIRO_STATUS_SUCCESS;
    return !m_failed;
}

bool VectorImageWriter::Finish() {
    if (!m_surface)
        return false;
    cairo_surface_finish(m_surface);
    bool ok = !m_failed && cairo_surface_status(m_surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(m_surface);
    m_surface = nullptr;
    return ok;
}

bool WriteVectorImage(CKelSvg& picture, const ToolOptions& options, ImageFormat format, int width,
                      int height, ImageSink& sink) {
    VectorImageWriter writer(format, options, sink);
    return writer.AddPage(picture, width, height) && writer.Finish();
}
