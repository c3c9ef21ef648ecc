// Bitmaps: pixel storage shared with Cairo, straight-alpha pixel access,
// cloning, locking, and PNG files.

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/gdiplus/FileReplacement.h"
#include "platform/gdiplus/GdipObjects.h"
#include "platform/gdiplus/ImageReaders.h"
#include "platform/gdiplus/PngWriter.h"

namespace Gdiplus {

namespace {

constexpr int kMaxSide = 32767;                  // Cairo's limit
constexpr int64_t kMaxPixels = int64_t(1) << 28; // 1 GiB of pixels

bool SupportedFormat(PixelFormat f) {
    return f == PixelFormat32bppARGB || f == PixelFormat32bppPARGB || f == PixelFormat32bppRGB;
}

Status NewBitmap(int width, int height, PixelFormat format, BitmapImpl** out) {
    Status status = Ok;
    std::shared_ptr<PixelStore> store = PixelStore::Create(width, height, &status);
    if (!store)
        return status;
    *out = new (std::nothrow) BitmapImpl(std::move(store), format);
    return *out ? Ok : OutOfMemory;
}

// Pixel values in the caller's format <-> the store's straight ARGB.
ARGB FromFormat(uint32_t v, PixelFormat f) {
    if (f == PixelFormat32bppPARGB) {
        uint32_t a = v >> 24;
        uint32_t r = std::min((v >> 16) & 0xFF, a), g = std::min((v >> 8) & 0xFF, a),
                 b = std::min(v & 0xFF, a);
        return Unpremultiply((a << 24) | (r << 16) | (g << 8) | b);
    }
    if (f == PixelFormat32bppRGB)
        return v | 0xFF000000;
    return v;
}

uint32_t ToFormat(ARGB c, PixelFormat f) {
    if (f == PixelFormat32bppPARGB)
        return Premultiply(c);
    if (f == PixelFormat32bppRGB)
        return c | 0xFF000000;
    return c;
}

// Lock state of a bitmap, kept outside the public object.
struct LockState {
    std::vector<uint32_t> buffer;
    Rect rect;
    UINT flags = 0;
    PixelFormat format = 0;
    void* scan0 = nullptr;
    INT stride = 0;
};

std::string Utf8FromWide(const WCHAR* s) {
    std::string out;
    if (!s)
        return out;
    int n = WideCharToMultiByte(CP_UTF8, 0, s, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return out;
    out.resize(size_t(n));
    WideCharToMultiByte(CP_UTF8, 0, s, -1, &out[0], n, nullptr, nullptr);
    out.resize(size_t(n - 1));
    return out;
}

// Buffered writes to a file descriptor for the PNG encoder.
struct FdSink {
    explicit FdSink(int descriptor) : fd(descriptor) {}
    int fd;
    size_t used = 0;
    unsigned char buffer[1 << 16];

    bool WriteAll(const unsigned char* data, size_t length) {
        while (length > 0) {
            ssize_t n = ::write(fd, data, length);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            data += n;
            length -= size_t(n);
        }
        return true;
    }
    bool Flush() {
        bool ok = WriteAll(buffer, used);
        used = 0;
        return ok;
    }
    static bool Put(void* closure, const unsigned char* data, size_t length) {
        FdSink& sink = *static_cast<FdSink*>(closure);
        if (sink.used + length > sizeof sink.buffer) {
            if (!sink.Flush())
                return false;
            if (length > sizeof sink.buffer)
                return sink.WriteAll(data, length);
        }
        std::memcpy(sink.buffer + sink.used, data, length);
        sink.used += length;
        return true;
    }
};

// Image files read whole into memory are at most this large.
constexpr long kMaxImageFileBytes = 256L << 20;

} // namespace

// ---- PixelStore ------------------------------------------------------------

std::shared_ptr<PixelStore> PixelStore::Create(int width, int height, Status* status) {
    if (width <= 0 || height <= 0) {
        *status = InvalidParameter;
        return nullptr;
    }
    if (width > kMaxSide || height > kMaxSide || int64_t(width) * height > kMaxPixels) {
        *status = OutOfMemory;
        return nullptr;
    }
    std::shared_ptr<PixelStore> store(new (std::nothrow) PixelStore);
    if (!store) {
        *status = OutOfMemory;
        return nullptr;
    }
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        *status = OutOfMemory;
        return nullptr;
    }
    store->surface = s;
    store->width = width;
    store->height = height;
    store->stride = cairo_image_surface_get_stride(s);
    store->data = cairo_image_surface_get_data(s);
    *status = Ok;
    return store;
}

PixelStore::~PixelStore() {
    if (surface)
        cairo_surface_destroy(surface);
}

void PixelStore::Fill(ARGB c) {
    BeginPixelAccess();
    uint32_t p = Premultiply(c);
    for (int y = 0; y < height; ++y)
        std::fill_n(Row(y), width, p);
    written = true;
    if (Unpremultiply(p) == c)
        std::vector<ARGB>().swap(exact);
    else
        exact.assign(size_t(width) * height, c);
}

// ---- Base classes ------------------------------------------------------------

GpImage::GpImage() = default;
GpImage::~GpImage() = default;

extern "C" {

Status WINGDIPAPI GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format,
                                            BYTE* scan0, GpBitmap** bitmap) {
    if (!bitmap)
        return InvalidParameter;
    *bitmap = nullptr;
    if (!SupportedFormat(format) || width <= 0 || height <= 0)
        return InvalidParameter;
    if (scan0 && (stride == INT(0x80000000) || std::abs(stride) < int64_t(width) * 4))
        return InvalidParameter;
    BitmapImpl* b = nullptr;
    Status status = NewBitmap(width, height, format, &b);
    if (status != Ok)
        return status;
    if (scan0) {
        PixelStore& s = *b->store;
        s.BeginPixelAccess();
        for (int y = 0; y < height; ++y) {
            const uint32_t* row = reinterpret_cast<const uint32_t*>(scan0 + ptrdiff_t(y) * stride);
            for (int x = 0; x < width; ++x) {
                uint32_t v;
                std::memcpy(&v, row + x, 4);
                s.Set(x, y, FromFormat(v, format));
            }
        }
    }
    *bitmap = b;
    return Ok;
}

Status WINGDIPAPI GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height, PixelFormat format,
                                       GpBitmap* srcBitmap, GpBitmap** dstBitmap) {
    if (!dstBitmap)
        return InvalidParameter;
    *dstBitmap = nullptr;
    BitmapImpl* src = ToBitmap(srcBitmap);
    if (!src)
        return InvalidParameter;
    if (format == PixelFormatDontCare)
        format = src->format;
    PixelStore& s = *src->store;
    if (!SupportedFormat(format) || x < 0 || y < 0 || width <= 0 || height <= 0 ||
        int64_t(x) + width > s.width || int64_t(y) + height > s.height)
        return InvalidParameter;
    BitmapImpl* b = nullptr;
    Status status = NewBitmap(width, height, format, &b);
    if (status != Ok)
        return status;
    PixelStore& d = *b->store;
    s.BeginPixelAccess();
    d.BeginPixelAccess();
    for (int row = 0; row < height; ++row)
        std::memcpy(d.Row(row), s.Row(y + row) + x, size_t(width) * 4);
    if (!s.exact.empty()) {
        d.exact.assign(size_t(width) * height, 0);
        for (int row = 0; row < height; ++row)
            std::copy_n(&s.exact[size_t(y + row) * s.width + x], width,
                        &d.exact[size_t(row) * width]);
    }
    d.MarkWritten();
    *dstBitmap = b;
    return Ok;
}

Status WINGDIPAPI GdipCloneImage(GpImage* image, GpImage** cloneImage) {
    BitmapImpl* b = ToBitmap(image);
    if (!b || !cloneImage)
        return InvalidParameter;
    GpBitmap* copy = nullptr;
    Status status =
        GdipCloneBitmapAreaI(0, 0, b->store->width, b->store->height, b->format, b, &copy);
    *cloneImage = copy;
    return status;
}

Status WINGDIPAPI GdipDisposeImage(GpImage* image) {
    BitmapImpl* b = ToBitmap(image);
    if (!b)
        return InvalidParameter;
    delete b;
    return Ok;
}

Status WINGDIPAPI GdipGetImageWidth(GpImage* image, UINT* width) {
    BitmapImpl* b = ToBitmap(image);
    if (!b || !width)
        return InvalidParameter;
    *width = UINT(b->store->width);
    return Ok;
}

Status WINGDIPAPI GdipGetImageHeight(GpImage* image, UINT* height) {
    BitmapImpl* b = ToBitmap(image);
    if (!b || !height)
        return InvalidParameter;
    *height = UINT(b->store->height);
    return Ok;
}

Status WINGDIPAPI GdipGetImagePixelFormat(GpImage* image, PixelFormat* format) {
    BitmapImpl* b = ToBitmap(image);
    if (!b || !format)
        return InvalidParameter;
    *format = b->format;
    return Ok;
}

Status WINGDIPAPI GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color) {
    BitmapImpl* b = ToBitmap(bitmap);
    if (!b || !color)
        return InvalidParameter;
    PixelStore& s = *b->store;
    if (x < 0 || y < 0 || x >= s.width || y >= s.height)
        return InvalidParameter;
    s.BeginPixelAccess();
    ARGB c = s.Get(x, y);
    *color = b->format == PixelFormat32bppRGB ? (c | 0xFF000000) : c;
    return Ok;
}

Status WINGDIPAPI GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB color) {
    BitmapImpl* b = ToBitmap(bitmap);
    if (!b)
        return InvalidParameter;
    PixelStore& s = *b->store;
    if (x < 0 || y < 0 || x >= s.width || y >= s.height)
        return InvalidParameter;
    s.BeginPixelAccess();
    s.Set(x, y, b->format == PixelFormat32bppRGB ? (color | 0xFF000000) : color);
    return Ok;
}

Status WINGDIPAPI GdipBitmapLockBits(GpBitmap* bitmap, GDIPCONST GpRect* rect, UINT flags,
                                     PixelFormat format, BitmapData* data) {
    BitmapImpl* b = ToBitmap(bitmap);
    if (!b || !data || !SupportedFormat(format) ||
        !(flags & (ImageLockModeRead | ImageLockModeWrite)))
        return InvalidParameter;
    if (b->lock)
        return WrongState;
    PixelStore& s = *b->store;
    Rect r = rect ? *rect : Rect(0, 0, s.width, s.height);
    if (r.X < 0 || r.Y < 0 || r.Width <= 0 || r.Height <= 0 || int64_t(r.X) + r.Width > s.width ||
        int64_t(r.Y) + r.Height > s.height)
        return InvalidParameter;
    auto lock = std::unique_ptr<LockState>(new (std::nothrow) LockState);
    if (!lock)
        return OutOfMemory;
    lock->rect = r;
    lock->flags = flags;
    lock->format = format;
    if (flags & ImageLockModeUserInputBuf) {
        if (!data->Scan0 || std::abs(int64_t(data->Stride)) < int64_t(r.Width) * 4)
            return InvalidParameter;
        lock->scan0 = data->Scan0;
        lock->stride = data->Stride;
    } else {
        try {
            lock->buffer.resize(size_t(r.Width) * r.Height);
        } catch (const std::bad_alloc&) {
            return OutOfMemory;
        }
        lock->scan0 = lock->buffer.data();
        lock->stride = r.Width * 4;
    }
    if (flags & ImageLockModeRead) {
        s.BeginPixelAccess();
        for (int y = 0; y < r.Height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(lock->scan0) +
                                                    ptrdiff_t(y) * lock->stride);
            for (int x = 0; x < r.Width; ++x) {
                ARGB c = s.Get(r.X + x, r.Y + y);
                if (b->format == PixelFormat32bppRGB)
                    c |= 0xFF000000;
                row[x] = ToFormat(c, format);
            }
        }
    }
    data->Width = UINT(r.Width);
    data->Height = UINT(r.Height);
    data->Stride = lock->stride;
    data->PixelFormat = format;
    data->Scan0 = lock->scan0;
    data->Reserved = 0;
    b->lock = lock.release();
    return Ok;
}

Status WINGDIPAPI GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* data) {
    BitmapImpl* b = ToBitmap(bitmap);
    if (!b || !data)
        return InvalidParameter;
    if (!b->lock)
        return WrongState;
    std::unique_ptr<LockState> lock(static_cast<LockState*>(b->lock));
    b->lock = nullptr;
    if (lock->flags & ImageLockModeWrite) {
        PixelStore& s = *b->store;
        s.BeginPixelAccess();
        const Rect& r = lock->rect;
        for (int y = 0; y < r.Height; ++y) {
            auto* row = reinterpret_cast<const uint32_t*>(static_cast<BYTE*>(lock->scan0) +
                                                          ptrdiff_t(y) * lock->stride);
            for (int x = 0; x < r.Width; ++x) {
                ARGB c = FromFormat(row[x], lock->format);
                s.Set(r.X + x, r.Y + y, b->format == PixelFormat32bppRGB ? (c | 0xFF000000) : c);
            }
        }
    }
    return Ok;
}

Status WINGDIPAPI GdipCreateBitmapFromFile(GDIPCONST WCHAR* filename, GpBitmap** bitmap) {
    if (!filename)
        return InvalidParameter;
    return GdipCreateBitmapFromPngFileA(Utf8FromWide(filename).c_str(), bitmap);
}

Status WINGDIPAPI GdipSaveImageToFile(GpImage* image, GDIPCONST WCHAR* filename,
                                      GDIPCONST CLSID* clsidEncoder, GDIPCONST EncoderParameters*) {
    if (!filename)
        return InvalidParameter;
    if (clsidEncoder && std::memcmp(clsidEncoder, &PngEncoderClsid, sizeof(CLSID)) != 0)
        return ToBitmap(image) ? UnknownImageFormat : InvalidParameter;
    return GdipSaveImageToPngFileA(image, Utf8FromWide(filename).c_str());
}

} // extern "C"

BitmapImpl::~BitmapImpl() {
    delete static_cast<LockState*>(lock);
}

Status GdipSaveImageToPngFileA(GpImage* image, const char* path) {
    BitmapImpl* b = ToBitmap(image);
    if (!b || !path || !*path)
        return InvalidParameter;
    PixelStore& s = *b->store;
    s.BeginPixelAccess();
    s.BeginDraw(); // Cairo reads the surface: publish direct writes

    // A failed write leaves any existing file as it was.
    FileReplacement file;
    if (!file.Open(path))
        return Win32Error;
    std::unique_ptr<FdSink> sink(new (std::nothrow) FdSink(file.Descriptor()));
    bool ok = sink &&
              WritePng(cairo_image_surface_get_data(s.surface), s.width, s.height, s.stride,
                       FdSink::Put, sink.get()) &&
              sink->Flush();
    return file.Commit(ok) ? Ok : Win32Error;
}

Status KelSaveImageToPngWriter(GpImage* image, KelPngWriter write, void* closure) {
    BitmapImpl* b = ToBitmap(image);
    if (!b || !write)
        return InvalidParameter;
    PixelStore& s = *b->store;
    s.BeginPixelAccess();
    s.BeginDraw();
    return WritePng(cairo_image_surface_get_data(s.surface), s.width, s.height, s.stride, write,
                    closure)
               ? Ok
               : Win32Error;
}

Status GdipCreateBitmapFromPngFileA(const char* path, GpBitmap** bitmap) {
    if (!bitmap)
        return InvalidParameter;
    *bitmap = nullptr;
    if (!path || !*path)
        return InvalidParameter;
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return errno == ENOENT ? FileNotFound : Win32Error;
    std::vector<BYTE> bytes;
    Status status = Ok;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        length = std::ftell(file);
    if (length < 0 || length > kMaxImageFileBytes || std::fseek(file, 0, SEEK_SET) != 0) {
        status = length > kMaxImageFileBytes ? ValueOverflow : Win32Error;
    } else {
        try {
            bytes.resize(size_t(length));
        } catch (const std::bad_alloc&) {
            status = OutOfMemory;
        }
        if (status == Ok && std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
            status = Win32Error;
    }
    std::fclose(file);
    if (status != Ok)
        return status;
    return KelCreateBitmapFromMemory(bytes.data(), bytes.size(), uint64_t(kMaxPixels), bitmap);
}

Status KelGetImageSizeFromMemory(const BYTE* data, size_t size, UINT* width, UINT* height) {
    if ((!data && size) || !width || !height)
        return InvalidParameter;
    switch (SniffImage(data, size)) {
    case ImageKind::Png:
        return ReadPng(data, size, 0, width, height, nullptr);
    case ImageKind::Jpeg:
        return ReadJpeg(data, size, 0, width, height, nullptr);
    case ImageKind::Gif:
        return ReadGif(data, size, 0, width, height, nullptr);
    case ImageKind::Webp:
        return ReadWebp(data, size, 0, width, height, nullptr);
    default:
        return UnknownImageFormat;
    }
}

Status KelCreateBitmapFromMemory(const BYTE* data, size_t size, uint64_t maxPixels,
                                 GpBitmap** bitmap) {
    if (!bitmap)
        return InvalidParameter;
    *bitmap = nullptr;
    if (!data && size)
        return InvalidParameter;
    UINT width = 0, height = 0;
    std::shared_ptr<PixelStore> store;
    Status status = UnknownImageFormat;
    switch (SniffImage(data, size)) {
    case ImageKind::Png:
        status = ReadPng(data, size, maxPixels, &width, &height, &store);
        break;
    case ImageKind::Jpeg:
        status = ReadJpeg(data, size, maxPixels, &width, &height, &store);
        break;
    case ImageKind::Gif:
        status = ReadGif(data, size, maxPixels, &width, &height, &store);
        break;
    case ImageKind::Webp:
        status = ReadWebp(data, size, maxPixels, &width, &height, &store);
        break;
    default:
        break;
    }
    if (status != Ok)
        return status;
    BitmapImpl* b = new (std::nothrow) BitmapImpl(std::move(store), PixelFormat32bppARGB);
    if (!b)
        return OutOfMemory;
    *bitmap = b;
    return Ok;
}

} // namespace Gdiplus
