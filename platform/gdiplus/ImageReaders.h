// Decoders of PNG, JPEG, GIF and WebP images held in memory, into pixel stores
// (premultiplied ARGB32, Cairo's image format).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/gdiplus/GdipObjects.h"

namespace Gdiplus {

enum class ImageKind { Unknown, Png, Jpeg, Gif, Webp };

// The kind of image the first bytes announce.
ImageKind SniffImage(const BYTE* data, size_t size);

// Each reader gives the image's size from its header. With out set it then
// decodes the image, unless it has more than maxPixels pixels or is larger
// than a bitmap may be (ValueOverflow, found from the header before any pixel
// is allocated). A damaged or truncated image gives UnknownImageFormat and no
// pixels. Nothing is written to the standard streams.
Status ReadPng(const BYTE* data, size_t size, uint64_t maxPixels, UINT* width, UINT* height,
               std::shared_ptr<PixelStore>* out);
Status ReadJpeg(const BYTE* data, size_t size, uint64_t maxPixels, UINT* width, UINT* height,
                std::shared_ptr<PixelStore>* out);
// The first frame, on the logical screen (clear where the frame is not).
Status ReadGif(const BYTE* data, size_t size, uint64_t maxPixels, UINT* width, UINT* height,
               std::shared_ptr<PixelStore>* out);
// A still image, or the first frame of an animated one on its canvas.
Status ReadWebp(const BYTE* data, size_t size, uint64_t maxPixels, UINT* width, UINT* height,
                std::shared_ptr<PixelStore>* out);

// Whether a width × height image may be decoded under maxPixels.
inline bool FitsImageLimit(uint64_t width, uint64_t height, uint64_t maxPixels) {
    constexpr uint64_t kMaxSide = 32767; // a bitmap's limit
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= maxPixels;
}

} // namespace Gdiplus
