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

enum class ImageFormat { Png, Pdf, Svg, Ps };

// "png", "pdf", "svg" or "ps"; false for any other name.
bool ParseImageFormat(const std::string& name, ImageFormat& format);
// The format a file name's extension names (any case); PNG when it names none.
ImageFormat FormatOfPath(const std::string& path);
// The format's name, which is also its file extension.
const char* ImageFormatName(ImageFormat format);

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

// Draws the picture (its window already set) as a one-page PDF, SVG or
// PostScript image of width x height pixels, each pixel 72 / options.dpi
// points: shapes and text as vector paths, gradients as gradients. The
// background comes first when options give one; the picture is drawn through
// a device context when options.dc, else through a graphics object (from the
// bitmap cache, as an image, when one was built).
bool WriteVectorImage(CKelSvg& picture, const ToolOptions& options, ImageFormat format, int width,
                      int height, ImageSink& sink);
