#pragma once

// Image formats, and the places images go: files (written whole or not at
// all), standard output, memory.

#include "platform/gdiplus/FileReplacement.h"

#include <cstddef>
#include <string>

class CKelSvg;
struct ToolOptions;
namespace Gdiplus {
class GpBitmap;
}

enum class ImageFormat { Png, Pdf, Svg, Ps, Eps, Jpeg, Webp };

// The names the tool takes, for messages: "png, pdf, svg, ps, eps, jpeg or webp".
const char* ImageFormatList();
// A format's name in any case ("jpg" and "jpeg" alike); false for any other name.
bool ParseImageFormat(const std::string& name, ImageFormat& format);
// The format a file name's extension names (any case): PNG when the name has
// no extension; false when it has one the tool cannot write.
bool FormatOfPath(const std::string& path, ImageFormat& format);
// The format's usual file extension.
const char* ImageFormatName(ImageFormat format);
// PDF, SVG, PostScript and EPS: drawn as vectors, not bound by the bitmap limits.
bool IsVectorFormat(ImageFormat format);

// Receives an image's bytes in order.
class ImageSink {
public:
    virtual ~ImageSink() = default;
    // False when the bytes could not be taken (errno tells why).
    virtual bool Write(const unsigned char* data, size_t length) = 0;
};

// A file, put in place by Commit so that a failed write leaves a file already
// there as it was (see FileReplacement: devices such as /dev/stdout are
// written in place).
class FileSink : public ImageSink {
public:
    FileSink() = default;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    // False, with errno set, when the file cannot be made.
    bool Open(const std::string& path);
    bool Write(const unsigned char* data, size_t length) override;
    // Puts the file in place; false, with errno set, when that fails.
    bool Commit();

private:
    bool Flush();

    Gdiplus::FileReplacement m_file; // discarded unless committed
    std::string m_buffer;
    bool m_failed = false;
};

// An open file descriptor (standard output), written as the bytes come.
class DescriptorSink : public ImageSink {
public:
    explicit DescriptorSink(int fd) : m_fd(fd) {}
    bool Write(const unsigned char* data, size_t length) override;

private:
    int m_fd;
};

// Bytes kept in memory.
class MemorySink : public ImageSink {
public:
    bool Write(const unsigned char* data, size_t length) override;
    std::string bytes;
};

// The bitmap as PNG.
bool WritePngImage(Gdiplus::GpBitmap* bitmap, ImageSink& sink);
// The bitmap as PNG, JPEG (over white where it is not opaque: JPEG has no
// alpha) or WebP (lossless, unless a quality from 1 to 100 is given).
// quality 0 means the format's default (JPEG: 90).
bool WriteRasterImage(Gdiplus::GpBitmap* bitmap, ImageFormat format, int quality, ImageSink& sink);

// A vector image of one page per picture: PDF and PostScript take several
// pages, SVG and EPS one. Each page is width x height pixels, each pixel
// 72 / options.dpi points.
class VectorImageWriter {
public:
    VectorImageWriter(ImageFormat format, const ToolOptions& options, ImageSink& sink);
    ~VectorImageWriter();
    VectorImageWriter(const VectorImageWriter&) = delete;
    VectorImageWriter& operator=(const VectorImageWriter&) = delete;

    // Draws the picture (its window already set) as the next page: the
    // background first when options give one; through a device context when
    // options.dc, else through a graphics object (from the bitmap cache, as
    // an image, when one was built).
    bool AddPage(CKelSvg& picture, int width, int height);
    // Ends the document; false when anything could not be written.
    bool Finish();

private:
    ImageFormat m_format;
    const ToolOptions& m_options;
    ImageSink& m_sink;
    struct _cairo_surface* m_surface = nullptr;
    bool m_failed = false;
};

// Draws the picture (its window already set) as a one-page PDF, SVG or
// PostScript image of width x height pixels, each pixel 72 / options.dpi
// points: shapes and text as vector paths, gradients as gradients. The
// background comes first when options give one; the picture is drawn through
// a device context when options.dc, else through a graphics object (from the
// bitmap cache, as an image, when one was built).
bool WriteVectorImage(CKelSvg& picture, const ToolOptions& options, ImageFormat format, int width,
                      int height, ImageSink& sink);
